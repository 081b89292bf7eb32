// The recorder: blocks fed straight into OnInputBlock, its capture thread reading a scripted source, and
// the real PortAudio path through ALSA (one process per ALSA configuration: see CMakeLists.txt).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/recorder.h"
#include "tests/audio/sound_system_fixture.h"
#include "tests/support/allocation_count.h"
#include "tests/support/scripted_capture.h"


namespace {

using Block = std::vector<std::int16_t>;
constexpr std::int32_t kN = kCaptureBlockSamples;
constexpr auto kStopped = RecorderState::Stopped, kWait = RecorderState::WaitForTrigger,
               kRecording = RecorderState::Recording;

// The recorder's owner. Records the messages with the state and recorded count seen at each post,
// allocating nothing (the space is reserved); while `held`, posting waits. Read it only while the
// capture thread is idle.
struct MessageLog final : RecorderOwner {
    struct Seen { unsigned message; RecorderState state; std::int32_t recorded; };
    MessageLog() { seen.reserve(4096); }
    void PostRecorderMessage(unsigned message) override {
        while (held.load()) std::this_thread::yield();
        const std::lock_guard lock(mutex);
        if (seen.size() < seen.capacity()) seen.push_back({message, recorder->State(), recorder->RecordedCount()});
        dones += message == WM_RECORDING_DONE;
        changed.notify_all();
    }
    bool WaitForDones(int count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return dones >= count; });
    }
    const Recorder* recorder = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> held{false};
    std::vector<Seen> seen;
    int dones = 0;
};

// A recorder with its log; the recorder goes first, so its thread ends before the log.
struct Logged {
    Logged() { log.recorder = &recorder; }
    MessageLog log;
    Recorder recorder{&log};
};

// Distinct values from -1000 to 999, counting on from `base`.
Block Counting(std::int32_t base, std::int32_t count = kN) {
    Block block(count);
    for (std::int32_t i = 0; i < count; ++i) block[i] = static_cast<std::int16_t>((base + i) % 2000 - 1000);
    return block;
}

// Every sample of block `index` is `index`.
std::int32_t Numbered(std::int64_t index, std::int16_t* block, std::int32_t capacity) {
    std::fill(block, block + capacity, static_cast<std::int16_t>(index));
    return capacity;
}

class RecorderTest : public ::testing::Test, protected Logged {
protected:
    ~RecorderTest() override { SetCaptureSourceFactory({}); }
};

// One block into a fresh recorder: `start` WaitForTrigger arms with the trigger at slider `level`
// (threshold level x 327), Recording arms without it, Stopped is left unarmed. The block is `count`
// samples of `fill` with `value` at `at`; past `count` lie stale loud samples.
struct OneBlock {
    const char* what;
    RecorderState start; int level; std::int16_t fill; std::int32_t at; std::int16_t value; std::int32_t count;
    RecorderState after; std::int16_t peak; bool overload; std::int32_t recorded;
};

TEST(OnInputBlock, OneBlockTable) {
    const OneBlock cases[] = {
        {"silence never fires", kWait, 0, 0, 0, 0, kN, kWait, 0, false, 0},
        {"threshold 0 fires on any positive sample", kWait, 0, 0, 100, 1, kN, kRecording, 1, false, kN},
        {"slider 100 needs more than 32700", kWait, 100, 0, 5, 32700, kN, kWait, 32700, true, 0},
        {"slider 100 fires above 32700", kWait, 100, 0, 5, 32701, kN, kRecording, 32701, true, kN},
        {"negative excursions count for nothing", kWait, 0, -32768, 10, -1, kN, kWait, 0, false, 0},
        {"a short block is measured on its own samples", kWait, 1, 0, 99, 99, 100, kWait, 99, false, 0},
        {"a short block is copied alone", kRecording, 0, 0, 99, 99, 100, kRecording, 99, false, 100},
        {"an empty block", kRecording, 0, 0, 0, 0, 0, kRecording, 0, false, 0},
        {"29491 is no overload", kStopped, 0, 0, 7, 29491, kN, kStopped, 29491, false, 0},
        {"29492 is one, also when stopped", kStopped, 0, 0, 7, 29492, kN, kStopped, 29492, true, 0},
        {"the last sample overloads", kRecording, 0, 0, kN - 1, 32767, kN, kRecording, 32767, true, kN},
    };
    for (const OneBlock& c : cases) {
        SCOPED_TRACE(c.what);
        Logged l;
        if (c.start != kStopped) l.recorder.Arm(30000, c.start == kWait, c.level);
        Block block(kN, 30000);
        std::fill(block.begin(), block.begin() + c.count, c.fill);
        block[c.at] = c.value;
        l.recorder.OnInputBlock(block.data(), c.count);
        EXPECT_EQ(l.recorder.State(), c.after);
        EXPECT_EQ(l.recorder.BlockPeak(), c.peak);
        EXPECT_EQ(l.recorder.RecordedCount(), c.recorded);
        for (int message = 1; message <= kOverloadHold; ++message) ASSERT_EQ(l.recorder.CountDownOverload(), c.overload);
        EXPECT_FALSE(l.recorder.CountDownOverload()) << "held for ten level messages";
        ASSERT_EQ(l.log.seen.size(), 1u);
        EXPECT_EQ(l.log.seen[0].message, WM_RECORDER_LEVEL);
        Recording none;
        EXPECT_FALSE(l.recorder.TakeRecording(none)) << "nothing complete to take";
    }
}

// Through the capture thread: an empty read still posts; two quiet blocks wait; a recording triggered in
// mid-block starts at the block's first sample; 20000 = 2 x 8192 + 3616 cuts the third block, whose message
// is the completion, posted once the state is Stopped; the next block is not recorded. The recording is
// handed over once, and a re-arm starts from nothing.
TEST_F(RecorderTest, OpenArmTriggerRecordDoneClose) {
    std::vector<Block> blocks = {Counting(500), {}, Counting(500), Counting(0), Counting(kN), Counting(2 * kN, 4000)};
    blocks[3][4321] = 25000;
    blocks[5][3616] = 30000;  // past the end: neither copied nor measured
    auto script = std::make_shared<ScriptedCapture>(blocks);
    ASSERT_EQ(recorder.Open(script->Factory()), kRecorderOpened);
    EXPECT_TRUE(script->IsStarted() && recorder.IsOpen());
    EXPECT_EQ(std::tuple(recorder.State(), recorder.BlockPeak(), recorder.CountDownOverload()), std::tuple(kStopped, 0, false));
    recorder.Arm(20000, true, 50);
    script->Deliver(3);
    ASSERT_TRUE(script->WaitProcessed(3));
    EXPECT_EQ(std::tuple(recorder.State(), recorder.BlockPeak(), recorder.Threshold()), std::tuple(kWait, 999, 50 * 327));
    script->Deliver(4);
    ASSERT_TRUE(script->WaitProcessed(7));
    ASSERT_EQ(log.seen.size(), 7u);
    EXPECT_EQ(log.dones, 1);
    EXPECT_EQ(std::tuple(log.seen[5].message, log.seen[5].state, log.seen[5].recorded),
              std::tuple(WM_RECORDING_DONE, kStopped, 20000));
    EXPECT_EQ(recorder.RecordedCount(), 20000);
    Recording taken;
    ASSERT_TRUE(recorder.TakeRecording(taken));
    Block expected = Counting(0, 20000);
    expected[4321] = 25000;
    EXPECT_EQ(*taken.samples, expected);
    EXPECT_TRUE(taken.sampleRate == 44100 && taken.sourceFile.empty() && taken.triggerSample == 0);
    Recording again = taken;
    EXPECT_FALSE(recorder.TakeRecording(again));
    recorder.Arm(10, false, 0);
    EXPECT_EQ(std::tuple(recorder.State(), recorder.RecordedCount(), taken.Length()), std::tuple(kRecording, 0, 20000));
    recorder.Close();
    EXPECT_FALSE(script->IsOpen() || recorder.IsOpen());
}

// Failed opens return their code and leave nothing open; a reopen replaces the device; a close ends a
// thread that waits in Read, and nothing is posted after it.
TEST_F(RecorderTest, OpenFailuresReopenAndClose) {
    recorder.Close();  // never opened: harmless
    auto first = std::make_shared<ScriptedCapture>(std::vector<Block>{});
    auto second = std::make_shared<ScriptedCapture>(std::vector<Block>{});
    EXPECT_EQ(Recorder(nullptr).Open(first->Factory()), kRecorderNoOwner);
    for (auto [open, start] : {std::pair{2, 0}, {3, 0}, {0, 4}}) {
        first->SetOpenResult(static_cast<std::int16_t>(open));
        first->SetStartResult(static_cast<std::int16_t>(start));
        EXPECT_EQ(recorder.Open(first->Factory()), open + start);
        EXPECT_FALSE(first->IsOpen());  // also when it opened but refused to start
        EXPECT_FALSE(recorder.IsOpen());
    }
    first->SetStartResult(0);
    SetCaptureSourceFactory(first->Factory());
    ASSERT_EQ(recorder.Open(CurrentCaptureSourceFactory()), kRecorderOpened);
    first->Deliver(2);
    ASSERT_TRUE(first->WaitProcessed(2));
    ASSERT_EQ(recorder.Open(second->Factory()), kRecorderOpened);
    EXPECT_FALSE(first->IsOpen());
    second->Deliver(1);
    ASSERT_TRUE(second->WaitProcessed(1));
    recorder.Close();
    EXPECT_FALSE(second->IsOpen() || recorder.IsOpen());
    second->Deliver(5);
    EXPECT_FALSE(second->WaitProcessed(2, std::chrono::milliseconds(50)));
    EXPECT_EQ(log.seen.size(), 3u);
}

// Re-arming while the thread runs freely: every recording holds two consecutive full blocks, and a
// recording taken stays whole while the next one is captured. Then the recorder is destroyed while
// recording: the thread must end before the samples are freed.
TEST(RecorderThread, ContinuousRecordingsThenDestroyed) {
    auto script = std::make_shared<ScriptedCapture>(ScriptedCapture::Generator(Numbered));
    auto logged = std::make_unique<Logged>();
    Recorder& recorder = logged->recorder;
    ASSERT_EQ(recorder.Open(script->Factory()), kRecorderOpened);
    script->Deliver(std::int64_t{1} << 40);
    std::vector<Recording> taken(3);
    for (int round = 1; round <= 3; ++round) {
        recorder.Arm(2 * kN, false, 0);
        ASSERT_TRUE(logged->log.WaitForDones(round));
        ASSERT_TRUE(recorder.TakeRecording(taken[round - 1]));
    }
    for (const Recording& r : taken) {
        const Block& s = *r.samples;
        EXPECT_TRUE(s.size() == 2u * kN && s[2 * kN - 1] == s[0] + 1 && s[kN - 1] == s[0] && s[kN] == s[0] + 1);
    }
    EXPECT_LT(taken[0].Data()[0], taken[2].Data()[0]);
    recorder.Arm(1 << 20, false, 0);
    logged.reset();
    EXPECT_FALSE(script->IsOpen());
}

// The capture loop (read, OnInputBlock, post) allocates nothing while waiting, triggering, recording,
// completing and idling, with short blocks among them.
TEST_F(RecorderTest, CaptureLoopAllocatesNothing) {
    auto script = std::make_shared<ScriptedCapture>([](std::int64_t index, std::int16_t* block, std::int32_t capacity) {
        return Numbered(index * 100, block, capacity) / (index % 7 == 3 ? 2 : 1);  // fires at block 33: 3300 > 3270
    });
    const long beforeOpen = allocations.load();
    ASSERT_EQ(recorder.Open(script->Factory()), kRecorderOpened);
    ASSERT_GT(allocations.load(), beforeOpen);  // the counter is live
    script->Deliver(10);
    ASSERT_TRUE(script->WaitProcessed(10));
    recorder.Arm(200 * kN, true, 10);
    const long before = allocations.load();
    script->Deliver(2000);
    ASSERT_TRUE(script->WaitProcessed(2010));
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_EQ(log.dones, 1);
}

// A device that fails says so once; one that stalls in a read is left behind after 2 s, and when its read
// returns at last it touches nothing of the recorder that is gone by then (the sanitizer builds would tell).
std::atomic<bool> stallReleased{false}, stallEnded{false};
TEST(RecorderThread, LostAndStalledDevices) {
    for (const bool stall : {false, true}) {
        stallReleased = stallEnded = false;
        auto script = std::make_shared<ScriptedCapture>([stall](std::int64_t index, std::int16_t* block, std::int32_t n) {
            for (int ms = 0; stall && index == 2 && !stallReleased && ms < 10000; ++ms) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            stallEnded = stall && index == 2;
            return index < 2 ? Numbered(index, block, n) : -1;
        });
        MessageLog log;
        auto recorder = std::make_unique<Recorder>(&log);
        log.recorder = recorder.get();
        ASSERT_EQ(recorder->Open(script->Factory()), kRecorderOpened);
        script->Deliver(3);
        ASSERT_TRUE(script->WaitProcessed(2));
        const auto seen = [&log] { const std::lock_guard lock(log.mutex); return log.seen.size(); };
        for (int i = 0; i < 5000 && !stall && seen() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        recorder.reset();
        EXPECT_FALSE(stallEnded) << "the close did not wait for the stalled read";
        stallReleased = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::lock_guard lock(log.mutex);
        ASSERT_EQ(log.seen.size(), stall ? 2u : 3u);
        EXPECT_EQ(log.seen.back().message, stall ? WM_RECORDER_LEVEL : WM_RECORDER_LOST);
    }
}

constexpr std::int32_t kFileBlocks = 5, kTriggerBlock = 2;

// The default input plays a file: quiet, with one loud sample in the trigger block.
TEST(PortAudio, FileFedRecordingStartsAtTheTriggeringBlock) {
    Block file = Counting(0, kFileBlocks * kN);
    file[kTriggerBlock * kN + 3000] = 20000;
    const std::string folder = sound_system::MakeScratchFolder();
    std::ofstream(folder + "/in.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), 2 * kFileBlocks * kN);
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type file  slave.pcm { type null }  file \"/dev/null\""
                                               "  infile \"" + folder + "/in.raw\"  format \"raw\" }");
    for (int round = 0; round < 2; ++round) {  // the device opens and closes again
        SCOPED_TRACE(round);
        Logged l;
        l.log.held = true;  // the file runs far faster than real time: block 0 waits for the arming
        testing::internal::CaptureStderr();
        if (round == 1) close(0);  // the stderr saved while PortAudio starts then gets fd 0, a valid one
        const std::int16_t opened = l.recorder.Open(CurrentCaptureSourceFactory());
        std::fputs("after open\n", stderr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "after open\n");  // no probing noise, stderr restored
        ASSERT_EQ(opened, kRecorderOpened);
        l.recorder.Arm((kFileBlocks - kTriggerBlock) * kN, true, 10);
        l.log.held = false;
        ASSERT_TRUE(l.log.WaitForDones(1));
        l.recorder.Close();
        EXPECT_EQ(l.log.seen.at(kFileBlocks - 1).message, WM_RECORDING_DONE);
        EXPECT_EQ(l.log.dones, 1);
        Recording taken;
        ASSERT_TRUE(l.recorder.TakeRecording(taken));
        EXPECT_TRUE(std::equal(file.begin() + kTriggerBlock * kN, file.end(), taken.Data()));
    }
    std::filesystem::remove_all(folder);
}

TEST(PortAudio, NoInputDeviceIsRefusedQuietly) {
    const std::string folder = sound_system::MakeScratchFolder();
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type asym playback.pcm { type null } }");
    Logged l;
    testing::internal::CaptureStderr();
    for (int round = 0; round < 2; ++round) EXPECT_EQ(l.recorder.Open(CurrentCaptureSourceFactory()), kRecorderFormatRefused);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(l.log.seen.empty());
    std::filesystem::remove_all(folder);
}

}  // namespace
