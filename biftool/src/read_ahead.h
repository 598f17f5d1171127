#pragma once
// One zlib stream inflated on a thread of its own, a few pieces ahead of its reader, so that
// inflating and writing the files overlap where the stream cannot be shared out.
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "source.h"

namespace bif {

// Reads `stream` forward from where it was last read, up to `end`, into a few buffers of fixed
// size whatever the stream's. Whatever the reader asks outside what has been read ahead (before
// it, beyond `end`, or beyond where the stream failed) is read from the stream itself on the
// reader's thread, so that errors and the inflation bound come out as they would without. Only
// the reader's thread uses it; the stream is not used by anything else while it lives.
class ReadAhead final : public Source {
public:
    ReadAhead(InflateSource& stream, u64 end);
    ~ReadAhead() override;
    u64 size() const override { return stream_.size(); }
    std::size_t peek(u64 off, std::size_t n, const unsigned char*& p) override;

protected:
    void do_read(u64 off, void* dst, std::size_t n) override;

private:
    struct Piece {
        u64 off = 0;
        std::size_t len = 0;
        std::vector<unsigned char> data;
    };
    // The piece holding byte `off`, those before it let go; null when it must come from the stream.
    const Piece* piece_at(u64 off, std::unique_lock<std::mutex>& lock);
    void start(u64 from);
    void stop();
    void fill(); // the thread

    InflateSource& stream_;
    const u64 end_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Piece> ring_;
    std::size_t first_ = 0, filled_ = 0; // ring_[first_] and the filled_ - 1 after it hold data
    u64 next_ = 0;                       // where the thread reads the next piece
    u64 last_end_ = 0;                   // where the reader's last read ended
    bool quit_ = false, ended_ = false;  // asked to stop; at `end` or failed
    bool reader_waits_ = false, filler_waits_ = false;
    std::thread thread_;
};

} // namespace bif
