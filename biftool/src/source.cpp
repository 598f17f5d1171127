#include "source.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace bif {

void Source::read(u64 off, void* dst, std::size_t n)
{
    if (n == 0)
        return;
    u64 sz = size();
    if (off > sz || n > sz - off)
        throw Error(name_ + ": truncated: needs bytes " + std::to_string(off) + " to " + std::to_string(off + n) +
                    " but has only " + std::to_string(sz));
    do_read(off, dst, n);
}

// ---------------------------------------------------------------------------------------------
namespace {
constexpr std::size_t read_buffer_size = 64 * 1024;
constexpr u64 checkpoint_every = 256;
} // namespace

// An inflating zlib stream, ended with its owner.
struct ZStream {
    z_stream s{};
    explicit ZStream(const std::string& name)
    {
        if (inflateInit(&s) != Z_OK)
            throw Error(name + ": cannot start zlib");
    }
    ~ZStream() { inflateEnd(&s); }
    ZStream(const ZStream&) = delete;
    ZStream& operator=(const ZStream&) = delete;
};

InflateSource::InflateSource(Source& file, bool blocked, u64 usize)
    : Source(file.name()), file_(file), blocked_(blocked), usize_(usize), zs_(std::make_unique<ZStream>(file.name())),
      inbuf_(read_buffer_size), scratch_(read_buffer_size), budget_(std::make_shared<Budget>())
{
    // Reading the header and the table takes one pass and perhaps a restart; the archive then sets
    // the bound from its table (limit_inflation).
    budget_->limit = 2 * usize_ + 64ull * 1024 * 1024;
}

InflateSource::~InflateSource() = default;

std::unique_ptr<InflateSource> InflateSource::single(Source& file, u64 comp_off, u64 comp_len, u64 uncomp_len)
{
    std::unique_ptr<InflateSource> s(new InflateSource(file, false, uncomp_len));
    s->blk_ = Block{0, comp_off, comp_off, comp_len, 0, uncomp_len};
    s->have_block_ = true;
    s->restart_block();
    return s;
}

std::unique_ptr<InflateSource> InflateSource::blocks(Source& file, u64 first_block, u64 uncomp_len)
{
    std::unique_ptr<InflateSource> s(new InflateSource(file, true, uncomp_len));
    s->first_block_ = first_block;
    if (uncomp_len > 0) {
        // Walk the block headers once (no decompression): a chain that ends before the declared
        // size, or overshoots it, is reported now rather than when some resource is read.
        s->load_block_at(0, first_block, 0);
        while (s->blk_.ustart + s->blk_.ulen < uncomp_len)
            s->load_block_at(s->blk_.number + 1, s->blk_.comp_off + s->blk_.comp_len, s->blk_.ustart + s->blk_.ulen);
        s->load_block_at(0, first_block, 0);
        s->restart_block();
    }
    return s;
}

std::unique_ptr<InflateSource> InflateSource::sibling() const
{
    std::unique_ptr<InflateSource> s(new InflateSource(file_, true, usize_));
    s->first_block_ = first_block_;
    s->checkpoints_ = checkpoints_;
    s->budget_ = budget_;
    s->broken_at_ = broken_at_;
    s->broken_why_ = broken_why_;
    return s;
}

u64 InflateSource::block_start(u64 off)
{
    walk_to(off);
    restart_block();
    return blk_.ustart;
}

void InflateSource::fail(const std::string& what) { throw Error(name_ + ": " + what); }

// Reads the BIFC block header at `header` and checks it against the file and the declared size.
void InflateSource::load_block_at(u64 number, u64 header, u64 ustart)
{
    if (ustart >= broken_at_)
        fail(broken_why_);
    u64 fsz = file_.size();
    auto broken = [&](const std::string& why) {
        broken_at_ = std::min(broken_at_, ustart);
        broken_why_ = why;
        fail(why);
    };
    if (header > fsz || fsz - header < 8)
        broken("truncated: compressed block " + std::to_string(number + 1) + " (at byte " + std::to_string(header) +
               ") is missing; the archive declares " + std::to_string(usize_) +
               " uncompressed bytes but its blocks end after " + std::to_string(ustart));
    unsigned char h[8];
    if (header >= in_off_ && header - in_off_ + 8 <= in_len_) // read with the block before
        std::memcpy(h, inbuf_.data() + (header - in_off_), 8);
    else
        file_.read(header, h, 8);
    u64 dlen = le32(h), clen = le32(h + 4);
    if (dlen > usize_ - ustart)
        broken("corrupt: compressed block " + std::to_string(number + 1) + " declares " + std::to_string(dlen) +
               " bytes, beyond the archive's declared uncompressed size of " + std::to_string(usize_));
    if (clen > fsz - header - 8)
        broken("truncated: compressed block " + std::to_string(number + 1) + " declares " + std::to_string(clen) +
               " compressed bytes at byte " + std::to_string(header + 8) + " but the file has only " +
               std::to_string(fsz));
    blk_ = Block{number, header, header + 8, clen, ustart, dlen};
    have_block_ = true;
    if (number % checkpoint_every == 0 && (checkpoints_.empty() || checkpoints_.back().number < number))
        checkpoints_.push_back({number, header, ustart});
}

// Makes the block holding uncompressed offset `target` the current one.
void InflateSource::seek_block(u64 target)
{
    if (holds(target))
        return;
    walk_to(target);
    restart_block();
}

// Finds the block holding `target` by its headers alone; the stream must be restarted after. The
// walk goes on from the current block, or from the last checkpoint before `target` when that is
// nearer.
void InflateSource::walk_to(u64 target)
{
    if (holds(target))
        return;
    auto after = std::upper_bound(checkpoints_.begin(), checkpoints_.end(), target,
                                  [](u64 t, const Checkpoint& c) { return t < c.ustart; });
    const bool go_on = have_block_ && blk_.ustart <= target &&
                       (after == checkpoints_.begin() || std::prev(after)->ustart <= blk_.ustart);
    if (!go_on) {
        if (after == checkpoints_.begin())
            load_block_at(0, first_block_, 0);
        else
            load_block_at(std::prev(after)->number, std::prev(after)->header, std::prev(after)->ustart);
    }
    // Each step moves at least 8 bytes forward in the file, so the walk ends.
    while (!holds(target))
        load_block_at(blk_.number + 1, blk_.comp_off + blk_.comp_len, blk_.ustart + blk_.ulen);
}

void InflateSource::restart_block()
{
    inflateReset(&zs_->s);
    zs_->s.next_in = nullptr;
    zs_->s.avail_in = 0;
    stream_ended_ = false;
    comp_used_ = 0;
    upos_ = blk_.ustart;
}

void InflateSource::fail_from_here(const std::string& what)
{
    if (!blocked_) {
        broken_at_ = std::min(broken_at_, upos_);
        broken_why_ = what;
    }
    fail(what);
}

// Feeds the stream the next piece of the current block's compressed data. The file is read in
// pieces of the input buffer's size, whatever the blocks' sizes: the headers and blocks after this
// one come with it.
void InflateSource::refill(const std::string& where)
{
    u64 left = blk_.comp_len - comp_used_;
    if (left == 0)
        fail_from_here("truncated: " + where + " ends after giving " + std::to_string(upos_ - blk_.ustart) + " of " +
                       std::to_string(blk_.ulen) + " bytes");
    const u64 at = blk_.comp_off + comp_used_;
    if (at < in_off_ || at - in_off_ >= in_len_) {
        in_len_ = 0; // until the read succeeds
        const std::size_t take = static_cast<std::size_t>(std::min<u64>(file_.size() - at, inbuf_.size()));
        file_.read(at, inbuf_.data(), take);
        in_off_ = at;
        in_len_ = take;
    }
    const std::size_t take = static_cast<std::size_t>(std::min<u64>(left, in_off_ + in_len_ - at));
    comp_used_ += take;
    zs_->s.next_in = inbuf_.data() + (at - in_off_);
    zs_->s.avail_in = static_cast<uInt>(take);
}

void InflateSource::inflate_into(unsigned char* out, std::size_t n, std::size_t* given)
{
    z_stream& zs = zs_->s;
    std::string where =
        blocked_ ? "compressed block " + std::to_string(blk_.number + 1) : std::string("compressed data");
    if (budget_->spent.fetch_add(n, std::memory_order_relaxed) + n > budget_->limit.load(std::memory_order_relaxed))
        fail("needs far more decompression than its entry table explains (" + std::to_string(usize_) +
             " bytes): its data is read back and forth");
    while (n > 0) {
        if (stream_ended_)
            fail_from_here("corrupt: " + where + " decompresses to fewer bytes than declared (" +
                           std::to_string(upos_ - blk_.ustart) + " instead of " + std::to_string(blk_.ulen) + ")");
        if (zs.avail_in == 0)
            refill(where);
        std::size_t chunk = std::min<std::size_t>(n, 1u << 30);
        zs.next_out = out;
        zs.avail_out = static_cast<uInt>(chunk);
        int rc = inflate(&zs, Z_NO_FLUSH);
        std::size_t made = chunk - zs.avail_out;
        out += made;
        n -= made;
        upos_ += made;
        if (given)
            *given += made;
        stream_ended_ = rc == Z_STREAM_END;
        if (rc == Z_BUF_ERROR && zs.avail_in != 0 && made == 0)
            fail("corrupt: " + where + " cannot be decompressed");
        if (rc == Z_OK || rc == Z_STREAM_END || rc == Z_BUF_ERROR)
            continue;
        std::string why = "corrupt: " + where + " cannot be decompressed (" +
                          (zs.msg ? zs.msg : "zlib error " + std::to_string(rc)) + ")";
        // The stream state is unusable now; the next read starts the block afresh.
        if (blocked_) {
            have_block_ = false;
            fail(why);
        }
        broken_at_ = std::min(broken_at_, upos_);
        broken_why_ = why;
        restart_block();
        fail(why);
    }
}

void InflateSource::do_read(u64 off, void* dst, std::size_t n)
{
    if (off + n > broken_at_)
        fail(broken_why_);
    auto* out = static_cast<unsigned char*>(dst);
    while (n > 0) {
        if (blocked_)
            seek_block(off);
        if (off < upos_)
            restart_block();
        while (upos_ < off) {
            std::size_t skip = static_cast<std::size_t>(std::min<u64>(off - upos_, scratch_.size()));
            inflate_into(scratch_.data(), skip);
        }
        u64 in_block = blk_.ustart + blk_.ulen - off;
        std::size_t take = static_cast<std::size_t>(std::min<u64>(n, in_block));
        inflate_into(out, take, &given_);
        out += take;
        off += take;
        n -= take;
    }
}

void InflateSource::read_counting(u64 off, void* dst, std::size_t n, std::size_t& given)
{
    given_ = 0;
    try {
        read(off, dst, n);
        given = n;
    } catch (...) {
        given = given_;
        throw;
    }
}

} // namespace bif
