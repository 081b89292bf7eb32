#include "audio/portaudio_system.h"

#include <fcntl.h>
#include <portaudio.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Pa_Initialize probes every host API (ALSA, JACK, OSS) and they report
// their failed probes on stderr. Those lines mean nothing to the user, so
// fd 2 points at /dev/null for that call only and is restored after.
PaError InitializeQuietly() {
    std::fflush(stderr);
    const int savedStderr = dup(2);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStderr >= 0 && devNull >= 0) dup2(devNull, 2);
    const PaError result = Pa_Initialize();
    if (savedStderr >= 0 && devNull >= 0) dup2(savedStderr, 2);
    if (devNull >= 0) close(devNull);
    if (savedStderr >= 0) close(savedStderr);
    return result;
}

}  // namespace

bool EnsurePortAudio() {
    // Probing takes tens of milliseconds and repeats the noise: done once,
    // so a later "Play" starts within a block. Never terminated: a stream
    // left to a stalled device's thread may still be in use at exit.
    static bool initialized = false;  // user-interface thread only
    if (!initialized) initialized = InitializeQuietly() == paNoError;
    return initialized;
}
