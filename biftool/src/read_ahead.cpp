#include "read_ahead.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace bif {

namespace {
constexpr std::size_t pieces = 4, piece_size = 256 * 1024;
} // namespace

ReadAhead::ReadAhead(InflateSource& stream, u64 end)
    : Source(stream.name()), stream_(stream), end_(std::min(end, stream.size())), ring_(pieces)
{
    for (Piece& p : ring_)
        p.data.resize(piece_size);
}

ReadAhead::~ReadAhead() { stop(); }

void ReadAhead::do_read(u64 off, void* dst, std::size_t n)
{
    auto* out = static_cast<unsigned char*>(dst);
    const bool back = off < last_end_;
    last_end_ = off + n;
    if (thread_.joinable()) {
        std::unique_lock lock(mutex_);
        while (n > 0) {
            const Piece* p = piece_at(off, lock);
            if (!p)
                break;
            const std::size_t k = static_cast<std::size_t>(std::min<u64>(n, p->off + p->len - off));
            std::memcpy(out, p->data.data() + (off - p->off), k);
            out += k;
            off += k;
            n -= k;
        }
        if (n == 0)
            return;
    }
    stop();
    stream_.read(off, out, n);
    // Reading back (shared data not kept in a file) restarts the stream; what was read ahead is
    // inflated again only once the reader goes forward again.
    if (!back && off + n < end_)
        start(off + n);
}

std::size_t ReadAhead::peek(u64 off, std::size_t n, const unsigned char*& p)
{
    if (!thread_.joinable() || n == 0)
        return 0;
    std::unique_lock lock(mutex_);
    const Piece* piece = piece_at(off, lock);
    if (!piece)
        return 0;
    const std::size_t k = static_cast<std::size_t>(std::min<u64>(n, piece->off + piece->len - off));
    p = piece->data.data() + (off - piece->off);
    last_end_ = off + k;
    return k; // the piece stays until a read asks for what lies beyond it
}

const ReadAhead::Piece* ReadAhead::piece_at(u64 off, std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (filled_ == 0 && !ended_) {
            reader_waits_ = true;
            changed_.wait(lock, [&] { return filled_ > 0 || ended_; });
            reader_waits_ = false;
        }
        if (filled_ == 0)
            return nullptr; // at `end`, or the stream failed: the stream itself says how
        const Piece& p = ring_[first_];
        if (off < p.off)
            return nullptr; // behind what was read ahead
        if (off < p.off + p.len)
            return &p;
        first_ = (first_ + 1) % ring_.size(); // passed over
        --filled_;
        if (filler_waits_ && filled_ <= ring_.size() / 2)
            changed_.notify_all();
    }
}

void ReadAhead::start(u64 from)
{
    first_ = filled_ = 0;
    next_ = from;
    quit_ = ended_ = false;
    try {
        thread_ = std::thread([this] { fill(); });
    } catch (const std::system_error&) {
        // no thread to be had: the stream is read on the reader's thread alone
    }
}

void ReadAhead::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::fill()
{
    std::unique_lock lock(mutex_);
    while (!quit_ && next_ < end_) {
        if (filled_ == ring_.size()) {
            // Woken once half the pieces are free, not at each one.
            filler_waits_ = true;
            changed_.wait(lock, [&] { return quit_ || filled_ <= ring_.size() / 2; });
            filler_waits_ = false;
            if (quit_)
                break;
        }
        Piece& p = ring_[(first_ + filled_) % ring_.size()];
        p.off = next_;
        const std::size_t want = static_cast<std::size_t>(std::min<u64>(end_ - next_, p.data.size()));
        lock.unlock();
        std::size_t got = 0;
        bool failed = false;
        try {
            stream_.read_counting(p.off, p.data.data(), want, got);
        } catch (...) {
            failed = true; // what came before the failure is good; a read beyond it fails again
        }
        lock.lock();
        p.len = got;
        next_ += got;
        if (got > 0)
            ++filled_;
        if (reader_waits_)
            changed_.notify_all();
        if (failed)
            break;
    }
    ended_ = true;
    changed_.notify_all();
}

} // namespace bif
