#pragma once
#include <optional>

#include "tuning/recording_spectra.h"
#include "tuning/tuning_report.h"

class PartialTable;

// How the report makes a named partial's envelope, shared by everything
// that shows it so that all see the same one. Plain C++, any thread.

// The band (Hz, either side of `hz`) of the envelope of table row `row`
// measured at `hz`: 0.8 of the distance to the nearest other row or the
// doublet that lies two resolution widths (`resolutionHz`) away or more,
// within 3 ... 25 Hz. Anything closer cannot be filtered away and is left
// to show as a beat.
double EnvelopeBandHz(const PartialTable& table, int row, double hz, const std::optional<Doublet>& doublet,
                      double resolutionHz);

// The variance per sample of the noise around the partial at `hz`, leaving
// out ten resolution widths around every row of `table` and `hz` itself
// (RecordingSpectra::NoiseVariance).
double PartialNoiseVariance(const RecordingSpectra& spectra, const PartialTable& table, double hz);
