#include "audio/recorder.h"

const char* RecorderOpenText(std::int16_t code) {
    switch (code) {
        case kRecorderOpened: return "Recording initialised";
        case kRecorderNoOwner: return "No dialog pointer!";
        case kRecorderFormatRefused: return "Sound format not supported!";
        case kRecorderOpenFailed: return "Failed to open sound device!";
        case kRecorderStartFailed: return "Sound driver initialise failure!";
        default: return "Sound error!";
    }
}
