// The whole window on the real PortAudio path: ALSA's file plugin plays a
// struck bell from a raw file into the default input; the window triggers,
// records, analyses and names the partials.
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "../audio/sound_system_fixture.h"
#include "cycle_fixture.h"

namespace {

// The file plugin runs far faster than real time: the first recorder message
// waits until the test has armed the recording, and once the recording is
// done the stale data the plugin repeats is slowed to about a block rate and
// dropped, which keeps the queue short while the analysis runs.
class FileFedWindow : public MainWindow {
public:
    ~FileFedWindow() override {  // the capture thread must end before the members here go
        OpenGate();
        CloseRecorder(sound);
    }
    void PostRecorderMessage(unsigned message) override {
        std::unique_lock lock(mutex);
        gate.wait(lock, [this] { return open; });
        if (finished) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return;
        }
        finished = message == WM_RECORDING_DONE;
        MainWindow::PostRecorderMessage(message);
    }
    void OpenGate() {
        std::lock_guard lock(mutex);
        open = true;
        gate.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable gate;
    bool open = false, finished = false;
};

TEST_F(MainWindowTest, TheBellFromTheDefaultInputIsRecordedAndNamed) {
    const std::string folder = sound_system::MakeScratchFolder();
    ASSERT_FALSE(folder.empty());
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    std::vector<std::int16_t> file;
    for (const auto& block : BlocksOf(bell, 3)) file.insert(file.end(), block.begin(), block.end());
    file.resize(file.size() + 2 * kCaptureBlockSamples, 0);
    std::ofstream(folder + "/in.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size() * 2));
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\"  infile \"" +
                                                   folder + "/in.raw\"  format \"raw\" }");
    {
        FileFedWindow w;
        ASSERT_TRUE(w.Create());
        ASSERT_TRUE(w.sound.deviceOpen);
        w.progressTickMilliseconds = 5;
        w.Item<QPushButton>(kStartAnalysis)->click();
        ASSERT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
        w.OpenGate();
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.sound.soundState == SoundState::Recorded && w.table.partialsValid; }, 30000));
        EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
        EXPECT_EQ(w.Item<QLineEdit>(kSamples)->text(), "88200");
        ASSERT_EQ(w.sound.sampleCount, kTwoSeconds);
        EXPECT_TRUE(std::equal(bell.begin(), bell.end(), w.sound.samples.get())) << "from the first block above the trigger";
        ExpectBellShown(w, 1.0);
        EXPECT_TRUE(script.messages.empty());
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
