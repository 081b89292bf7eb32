#pragma once
#include <cstdint>

// State of the recorder and of the record-analyse cycle. Written by the
// user-interface thread (arm, stop, analyse) and by the capture thread
// (trigger fired, recording complete).
enum class RecorderState : std::int16_t {
    Stopped = 0,
    WaitForTrigger = 1,
    Recording = 2,
    Analysing = 3,
};
