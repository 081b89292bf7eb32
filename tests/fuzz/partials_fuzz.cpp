// libFuzzer target for the partials file reader, built and run by scripts/fuzz (clang only), not by CMake.
#include <cstdlib>
#include <string_view>

#include "data/partials_file.h"

// Whatever the input: a known code, rising rows only when read; what was read, written and read again, may only
// lose rows whose frequencies round to the same six decimals (or to zero).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PartialTable tables[2];
    std::int16_t code = ParsePartials(std::string_view(reinterpret_cast<const char*>(data), size), tables[0]);
    for (int pass = 0; pass < 2; ++pass) {
        const PartialTable& t = tables[pass];
        bool ok = code == PartialsFileRead ? t.count > 0 && t.count <= kPartialRows
                                           : (code == PartialsFileNotPartials || code == PartialsFileFormatError ||
                                              code == PartialsFileNoNominal) && t.count == 0 && t.partialsValid == 0;
        for (int i = 1; i < t.count; ++i) ok = ok && t.frequency[i - 1] < t.frequency[i];
        if (!ok || (pass == 1 && (t.count > tables[0].count || (code != PartialsFileRead && code != PartialsFileFormatError)))) std::abort();
        if (pass == 1 || code != PartialsFileRead) return 0;
        code = ParsePartials(FormatPartials(t, "fuzz.wav"), tables[1]);
    }
    return 0;
}
