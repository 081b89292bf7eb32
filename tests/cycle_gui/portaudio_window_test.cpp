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

// The default input through PortAudio, held back until the test has armed the recorder: ALSA's file
// plugin runs far faster than real time, so the bell would pass before the click. After the file's
// blocks, reads come at about real-time pace, so the stale data the plugin repeats stays a trickle
// while the analysis runs. Everything else, the window's hand-over included, is the real path.
struct InputGate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::int64_t reads = 0;

    void Open() {
        const std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    CaptureSourceFactory Factory(std::int64_t fileBlocks) {
        return [this, fileBlocks] { return std::make_unique<Source>(*this, fileBlocks); };
    }

    struct Source final : CaptureSource {
        Source(InputGate& gate, std::int64_t fileBlocks) : gate(gate), fileBlocks(fileBlocks) {}
        std::int16_t Open() override { return real->Open(); }
        std::int16_t Start() override { return real->Start(); }
        std::int32_t Read(std::int16_t* block, std::int32_t capacity) override {
            std::unique_lock lock(gate.mutex);
            gate.changed.wait(lock, [this] { return gate.open || interrupted; });
            if (interrupted) return -1;
            if (++gate.reads > fileBlocks) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            lock.unlock();
            return real->Read(block, capacity);
        }
        void Interrupt() override {
            {
                const std::lock_guard lock(gate.mutex);
                interrupted = true;
                gate.changed.notify_all();
            }
            real->Interrupt();
        }
        void Close() override { real->Close(); }
        InputGate& gate;
        const std::int64_t fileBlocks;
        bool interrupted = false;  // under gate.mutex
        std::unique_ptr<CaptureSource> real = MakePortAudioCapture();
    };
};

TEST_F(MainWindowTest, TheBellFromTheDefaultInputIsRecordedAndNamed) {
    const std::string folder = sound_system::MakeScratchFolder();
    ASSERT_FALSE(folder.empty());
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    const auto blocks = BlocksOf(bell, 3);
    std::ofstream raw(folder + "/in.raw", std::ios::binary);
    for (const auto& block : blocks) raw.write(reinterpret_cast<const char*>(block.data()), 2 * kCaptureBlockSamples);
    raw << std::string(4 * kCaptureBlockSamples, '\0') << std::flush;
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\"  infile \"" +
                                                   folder + "/in.raw\"  format \"raw\" }");
    InputGate gate;
    SetCaptureSourceFactory(gate.Factory(static_cast<std::int64_t>(blocks.size()) + 4));
    {
        MainWindow w;
        ASSERT_TRUE(w.Create() && w.LiveInput().IsOpen());
        w.SetProgressTick(5);
        w.Item<QPushButton>(kStartAnalysis)->click();
        ASSERT_EQ(w.LiveInput().State(), RecorderState::WaitForTrigger);
        gate.Open();
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.CurrentBell().sound == SoundState::Recorded && w.CurrentBell().table.partialsValid; }, 30000));
        EXPECT_EQ(w.Item<QLineEdit>(kSamples)->text(), "88200");
        ASSERT_EQ(w.CurrentBell().recording.Length(), kTwoSeconds);
        EXPECT_TRUE(std::equal(bell.begin(), bell.end(), w.CurrentBell().recording.Data())) << "from the first block above the trigger";
        ExpectBellShown(w, 1.0);
        EXPECT_TRUE(script.messages.empty());
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
