#include "ring/tuning_units.h"

#include "tuning/tuning_text.h"

double InUnits(double cents, TuningUnits units) {
    return units == TuningUnits::Sixteenths ? cents / kCentsPerSixteenth : cents;
}

std::string UnitsText(double cents, TuningUnits units, bool sign) {
    return FixedText(InUnits(cents, units), units == TuningUnits::Sixteenths ? 1 : 2, sign);
}

std::string_view UnitsName(TuningUnits units) {
    return units == TuningUnits::Sixteenths ? "sixteenths" : "cents";
}

bool ParseTuningUnits(std::string_view text, TuningUnits& units) {
    for (const TuningUnits candidate : {TuningUnits::Cents, TuningUnits::Sixteenths}) {
        if (text == UnitsName(candidate)) {
            units = candidate;
            return true;
        }
    }
    return false;
}
