// libFuzzer target for the partials file reader. Built and run by
// scripts/fuzz (clang only); not part of the CMake build.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/partials_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// What every parse must leave behind, whatever the input.
void CheckTable(const PartialTable& table, std::int16_t code) {
    Check(code == PartialsFileRead || code == PartialsFileNotPartials ||
          code == PartialsFileFormatError || code == PartialsFileNoNominal);
    Check(table.count >= 0 && table.count <= kPartialRows);
    if (code != PartialsFileRead) {
        Check(table.count == 0 && table.partialsValid == 0);
        return;
    }
    Check(table.count > 0);
    for (int i = 1; i < table.count; ++i) Check(table.frequency[i - 1] < table.frequency[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PartialTable table;
    const std::int16_t code = ParsePartials(text, table);
    CheckTable(table, code);
    if (code != PartialsFileRead) return 0;
    // What was read can be written and read again; rows whose frequencies
    // round to the same six decimals (or to zero) may merge or vanish.
    const std::string written = FormatPartials(table, "fuzz.wav");
    PartialTable again;
    const std::int16_t second = ParsePartials(written, again);
    CheckTable(again, second);
    Check(second == PartialsFileRead || second == PartialsFileFormatError);
    Check(again.count <= table.count);
    return 0;
}
