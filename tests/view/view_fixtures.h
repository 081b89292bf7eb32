#pragma once
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/spectrum_analyser.h"
#include "ui/spectrum_view.h"

// Gives the analyser a finished spectrum on the grid start + j x interval,
// as a completed transform leaves it (maxMagnitude included).
inline void LoadSpectrum(SpectrumAnalyser& analyser, double start, double interval,
                         const std::vector<double>& values) {
    analyser.startFrequency = start;
    analyser.interval = interval;
    analyser.steps = static_cast<std::int32_t>(values.size()) - 1;
    analyser.endFrequency = start + analyser.steps * interval;
    analyser.spectrum = std::make_unique<double[]>(values.size());
    std::copy(values.begin(), values.end(), analyser.spectrum.get());
    analyser.maxMagnitude = values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

// Records what the view asks of its window.
struct FakeHost : SpectrumViewHost {
    struct Scroll {
        int minimum, maximum, page, position;
    };
    void PushReadouts(bool attach) override { pushes.push_back(attach); }
    void SetScrollInfo(int minimum, int maximum, int page, int position) override {
        scroll = Scroll{minimum, maximum, page, position};
        ++scrollCalls;
    }
    void SetSpinRange(int lower, int upper) override { spinRange = {lower, upper}; }
    void SetSpinPosition(int position) override { spinPosition = position; }
    void ShowImage() override { ++shows; }

    std::vector<bool> pushes;
    Scroll scroll{-1, -1, -1, -1};
    int scrollCalls = 0;
    std::pair<int, int> spinRange{-1, -1};
    int spinPosition = -1;
    int shows = 0;
};
