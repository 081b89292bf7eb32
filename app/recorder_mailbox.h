#pragma once
#include <QObject>
#include <functional>

#include "audio/message_ring.h"

class QSocketNotifier;

// Carries the recorder's messages from the capture thread to the
// user-interface thread without allocating or locking on the capture side:
// a MessageRing of codes and an eventfd as the wake-up, watched by a
// QSocketNotifier. Messages arrive in order, also inside nested modal loops
// (every event loop of the thread watches the notifier).
class RecorderMailbox final : public QObject {
public:
    // `deliver` runs on the user-interface thread, once per message.
    explicit RecorderMailbox(std::function<void(unsigned)> deliver);
    ~RecorderMailbox() override;

    // Capture thread (or any single writer thread): queues `message` and
    // wakes the user-interface thread with one write to the eventfd. A
    // message that finds the ring full (the interface stalled for 47 s) is
    // dropped.
    void Post(unsigned message);

private:
    void Drain();

    std::function<void(unsigned)> deliver;
    MessageRing ring;
    int wakeup = -1;  // eventfd, counter mode, non-blocking
    QSocketNotifier* notifier = nullptr;
};
