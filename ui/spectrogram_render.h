#pragma once
#include <QImage>
#include <cstdint>
#include <vector>

struct Spectrogram;

// The spectrogram drawn onto an image, without any window (Qt Gui only):
// the spectrogram view draws its off-screen image with it. Calling thread
// (the user-interface thread in the program).

// What the picture shows: the band (Hz, low at the bottom) and the time
// across (0 ... durationSeconds from the recording's first sample).
struct SpectrogramWindow {
    double lowHz = 0.0;
    double highHz = 5000.0;
    double durationSeconds = 1.0;
};

// What is marked on it: the named partials' frequencies (Hz; a tick at
// both edges and a faint line across), the strike (a white line) and a
// second strike (an orange line); a time below 0 marks nothing.
struct SpectrogramMarks {
    std::vector<double> partialsHz;
    double strikeSeconds = -1.0;
    double secondStrikeSeconds = -1.0;
};

// Fills `image` (W x H = its size, Format_RGB32, one column per physical
// pixel whatever its device pixel ratio): each pixel the colour
// (SpectrogramColour) of `indices` (ColourIndices of `spectrogram`) at the
// frame nearest its column's time and the loudest of the bins its row spans
// (RowBins); rows beyond the spectrogram's bins and columns past the
// recording's end take colour 0. Then the marks.
void RenderSpectrogram(QImage& image, const Spectrogram& spectrogram, const std::vector<std::uint8_t>& indices,
                       const SpectrogramWindow& window, const SpectrogramMarks& marks);
