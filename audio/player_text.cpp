#include "audio/player.h"

const char* PlayerStartText(std::int16_t code) {
    switch (code) {
        case kPlayerStarted: return "Playing";
        case kPlayerNothingToPlay: return "Nothing to play!";
        case kPlayerNoOutput: return "No sound output device!";
        case kPlayerOpenFailed: return "Failed to open sound output!";
        case kPlayerStartFailed: return "Sound output failed to start!";
        default: return "Sound error!";
    }
}
