#include "partials/partial_table.h"

#include <algorithm>
#include <cmath>

PartialTable::PartialTable()
    : partialNames{} {
    for (std::size_t i = 0; i < partialNames.size(); ++i) partialNames[i] = kPartialNames[i];
    Clear();
}

void PartialTable::Clear() {
    frequency.fill(0.0);
    splashAmplitude.fill(0.0);
    tailAmplitude.fill(0.0);
    attack.fill(0.0);
    decay.fill(0.0);
    cents.fill(0.0);
    partialIndex.fill(NoPartial);
    for (std::string& text : note) {
        text.clear();
    }
    nominal = 0.0;
    partialsValid = 0;
    count = 0;
}

int PartialTable::RowsInUse() const {
    return std::clamp(static_cast<int>(count), 0, kPartialRows);
}

void PartialTable::MoveRow(int from, int to) {
    frequency[to] = frequency[from];
    splashAmplitude[to] = splashAmplitude[from];
    tailAmplitude[to] = tailAmplitude[from];
    attack[to] = attack[from];
    decay[to] = decay[from];
    partialIndex[to] = partialIndex[from];
    note[to] = note[from];
}

void PartialTable::WriteRow(int row, const NewRow& peak) {
    frequency[row] = peak.frequency;
    splashAmplitude[row] = peak.splash;
    tailAmplitude[row] = peak.tail;
    attack[row] = peak.attack;
    decay[row] = peak.decay;
    partialIndex[row] = peak.index;
    note[row] = NoteName(peak.frequency);
}

void PartialTable::ReplaceWeakest(int t, int weakest, const NewRow& peak) {
    if (weakest >= t) {
        for (int row = weakest; row > t; --row) {
            MoveRow(row - 1, row);
        }
        WriteRow(t, peak);
    } else {
        // The weakest row lies below the new one: closing its slot shifts the
        // rows in between down, so the new row lands one below t.
        for (int row = weakest; row < t - 1; ++row) {
            MoveRow(row + 1, row);
        }
        WriteRow(t - 1, peak);
    }
}

void PartialTable::AddPeak(double frequencyHz, double splash, double tail, double attackValue,
                           double decayValue, std::int16_t index) {
    const NewRow peak{std::fabs(frequencyHz), std::fabs(splash), std::fabs(tail),
                      std::fabs(attackValue), std::fabs(decayValue), index};
    // A non-finite value would break the frequency order (NaN compares false
    // with everything) and could not be written to a partials file.
    for (double value : {peak.frequency, peak.splash, peak.tail, peak.attack, peak.decay}) {
        if (!std::isfinite(value)) {
            return;
        }
    }
    if (peak.frequency == 0.0) {
        return;
    }
    bool duplicate = false;
    int t = 0;
    int weakest = 0;
    double minimum = peak.tail;
    // Rows not in use hold frequency 0 and amplitude 0; scanning them too is
    // harmless while the table has room and irrelevant once it is full.
    for (int row = 0; row < kPartialRows; ++row) {
        if (frequency[row] == peak.frequency) {
            duplicate = true;
        }
        if (frequency[row] > 0.0 && frequency[row] < peak.frequency) {
            t = row + 1;
        }
        if (tailAmplitude[row] < minimum) {
            minimum = tailAmplitude[row];
            weakest = row;
        }
    }
    if (duplicate) {
        return;
    }
    const int used = RowsInUse();
    if (used < kPartialRows) {
        for (int row = used; row > t; --row) {
            MoveRow(row - 1, row);
        }
        WriteRow(t, peak);
        count = static_cast<std::int16_t>(used + 1);
    } else if (peak.tail > minimum) {
        ReplaceWeakest(t, weakest, peak);
    }
    partialsValid = 1;
}

bool PartialTable::HasPeakIn(double lo, double hi) const {
    const int used = RowsInUse();
    for (int row = 0; row < used; ++row) {
        if (lo <= frequency[row] && frequency[row] < hi) {
            return true;
        }
    }
    return false;
}
