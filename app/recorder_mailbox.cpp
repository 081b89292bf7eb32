#include "app/recorder_mailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

RecorderMailbox::RecorderMailbox(std::function<void(unsigned)> deliver)
    : deliver(std::move(deliver)), wakeup(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (wakeup >= 0) {
        notifier = new QSocketNotifier(wakeup, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { Drain(); });
    }
}

RecorderMailbox::~RecorderMailbox() {
    delete notifier;
    if (wakeup >= 0) close(wakeup);
}

void RecorderMailbox::Post(unsigned message) {
    if (!ring.Push(static_cast<std::uint16_t>(message))) return;
    const std::uint64_t one = 1;
    // The only system call of the hand-over; it neither allocates nor blocks
    // (a non-blocking eventfd whose counter cannot come near its limit).
    [[maybe_unused]] const ssize_t written = write(wakeup, &one, sizeof one);
}

void RecorderMailbox::Drain() {
    // Reset the counter first: a message posted while the loop below runs
    // wakes the notifier again instead of being missed.
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(wakeup, &count, sizeof count);
    std::uint16_t code = 0;
    // A delivered message may run a nested modal loop, which drains the rest
    // itself; the ring keeps the order either way.
    while (ring.Pop(code)) deliver(code);
}
