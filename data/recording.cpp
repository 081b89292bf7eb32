#include "data/recording.h"

#include <utility>

Recording WithSamples(const Recording& from, std::vector<std::int16_t> samples) {
    Recording made = from;
    made.samples = std::make_shared<const std::vector<std::int16_t>>(std::move(samples));
    return made;
}

Recording Stretched(const Recording& recording, double factor) {
    const std::int32_t oldCount = recording.Length();
    const auto newCount = static_cast<std::int32_t>(static_cast<double>(oldCount) / factor);
    const std::int16_t* in = recording.Data();
    std::vector<std::int16_t> out(static_cast<std::size_t>(newCount > 0 ? newCount : 0));
    for (std::int32_t i = 0; i < newCount; ++i) {
        const double position = i * factor;
        auto index = static_cast<std::int32_t>(position);
        if (index > oldCount - 1) index = oldCount - 1;  // rounding guard only
        const double fraction = position - index;
        // Past the end (only for factors below 1, on the last outputs) the
        // sample itself stands in for its missing right neighbour.
        const std::int32_t next = index + 1 < oldCount ? index + 1 : index;
        const double value = in[index] * (1.0 - fraction) + fraction * in[next];
        out[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(static_cast<std::int32_t>(value));
    }
    return WithSamples(recording, std::move(out));
}
