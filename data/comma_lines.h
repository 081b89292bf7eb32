#pragma once
#include <string>
#include <string_view>

// Small text files of "name,value" lines (a founder's ideal, a founder's
// targets): "#" starts a comment, blank lines are skipped, white space
// around a field is ignored. Plain C++, any thread.

// Reads the whole of a regular file of at most 64 KiB into `text`. False
// for anything else: no file, a device or FIFO (which could be read for
// ever), a read error, a larger file.
bool ReadSmallTextFile(const std::string& path, std::string& text);

// One line that holds something.
struct CommaLine {
    int number = 0;          // counting every line from 1
    std::string_view left;   // before the first comma, trimmed; the whole content without one
    std::string_view right;  // after it, trimmed
    bool hasComma = false;
};

// The next line of `text` that holds something after its comment is cut,
// `text` advanced past it and `line` counting the lines passed; false at
// the end.
bool NextCommaLine(std::string_view& text, int& line, CommaLine& out);

// `text` as one csv field: as it is, or in double quotes (quotes doubled)
// when it holds a comma, a quote or a line end.
std::string CsvField(std::string_view text);
