// The whole window on the real PortAudio path: ALSA's file plugin plays a
// struck bell from a raw file into the default input; the window triggers,
// records, analyses and names the partials.
#include <QTest>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "../audio/sound_system_fixture.h"
#include "cycle_fixture.h"

namespace {

// The plugin runs far faster than real time: messages wait until the test has
// armed the recording, and the stale data it repeats after the recording is
// slowed and dropped, which keeps the queue short while the analysis runs.
class FileFedWindow : public MainWindow {
public:
    ~FileFedWindow() override {  // the capture thread must end before the members here go
        OpenGate();
        recorder.Close();
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
        const std::lock_guard lock(mutex);
        open = true;
        gate.notify_all();
    }
    std::mutex mutex;
    std::condition_variable gate;
    bool open = false, finished = false;
};

TEST_F(MainWindowTest, TheBellFromTheDefaultInputIsRecordedAndNamed) {
    const std::string folder = sound_system::MakeScratchFolder();
    ASSERT_FALSE(folder.empty());
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    std::ofstream raw(folder + "/in.raw", std::ios::binary);
    for (auto block : BlocksOf(bell, 3)) raw.write(reinterpret_cast<const char*>(block.data()), 2 * kCaptureBlockSamples);
    raw << std::string(4 * kCaptureBlockSamples, '\0') << std::flush;
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\"  infile \"" +
                                                   folder + "/in.raw\"  format \"raw\" }");
    {
        FileFedWindow w;
        ASSERT_TRUE(w.Create() && w.recorder.IsOpen());
        w.progressTickMilliseconds = 5;
        w.Item<QPushButton>(kStartAnalysis)->click();
        ASSERT_EQ(w.recorder.State(), RecorderState::WaitForTrigger);
        w.OpenGate();
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.soundState == SoundState::Recorded && w.table.partialsValid; }, 30000));
        EXPECT_EQ(w.Item<QLineEdit>(kSamples)->text(), "88200");
        ASSERT_EQ(w.recording.Length(), kTwoSeconds);
        EXPECT_TRUE(std::equal(bell.begin(), bell.end(), w.recording.Data())) << "from the first block above the trigger";
        ExpectBellShown(w, 1.0);
        EXPECT_TRUE(script.messages.empty());
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
