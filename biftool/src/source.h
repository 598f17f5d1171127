#pragma once
// Random-access byte sources the readers work on: a file on disk (read piecewise, never whole),
// a block of memory (tests, fuzzer), and the decompressed contents of a compressed archive.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "common.h"
#include "input_file.h"

namespace bif {

class Source {
public:
    explicit Source(std::string display) : name_(std::move(display)) {}
    virtual ~Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    virtual u64 size() const = 0;
    // Reads exactly n bytes at off, or throws an Error naming the source.
    void read(u64 off, void* dst, std::size_t n);
    // Where the bytes at `off` (up to n of them) lie in memory already, valid until the next read
    // or peek; 0 when they must be read.
    virtual std::size_t peek(u64 off, std::size_t n, const unsigned char*& p)
    {
        (void)off, (void)n, (void)p;
        return 0;
    }
    // Name used in messages (the file's name as the user gave it).
    const std::string& name() const { return name_; }

protected:
    virtual void do_read(u64 off, void* dst, std::size_t n) = 0;
    std::string name_;
};

class FileSource final : public Source {
public:
    // `path` is UTF-8. Throws Error when it is not a regular file that can be opened.
    FileSource(const std::string& path, std::string display) : Source(display), file_(path, display) {}
    u64 size() const override { return file_.size(); }

protected:
    void do_read(u64 off, void* dst, std::size_t n) override { file_.read(off, dst, n); }

private:
    InputFile file_;
};

class MemorySource final : public Source {
public:
    MemorySource(const void* data, std::size_t n, std::string display)
        : Source(std::move(display)), p_(static_cast<const unsigned char*>(data)), n_(n)
    {
    }
    u64 size() const override { return n_; }

protected:
    void do_read(u64 off, void* dst, std::size_t n) override { std::memcpy(dst, p_ + off, n); }

private:
    const unsigned char* p_;
    std::size_t n_;
};

// The uncompressed BIFF inside a "BIF V1.0" archive (one zlib stream) or a "BIFC V1.0" archive
// (a chain of zlib blocks), decompressed on demand. Reading forward is cheap; reading backward
// restarts the stream (V1.0) or the block (BIFC; sparse checkpoints keep the block walk short).
// Memory use is a few fixed buffers whatever the archive's size. A bound on the bytes inflated
// turns reads sent back and forth without end into an error instead of a hang.
class InflateSource final : public Source {
public:
    // "BIF V1.0": the stream is file[comp_off, comp_off+comp_len) and gives uncomp_len bytes.
    static std::unique_ptr<InflateSource> single(Source& file, u64 comp_off, u64 comp_len, u64 uncomp_len);
    // "BIFC V1.0": blocks start at first_block and together give uncomp_len bytes.
    static std::unique_ptr<InflateSource> blocks(Source& file, u64 first_block, u64 uncomp_len);
    ~InflateSource() override;
    u64 size() const override { return usize_; }
    // "BIFC V1.0": its blocks can be read apart (sibling, block_start).
    bool blocked() const { return blocked_; }
    // From now on at most `bytes` more are inflated, by this source and its siblings together; set
    // once the entry table says what is needed.
    void limit_inflation(u64 bytes) { budget_->limit = budget_->spent + bytes; }
    // BIFC: another reader of the same blocks for another thread, sharing the bound and what is
    // known of the block chain; it starts with no block loaded.
    std::unique_ptr<InflateSource> sibling() const;
    // BIFC: the uncompressed offset where the block holding byte `off` starts. Throws Error.
    u64 block_start(u64 off);
    // Reads as read() does; when that throws, `given` says how many of the bytes it gave `dst`
    // first (good ones: a later read of them gives the same).
    void read_counting(u64 off, void* dst, std::size_t n, std::size_t& given);

protected:
    void do_read(u64 off, void* dst, std::size_t n) override;

private:
    InflateSource(Source& file, bool blocked, u64 usize);
    struct Block {
        u64 number = 0;   // 0-based block number (BIFC)
        u64 header = 0;   // file offset of the block header (BIFC)
        u64 comp_off = 0; // file offset of the zlib data
        u64 comp_len = 0;
        u64 ustart = 0; // uncompressed offset of the block's first byte
        u64 ulen = 0;
    };
    struct Checkpoint {
        u64 number, header, ustart;
    };
    // What all readers of one archive may still inflate.
    struct Budget {
        std::atomic<u64> spent{0}, limit{0};
    };
    bool holds(u64 off) const { return have_block_ && blk_.ustart <= off && off - blk_.ustart < blk_.ulen; }
    void load_block_at(u64 number, u64 header, u64 ustart);
    void walk_to(u64 target);
    void seek_block(u64 target);
    void restart_block();
    void inflate_into(unsigned char* out, std::size_t n, std::size_t* given = nullptr);
    void refill(const std::string& where);
    // Remembers that the stream (not a BIFC block, which a later read may find whole) breaks here.
    [[noreturn]] void fail_from_here(const std::string& what);
    [[noreturn]] void fail(const std::string& what);

    Source& file_;
    bool blocked_;
    u64 usize_;
    u64 first_block_ = 0;
    Block blk_;
    bool have_block_ = false;
    std::vector<Checkpoint> checkpoints_;
    std::unique_ptr<struct ZStream> zs_; // opaque, so that users need not include zlib.h
    bool stream_ended_ = false;
    u64 upos_ = 0;      // uncompressed offset of the next byte inflate gives
    u64 comp_used_ = 0; // compressed bytes of the current block fed to inflate
    std::vector<unsigned char> inbuf_, scratch_;
    u64 in_off_ = 0, in_len_ = 0; // inbuf_ holds the file's bytes [in_off_, in_off_ + in_len_)
    std::size_t given_ = 0;       // bytes the read under way gave its caller
    std::shared_ptr<Budget> budget_;
    u64 broken_at_ = ~u64{0};
    std::string broken_why_;
};

} // namespace bif
