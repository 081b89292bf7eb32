// A block's message reaches the real window without an allocation or a lock on the capture thread: only the
// recorder's per-block work (OnInputBlock and the window's PostRecorderMessage) is counted, not the test's source.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <thread>

#include "app/main_window.h"
#include "audio/recorder.h"

namespace {
thread_local bool counting = false;
std::atomic<int> allocations{0}, locks{0}, processed{0};
}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

#ifndef __SANITIZE_THREAD__  // the thread sanitizer needs its own hold on the mutex functions
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    static const auto next = reinterpret_cast<int (*)(pthread_mutex_t*)>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (counting) ++locks;
    return next(mutex);
}
#endif

namespace {

// Loud blocks 2 ms apart; counting covers exactly the time from a block's hand-over to BlockProcessed.
struct CountingSource final : CaptureSource {
    std::int16_t Open() override { return 0; }
    std::int16_t Start() override { return 0; }
    std::int32_t Read(std::int16_t* block, std::int32_t capacity) override {
        counting = false;
        if (stop) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (std::int32_t i = 0; i < capacity; ++i) block[i] = static_cast<std::int16_t>(i % 2 ? 20000 : -20000);
        counting = true;
        return capacity;
    }
    void BlockProcessed() override { counting = false, ++processed; }
    void Interrupt() override { stop = true; }
    void Close() override {}
    std::atomic<bool> stop{false};
};

TEST(CapturePost, NoAllocationOrLockPerBlockWithTheRealWindow) {
    counting = true;
    int* volatile probe = new int(1);
    counting = false;
    delete probe;
    ASSERT_EQ(allocations.exchange(0), 1) << "the counter is live";
    SetCaptureSourceFactory([] { return std::make_unique<CountingSource>(); });
    MainWindow window(VersionStrings{"Campanor", "developers", "1", "(C)"});
    ASSERT_TRUE(window.Create());
    window.SetProgressTick(5);
    window.Item<QPushButton>(MainWindowIds::kStartAnalysis)->click();
    // Eleven blocks make the 2 s recording; its analysis runs under the progress dialog, then the level messages
    // go on while the window stands still.
    while (processed < 40) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(window.Item<QLineEdit>(MainWindowIds::kStatus)->text(), "stopped");
    EXPECT_TRUE(window.IsWindowEnabled(MainWindowIds::kSaveRecording)) << "the recording was delivered";
    EXPECT_EQ(allocations + locks, 0) << allocations << " allocations, " << locks << " locks";
    SetCaptureSourceFactory({});
}

}  // namespace
