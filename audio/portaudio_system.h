#pragma once

// PortAudio for the whole process, shared by capture and playback.

// Initialises PortAudio on the first call that succeeds, with the host
// APIs' probing noise kept off stderr, and keeps it initialised for the
// rest of the process; later calls return at once. False when the sound
// system cannot be initialised (the next call tries again). User-interface
// thread only (the thread that opens the recorder and starts the player).
bool EnsurePortAudio();
