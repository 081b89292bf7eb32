#include "ui/spectrogram_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/spectrogram.h"
#include "ui/spectrum_geometry.h"

double ColumnSeconds(int column, int width, double durationSeconds) {
    return width > 0 ? (column + 0.5) * durationSeconds / width : 0.0;
}

int SecondsColumn(double seconds, int width, double durationSeconds) {
    if (!(durationSeconds > 0.0)) return -1;
    return TruncToInt(seconds * width / durationSeconds);
}

int FrameAtSeconds(const Spectrogram& spectrogram, double seconds) {
    if (spectrogram.frames < 1 || spectrogram.hopSamples < 1) return 0;
    const double frame = (seconds * spectrogram.rateHz - spectrogram.frameSamples / 2.0) / spectrogram.hopSamples;
    return std::clamp(TruncToInt(std::floor(frame + 0.5)), 0, spectrogram.frames - 1);
}

int FrequencyRow(double hz, double lowHz, double highHz, int height) {
    if (!(highHz > lowHz)) return -1;
    return TruncToInt(std::floor((highHz - hz) * height / (highHz - lowHz)));
}

double RowFrequency(int row, double lowHz, double highHz, int height) {
    return height > 0 ? highHz - (row + 0.5) * (highHz - lowHz) / height : lowHz;
}

BinSpan RowBins(const Spectrogram& spectrogram, int row, double lowHz, double highHz, int height) {
    BinSpan span;
    if (height < 1 || !(highHz > lowHz) || spectrogram.bins < 1) return span;
    const double rowHz = (highHz - lowHz) / height;
    const double top = highHz - row * rowHz, bottom = top - rowHz;
    const double binHz = spectrogram.BinHz();
    const int lastBin = spectrogram.firstBin + spectrogram.bins - 1;
    // Bins with bottom <= k x binHz < top; else the one nearest the row's centre.
    int first = TruncToInt(std::ceil(bottom / binHz)), last = TruncToInt(std::ceil(top / binHz)) - 1;
    if (first > last) first = last = TruncToInt(std::floor((bottom + top) / 2.0 / binHz + 0.5));
    if (last < spectrogram.firstBin || first > lastBin) return span;
    span.first = std::max(first, spectrogram.firstBin);
    span.last = std::min(last, lastBin);
    return span;
}

int LevelColourIndex(float db, float maxDb, float rangeDb) {
    if (!(rangeDb > 0.0f)) return kSpectrogramColours - 1;
    const float floorDb = maxDb - rangeDb;
    return std::clamp(TruncToInt((db - floorDb) * (kSpectrogramColours - 1) / rangeDb), 0, kSpectrogramColours - 1);
}

namespace {

// A sixth-degree polynomial fit of viridis per channel, good to about one
// step of 8 bits.
std::array<std::uint32_t, kSpectrogramColours> MakeColourMap() {
    static constexpr double kTerms[3][7] = {
        {0.2777273272234177, 0.1050930431085774, -0.3308618287255563, -4.634230498983486, 6.228269936347081,
         4.776384997670288, -5.435455855934631},
        {0.005407344544966578, 1.404613529898575, 0.214847559468213, -5.799100973351585, 14.17993336680509,
         -13.74514537774601, 4.645852612178535},
        {0.3340998053353061, 1.384590162594685, 0.09509516302823659, -19.33244095627987, 56.69055260068105,
         -65.35303263337234, 26.3124352495832}};
    std::array<std::uint32_t, kSpectrogramColours> map{};
    for (int i = 0; i < kSpectrogramColours; ++i) {
        const double t = i / (kSpectrogramColours - 1.0);
        std::uint32_t rgb = 0xff000000u;
        for (int c = 0; c < 3; ++c) {
            double v = 0.0;
            for (int k = 6; k >= 0; --k) v = v * t + kTerms[c][k];
            rgb |= static_cast<std::uint32_t>(std::clamp(TruncToInt(v * 255.0 + 0.5), 0, 255)) << (16 - 8 * c);
        }
        map[static_cast<std::size_t>(i)] = rgb;
    }
    return map;
}

}  // namespace

std::uint32_t SpectrogramColour(int index) {
    static const std::array<std::uint32_t, kSpectrogramColours> map = MakeColourMap();
    return map[static_cast<std::size_t>(std::clamp(index, 0, kSpectrogramColours - 1))];
}

std::vector<std::uint8_t> ColourIndices(const Spectrogram& spectrogram, float rangeDb) {
    std::vector<std::uint8_t> indices(spectrogram.levelsDb.size());
    for (std::size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<std::uint8_t>(LevelColourIndex(spectrogram.levelsDb[i], spectrogram.maxDb, rangeDb));
    }
    return indices;
}
