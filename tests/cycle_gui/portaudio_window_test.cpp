// The whole window on the real PortAudio path: ALSA's file plugin plays a
// struck bell from a raw file into the default input, the window triggers,
// records, analyses and names the partials.
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "../audio/sound_system_fixture.h"
#include "cycle_fixture.h"

using namespace MainWindowIds;

namespace {

constexpr int kQuietBlocks = 3;
constexpr std::int32_t kTwoSeconds = 88200;

// The window with a gate on its recorder messages (capture thread). The
// file plugin runs far faster than real time, so the first message waits
// until the test has armed the recording; once the recording is done, the
// stale data the plugin repeats after the file's end is slowed to about a
// real block rate and its level messages are dropped, which keeps the
// queue short while the analysis runs.
class FileFedWindow : public MainWindow {
public:
    // The capture thread calls into this class: it must have ended before
    // the members here go (the base class would close it only afterwards).
    ~FileFedWindow() override {
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
        if (message == WM_RECORDING_DONE) finished = true;
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
    bool open = false;
    bool finished = false;
};

TEST(PortAudioWindow, TheBellFromTheDefaultInputIsRecordedAndNamed) {
    const std::string folder = sound_system::MakeScratchFolder();
    ASSERT_FALSE(folder.empty());
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    std::vector<std::int16_t> file;
    for (const auto& block : BlocksOf(bell, kQuietBlocks)) file.insert(file.end(), block.begin(), block.end());
    file.resize(file.size() + 2 * kCaptureBlockSamples, 0);
    std::ofstream(folder + "/in.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size() * 2));
    sound_system::UseAlsaConfiguration(
        folder, "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\"  infile \"" + folder +
                    "/in.raw\"  format \"raw\" }");
    SetCaptureSourceFactory({});
    UiScript script;
    SetUiScript(&script);
    QTemporaryDir currentDirectory;  // no calibration file
    const QString previous = QDir::currentPath();
    QDir::setCurrent(currentDirectory.path());
    {
        FileFedWindow w;
        ASSERT_TRUE(w.Create());
        ASSERT_TRUE(w.sound.deviceOpen);
        w.progressTickMilliseconds = 5;
        w.Item<QPushButton>(kStartAnalysis)->click();
        ASSERT_EQ(w.sound.state.load(), RecorderState::WaitForTrigger);
        w.OpenGate();
        EXPECT_TRUE(QTest::qWaitFor(
            [&w] { return w.sound.soundState == SoundState::Recorded && w.table.partialsValid != 0; }, 30000));
        EXPECT_EQ(w.sound.state.load(), RecorderState::Stopped);
        EXPECT_EQ(w.Item<QLineEdit>(kSamples)->text(), "88200");
        ASSERT_EQ(w.sound.sampleCount, kTwoSeconds);
        EXPECT_TRUE(std::equal(bell.begin(), bell.end(), w.sound.samples.get()))
            << "recorded from the first block above the trigger";
        ExpectBellShown(w, 1.0);
        EXPECT_TRUE(w.IsWindowEnabled(kSaveRecording));
        EXPECT_TRUE(script.messages.empty());
    }
    QDir::setCurrent(previous);
    SetUiScript(nullptr);
    std::filesystem::remove_all(folder);
}

}  // namespace
