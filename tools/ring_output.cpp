#include "tools/ring_output.h"

#include <cmath>

#include "data/number_text.h"
#include "tools/result_output.h"
#include "tools/tuning_output.h"

namespace {

std::string Json(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? FormatShortest(*value) : "null";
}

std::string BellJson(const OuterTuningRow& row, const RingBellResult* result) {
    std::string out = "{\"bell\":" + std::to_string(row.bell) + ",\"file\":" +
                      JsonString(result != nullptr ? result->file : row.file);
    if (result != nullptr && !result->error.empty()) return out + ",\"error\":" + JsonString(result->error) + "}";
    const TuningReport empty;
    const TuningReport& tuning = result != nullptr ? result->tuning : empty;
    out += ",\"nominal\":" + Json(row.nominalHz) + ",\"note\":" + (row.note ? JsonString(row.note->name) : "null") +
           ",\"note_cents\":" + Json(row.note ? std::optional<double>(row.note->cents) : std::nullopt) +
           ",\"cents_from_anchor\":" + Json(row.centsFromAnchor) + ",\"target\":" + Json(row.targetCents) +
           ",\"deviation\":" + Json(row.deviationCents) + ",\"strike\":" + FormatStrikeJson(tuning) +
           ",\"warnings\":" + FormatWarningsJson(tuning.warnings) + ",\"partials\":" + FormatTunedPartialsJson(tuning);
    return out + "}";
}

}  // namespace

std::string TemperamentName(const RingSettings& ring) {
    switch (ring.temperament) {
        case Temperament::Equal: return "equal";
        case Temperament::Just: return "just";
        case Temperament::Meantone: return "meantone";
        case Temperament::Founder: break;
    }
    return ring.founderFile;
}

std::string RingJson(const RingSettings& ring, const OuterTuning& outer, const std::vector<RingBellResult>& results) {
    std::string out = "{\"reference_pitch\":" + Json(ring.referencePitchHz) + ",\"scale\":" +
                      JsonString(ring.scale == RingScale::Major ? "major" : "chromatic") + ",\"temperament\":" +
                      JsonString(TemperamentName(ring)) + ",\"stretch\":" + Json(ring.stretchCentsPerOctave) +
                      ",\"anchor\":" + std::to_string(outer.anchorBell) + ",\"bells\":[";
    bool first = true;
    for (const OuterTuningRow& row : outer.rows) {
        const RingBellResult* result = nullptr;
        for (const RingBellResult& r : results) {
            if (r.bell == row.bell) result = &r;
        }
        if (result == nullptr && !row.nominalHz) continue;  // a bell the ring has but nobody measured
        if (!first) out += ',';
        out += BellJson(row, result);
        first = false;
    }
    return out + "]}";
}

std::string PassJson(const std::string& pass, const std::string& time, const std::string& source,
                     const OuterTuningRow& row, const TuningReport& tuning) {
    return "{\"pass\":" + JsonString(pass) + ",\"time\":" + JsonString(time) + ",\"source\":" + JsonString(source) +
           ",\"nominal\":" + Json(row.nominalHz) + ",\"cents_from_anchor\":" + Json(row.centsFromAnchor) +
           ",\"deviation\":" + Json(row.deviationCents) + ",\"warnings\":" + FormatWarningsJson(tuning.warnings) +
           ",\"partials\":" + FormatTunedPartialsJson(tuning) + "}";
}
