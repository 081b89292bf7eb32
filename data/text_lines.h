#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Splits text into lines the way a text-mode line reader sees them: a line
// ends at LF, a CR directly before the LF is dropped, so CR LF and LF files
// read alike; the text after the last LF is one more line when it is not
// empty. A line's text ends at its first NUL byte, as a C string would.
// Lines longer than kMaxLineBytes keep their first kMaxLineBytes bytes; the
// rest of such a line is skipped, never read as a line of its own.
// Used by one thread at a time.

inline constexpr std::size_t kMaxLineBytes = 16u << 20;

class TextLines {
public:
    virtual ~TextLines() = default;
    // The next line into `line`; false at the end of the text (or on a read
    // error, which ends the text there).
    bool Next(std::string& line) { return Read(line, kMaxLineBytes, false); }

    // As Next, but a line longer than `limit` bytes ends the reading there:
    // false, with Overlong() true, and nothing more is read.
    bool NextWithin(std::string& line, std::size_t limit) { return Read(line, limit, true); }
    bool Overlong() const { return overlong_; }

protected:
    // One line, kept to its first `limit` bytes; with `stopWhenLonger` a
    // longer line sets overlong_ and returns false without reading on.
    virtual bool Read(std::string& line, std::size_t limit, bool stopWhenLonger) = 0;
    bool overlong_ = false;
};

// Lines of a text held in memory; the text must outlive the reader.
class MemoryLines final : public TextLines {
public:
    explicit MemoryLines(std::string_view text) : text_(text) {}

protected:
    bool Read(std::string& line, std::size_t limit, bool stopWhenLonger) override;

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Lines of an open file, read in blocks from its current position; does
// not close the file.
class FileLines final : public TextLines {
public:
    explicit FileLines(std::FILE* file) : file_(file), block_(1u << 16) {}

protected:
    bool Read(std::string& line, std::size_t limit, bool stopWhenLonger) override;

private:
    bool Refill();

    std::FILE* file_;
    std::vector<char> block_;
    std::size_t blockPos_ = 0;
    std::size_t blockEnd_ = 0;
    bool ended_ = false;
};
