#pragma once
#include <optional>

#include "tuning/local_transform.h"
#include "tuning/recording_spectra.h"
#include "tuning/tuning_report.h"

// The strongest second peak within 40 cents of a named partial's peak at
// `peakHz` (|X| = `peakMagnitude` there): at least two resolution widths
// away, no more than 20 dB below the partial, 20 dB above the noise's
// level in the transform (`noiseVariance` per sample), with a dip between
// the two to half of its own height. Candidates are the Hann grid's local
// maxima (taken 2 dB generously, since a grid point can miss a peak by
// 0.7 dB); each is then refined on the exact transform, and every decision
// is made on exact values there. Re-centres `transform`. Plain C++.
std::optional<Doublet> FindDoublet(const RecordingSpectra& spectra, LocalTransform& transform, double peakHz,
                                   double peakMagnitude, double noiseVariance);
