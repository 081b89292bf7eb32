#include "data/text_lines.h"

#include <cstring>

namespace {

// Collects one raw line: keeps its first limit + 1 bytes, which is enough
// to tell a CR at the very end of a line that just fits the cap.
class LineBuilder {
public:
    LineBuilder(std::string& line, std::size_t limit) : line_(line), limit_(limit) { line_.clear(); }

    void Append(const char* data, std::size_t size) {
        if (size == 0) return;
        total_ += size;
        lastIsCr_ = data[size - 1] == '\r';
        const std::size_t limit = limit_ + 1;
        if (line_.size() < limit) {
            const std::size_t room = limit - line_.size();
            line_.append(data, size < room ? size : room);
        }
    }

    // The line as the caller sees it: without the CR before its end, capped,
    // and ending at its first NUL.
    void Finish() {
        if (lastIsCr_ && total_ == line_.size()) line_.pop_back();
        if (line_.size() > limit_) line_.resize(limit_);
        const std::size_t nul = line_.find('\0');
        if (nul != std::string::npos) line_.resize(nul);
    }

    // More than `limit` bytes so far, a CR at the end not counted.
    bool Longer() const { return total_ - (lastIsCr_ ? 1 : 0) > limit_; }

private:
    std::string& line_;
    std::size_t limit_;
    std::size_t total_ = 0;
    bool lastIsCr_ = false;
};

}  // namespace

bool MemoryLines::Read(std::string& line, std::size_t limit, bool stopWhenLonger) {
    if (overlong_ || pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
    LineBuilder builder(line, limit);
    builder.Append(text_.data() + pos_, stop - pos_);
    builder.Finish();
    if (stopWhenLonger && builder.Longer()) {
        overlong_ = true;
        return false;
    }
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    return true;
}

bool FileLines::Refill() {
    if (ended_) return false;
    blockPos_ = 0;
    blockEnd_ = std::fread(block_.data(), 1, block_.size(), file_);
    if (blockEnd_ == 0) ended_ = true;
    return blockEnd_ > 0;
}

bool FileLines::Read(std::string& line, std::size_t limit, bool stopWhenLonger) {
    if (overlong_) return false;
    LineBuilder builder(line, limit);
    bool any = false;
    while (blockPos_ < blockEnd_ || Refill()) {
        // Stop before reading more than one byte past the limit (a CR may
        // still end the line there).
        if (stopWhenLonger && builder.Longer()) {
            overlong_ = true;
            return false;
        }
        any = true;
        const char* start = block_.data() + blockPos_;
        const std::size_t available = blockEnd_ - blockPos_;
        const void* found = std::memchr(start, '\n', available);
        const std::size_t take =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - start) : available;
        builder.Append(start, take);
        blockPos_ += take;
        if (found) {
            ++blockPos_;
            break;
        }
    }
    builder.Finish();
    if (stopWhenLonger && builder.Longer()) {
        overlong_ = true;
        return false;
    }
    return any;
}
