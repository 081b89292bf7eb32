#include "data/comma_lines.h"

#include <filesystem>
#include <fstream>

namespace {

constexpr std::size_t kMaxBytes = 65536;  // a handful of lines; more is no such file

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool ReadSmallTextFile(const std::string& path, std::string& text) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return false;
    text.assign(kMaxBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return !file.bad() && text.size() <= kMaxBytes;
}

bool NextCommaLine(std::string_view& text, int& line, CommaLine& out) {
    while (!text.empty()) {
        ++line;
        const std::size_t end = text.find('\n');
        std::string_view content = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        content = Trim(content.substr(0, content.find('#')));
        if (content.empty()) continue;
        const std::size_t comma = content.find(',');
        out.number = line;
        out.hasComma = comma != std::string_view::npos;
        out.left = Trim(content.substr(0, comma));
        out.right = out.hasComma ? Trim(content.substr(comma + 1)) : std::string_view{};
        return true;
    }
    return false;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}
