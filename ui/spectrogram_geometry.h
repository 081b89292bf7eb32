#pragma once
#include <cstdint>
#include <vector>

struct Spectrogram;

// The arithmetic of the spectrogram picture: time across (0 at the
// recording's first sample, the left edge), frequency up (the band's top at
// row 0), level as a colour index. Plain C++ (no Qt, no drawing),
// user-interface thread; tests call it without pixels. W and H are the
// picture's width and height in physical pixels.

// Colour indices run 0 (the floor) ... 255 (the maximum).
inline constexpr int kSpectrogramColours = 256;
// Levels shown below the spectrogram's maximum.
inline constexpr float kSpectrogramRangeDb = 80.0f;

// The time at the centre of pixel column `column` of W spanning
// 0 ... durationSeconds: (column + 0.5) x duration / W.
double ColumnSeconds(int column, int width, double durationSeconds);

// The pixel column showing `seconds`: trunc(seconds x W / duration), which
// may lie outside 0 ... W - 1; -1 for a duration not above 0.
int SecondsColumn(double seconds, int width, double durationSeconds);

// The frame whose centre lies nearest `seconds`, within 0 ... frames - 1
// (0 for no frames).
int FrameAtSeconds(const Spectrogram& spectrogram, double seconds);

// The pixel row showing `hz` on H rows for lowHz (bottom) ... highHz (top):
// trunc((highHz - hz) x H / (highHz - lowHz)), which may lie outside
// 0 ... H - 1; -1 for an empty band.
int FrequencyRow(double hz, double lowHz, double highHz, int height);

// The frequency at the centre of pixel row `row` of H (the inverse of
// FrequencyRow): highHz - (row + 0.5) x (highHz - lowHz) / H.
double RowFrequency(int row, double lowHz, double highHz, int height);

// The spectrogram's bins pixel row `row` shows: those whose frequency lies
// in the row's span, or the nearest one when none does; first > last when
// the row lies outside the spectrogram's bins.
struct BinSpan {
    int first = 0;
    int last = -1;
};
BinSpan RowBins(const Spectrogram& spectrogram, int row, double lowHz, double highHz, int height);

// The colour index of a level: trunc((db - floor) x 255 / rangeDb) with
// floor = maxDb - rangeDb, within 0 ... 255.
int LevelColourIndex(float db, float maxDb, float rangeDb);

// The colour map: a perceptual one (viridis) from dark blue through green
// to yellow, its lightness rising with the index; 0xffRRGGBB, index cut to
// 0 ... 255.
std::uint32_t SpectrogramColour(int index);

// Every level of the spectrogram as a colour index (LevelColourIndex
// against its maximum), in its bin-major order: what every redraw maps.
std::vector<std::uint8_t> ColourIndices(const Spectrogram& spectrogram, float rangeDb = kSpectrogramRangeDb);
