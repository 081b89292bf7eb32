#pragma once
#include <cstdint>

// Calibration of the sound card's clock from a steady reference tone (a
// tuning fork, a signal generator): the tone's frequency measured with the
// tuning report's precision, and the speed adjustment that corrects every
// frequency the card records. Plain C++, any thread.

struct ToneMeasurement {
    double referenceHz = 0.0;    // what the tone is known to be
    double measuredHz = 0.0;     // what the recording says it is
    double uncertaintyHz = 0.0;  // one standard deviation of measuredHz
    double speedAdjust = 0.0;    // referenceHz / measuredHz
};

// Codes of MeasureReferenceTone; ToneMeasurementText gives their texts.
inline constexpr std::uint16_t kToneMeasured = 0;
inline constexpr std::uint16_t kToneTooShort = 1;    // "The recording is too short to measure a tone in."
inline constexpr std::uint16_t kToneNotFound = 2;    // "No tone was found within 5 % of the reference."
inline constexpr std::uint16_t kToneOutOfRange = 3;  // the speed adjustment would leave 0.9 ... 1.1

// Finds the strongest peak within 5 % of `referenceHz` in `count` samples at
// `rateHz` (every sample: the tone is steady), measures it as the tuning
// report measures a partial and fills `result`. kToneTooShort below 1024
// samples; kToneNotFound when nothing within 5 % stands 20 dB above the
// noise there; kToneOutOfRange (with `result` filled) when
// referenceHz / measured lies outside 0.9 ... 1.1.
std::uint16_t MeasureReferenceTone(const std::int16_t* samples, std::int32_t count, double rateHz,
                                   double referenceHz, ToneMeasurement& result);

// The message of a MeasureReferenceTone code; "Calibration error!" for any other.
const char* ToneMeasurementText(std::uint16_t code);
