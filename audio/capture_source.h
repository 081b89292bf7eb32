#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// The device side of the recorder: something that delivers blocks of signed
// 16-bit mono samples at 44100 Hz. The recorder owns one per open device and
// runs its own capture thread, which calls Read in a loop and hands every
// block to Recorder::OnInputBlock (audio/recorder.h). The default source is the
// system's default input through PortAudio; tests and the main window's
// tests put a scripted source of their own in its place.
//
// Threads: Open, Start, Interrupt and Close are called on the thread that
// opens and closes the recorder (the user-interface thread); Read and
// BlockProcessed only on the capture thread, never at the same time as Open,
// Start or Close.
class CaptureSource {
public:
    virtual ~CaptureSource() = default;

    // Asks the default input whether it takes 44100 Hz mono 16-bit and opens
    // it. Returns 0 when open, otherwise a code of Recorder::Open: 2 (no input
    // device, or the format is refused), 3 (it cannot be opened) or 4 (the
    // sound system cannot be initialised). On failure nothing stays open.
    virtual std::int16_t Open() = 0;

    // Starts the capture of an open source: 0, or 4 when it refuses. On
    // failure the caller destroys the source, which releases everything.
    virtual std::int16_t Start() = 0;

    // Capture thread: waits for the next block and stores up to `capacity`
    // samples at `block`. Returns the number stored (0..capacity), or -1 when
    // the source can deliver nothing more (failed, or interrupted), which
    // ends the capture thread.
    virtual std::int32_t Read(std::int16_t* block, std::int32_t capacity) = 0;

    // Capture thread: the block from the last Read has been through
    // Recorder::OnInputBlock (its message is posted).
    virtual void BlockProcessed() {}

    // Closing: called after the recorder's `closing` flag is set, while the
    // capture thread may be waiting in Read. Makes such a wait end within
    // about one block. A source whose Read always returns within one block
    // may do nothing here.
    virtual void Interrupt() = 0;

    // Called once the capture thread has ended: stops and closes whatever
    // Open and Start opened. Harmless when called again or when never
    // opened; the destructor does the same.
    virtual void Close() = 0;
};

// Makes a fresh, unopened source; called once by each Recorder::Open.
using CaptureSourceFactory = std::function<std::unique_ptr<CaptureSource>()>;

// The system's default input device through PortAudio: 1 channel, paInt16,
// 44100 Hz, blocking reads of whole blocks.
std::unique_ptr<CaptureSource> MakePortAudioCapture();

// Chooses the source that CurrentCaptureSourceFactory gives from now on. An
// empty factory restores the default (MakePortAudioCapture). User-interface
// thread only; affects the next Recorder::Open, not an open recorder.
void SetCaptureSourceFactory(CaptureSourceFactory factory);

// The factory the window's recorder opens with (never empty).
CaptureSourceFactory CurrentCaptureSourceFactory();
