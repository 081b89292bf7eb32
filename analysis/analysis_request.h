#pragma once
#include <cstdint>
#include <string>

// The transform parameters the main window keeps; the engine only reads them.
struct AnalysisRequest {
    double startFrequency = 0.0;  // Hz, frequency of spectrum point 0
    double endFrequency = 0.0;    // Hz, upper end of the analysed band
    double interval = 0.0;        // Hz, spacing of spectrum points and FFT bins
    std::int32_t steps = 0;       // number of intervals; steps + 1 points
    std::int32_t firstSample = 0; // first sample of the analysed stretch
    std::int32_t lastSample = 0;  // end of the stretch; read up to it, inclusive
    std::int32_t sampleRate = 0;  // Hz (44100)
    std::int32_t recordLength = 0;  // samples one recording holds
    std::string waveFileName;
};
