#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/number_text.h"
#include "data/partials_file.h"
#include "data/text_lines.h"

namespace {

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

bool IsBlank(std::string_view line) {
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r') return false;
    }
    return true;
}

// The number after the line's last ":"; 0 when there is none. The last
// colon, because the sound-file name before it may itself hold one (a
// drive letter, a time of day).
double NominalOf(std::string_view line) {
    const std::size_t colon = line.rfind(':');
    if (colon == std::string_view::npos) return 0.0;
    std::size_t pos = colon + 1;
    double value = 0.0;
    return ScanDouble(line, pos, value) ? value : 0.0;
}

// Scans up to `wanted` numbers separated by single commas, as
// "%lf,%lf,..." does: a comma must follow the previous number directly,
// blanks are allowed only before a number. Returns how many were read, or
// -1 for a line with nothing but blanks (no conversion at all).
int ScanRow(std::string_view line, double* values, int wanted) {
    std::size_t pos = 0;
    int read = 0;
    while (read < wanted) {
        if (read > 0) {
            if (pos >= line.size() || line[pos] != ',') break;
            ++pos;
        }
        if (!ScanDouble(line, pos, values[read])) break;
        ++read;
    }
    if (read == 0 && IsBlank(line)) return -1;
    return read;
}

// Reads rows until one does not give `wanted` numbers; blank lines are
// skipped. Long rows: frequency, splash, tail, attack, decay, cents. Short
// rows: frequency, amplitude, cents. The cents and texts are recomputed.
void ReadRows(TextLines& lines, PartialTable& table, int wanted) {
    std::string line;
    double v[6] = {};
    while (lines.Next(line)) {
        const int read = ScanRow(line, v, wanted);
        if (read < 0) continue;
        if (read < wanted) return;
        if (wanted == 6) {
            table.AddPeak(v[0], v[1], v[2], v[3], v[4], NoPartial);
        } else {
            table.AddPeak(v[0], 0.0, v[1], 0.0, 0.0, NoPartial);
        }
    }
}

// A header line is a few dozen bytes; one longer than this is damage, and
// reading it to its end could take for ever.
constexpr std::size_t kMaxHeaderBytes = 64 * 1024;

std::int16_t Parse(TextLines& lines, PartialTable& table) {
    table.Clear();
    table.nominal = 0.0;
    table.partialsValid = 0;
    std::string line;
    const auto header = [&] { return lines.NextWithin(line, kMaxHeaderBytes); };
    if (!header()) return lines.Overlong() ? PartialsFileFormatError : PartialsFileNotPartials;
    if (!StartsWith(line, "Partials")) return PartialsFileNotPartials;
    if (!header()) return PartialsFileFormatError;
    int wanted = 0;
    if (StartsWith(line, "File is")) {
        if (!header()) return lines.Overlong() ? PartialsFileFormatError : PartialsFileNoNominal;
        if (!StartsWith(line, "Nominal")) return PartialsFileNoNominal;
        wanted = 3;
    } else if (StartsWith(line, "wave file is")) {
        wanted = 6;
    } else {
        return PartialsFileNotPartials;
    }
    table.nominal = NominalOf(line);
    if (!header()) return PartialsFileFormatError;  // the column header
    ReadRows(lines, table, wanted);
    if (!table.partialsValid) return PartialsFileFormatError;
    // Names only: the nominal stays the one the file gives.
    table.FindNominal(false, 0.0, 5000.0);
    table.UpdateCentsAndNotes();
    return PartialsFileRead;
}

}  // namespace

std::int16_t ParsePartials(std::string_view text, PartialTable& table) {
    MemoryLines lines(text);
    return Parse(lines, table);
}

std::int16_t ParsePartials(std::FILE* file, PartialTable& table) {
    FileLines lines(file);
    return Parse(lines, table);
}

std::int16_t ReadPartialsFile(const std::string& path, PartialTable& table) {
    // Without blocking, so that a FIFO without a writer cannot hang the
    // open; only a regular file is a partials file (a device such as
    // /dev/zero would be read for ever).
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return PartialsFileOpenFailed;
    struct stat info {};
    std::FILE* file = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        file = fdopen(fd, "rb");
    }
    if (file == nullptr) {
        close(fd);
        return PartialsFileOpenFailed;
    }
    const std::int16_t code = ParsePartials(file, table);
    std::fclose(file);
    return code;
}
