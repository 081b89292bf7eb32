#pragma once

// The messages the recorder posts to its owner, one per captured block.
// Values kept from the window-message numbering (user base 0x400).
inline constexpr unsigned WM_RECORDING_DONE = 0x401;
inline constexpr unsigned WM_RECORDER_LEVEL = 0x402;
// Posted once when the device fails (a read error, a microphone unplugged):
// the capture thread has ended and no further message follows.
inline constexpr unsigned WM_RECORDER_LOST = 0x403;

// Receives the recorder's messages. PostRecorderMessage is called on the
// capture thread; it must only queue the message for the user-interface
// thread (in order, also while a modal dialog is open) and return at once,
// without allocating where it can be avoided and without waiting.
class RecorderOwner {
public:
    virtual void PostRecorderMessage(unsigned message) = 0;

protected:
    ~RecorderOwner() = default;
};
