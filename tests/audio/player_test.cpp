// The player: its thread writing to a scripted output, and the real PortAudio path through ALSA's file
// plugin (one process per ALSA configuration: see CMakeLists.txt).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio/player.h"
#include "audio/recorder.h"
#include "tests/audio/sound_system_fixture.h"
#include "tests/support/scripted_output.h"

// Every allocation in the program is counted: the player's thread must make none.
static std::atomic<long> allocations{0};
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    std::abort();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Samples = std::vector<std::int16_t>;
constexpr std::int64_t kB = kPlaybackBlockSamples;

// `count` samples, none of them 0: 1 ... 30000, then -1 ... -30000, and round again.
std::shared_ptr<const Samples> Counting(std::int64_t count) {
    Samples samples(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const auto k = static_cast<std::int16_t>(i % 30000 + 1);
        samples[static_cast<std::size_t>(i)] = (i / 30000) % 2 == 0 ? k : static_cast<std::int16_t>(-k);
    }
    return std::make_shared<const Samples>(std::move(samples));
}

// Polls until the player reports an end (None after 5 s).
PlayerEnd WaitForEnd(Player& player) {
    for (int i = 0; i < 5000; ++i) {
        if (const PlayerEnd end = player.Poll(); end != PlayerEnd::None) return end;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return PlayerEnd::None;
}

// Refused starts leave nothing open, then a block is stopped part-way, then one plays to its end exactly;
// the samples outlive their first owner, and the thread allocates nothing.
TEST(Player, RefusalsStopAndPlayToTheEnd) {
    auto output = std::make_shared<ScriptedOutput>();
    Player player;
    EXPECT_EQ(player.Play(nullptr, output->Factory()), kPlayerNothingToPlay);
    EXPECT_EQ(player.Play(std::make_shared<const Samples>(), output->Factory()), kPlayerNothingToPlay);
    for (const std::int16_t code : {kPlayerNoOutput, kPlayerOpenFailed, kPlayerStartFailed}) {
        output->SetOpenResult(code);
        EXPECT_EQ(player.Play(Counting(5000), output->Factory()), code);
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_FALSE(output->IsOpen());
        EXPECT_EQ(player.Length(), 0);
    }
    output->SetOpenResult(0);
    output->SetStartResult(kPlayerStartFailed);
    EXPECT_EQ(player.Play(Counting(5000), output->Factory()), kPlayerStartFailed);
    EXPECT_FALSE(output->IsOpen()) << "a sink that will not start is closed";
    EXPECT_STREQ(PlayerStartText(kPlayerNoOutput), "No sound output device!");
    EXPECT_STREQ(PlayerStartText(77), "Sound error!");

    // Stopped after two blocks of ten: the position says two, no end is reported, the device is closed.
    output->SetStartResult(0);
    ASSERT_EQ(player.Play(Counting(10 * kB), output->Factory()), kPlayerStarted);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(player.Length(), 10 * kB);
    EXPECT_EQ(player.Position(), 0);
    output->Accept(2);
    ASSERT_TRUE(output->WaitWritten(2));
    EXPECT_EQ(player.Poll(), PlayerEnd::None);
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(output->IsOpen());
    EXPECT_EQ(player.Position(), 2 * kB);
    EXPECT_EQ(player.Poll(), PlayerEnd::None);
    EXPECT_EQ(output->Drains(), 0) << "a stop cuts off at once";
    output->SetOpenResult(kPlayerOpenFailed);
    EXPECT_EQ(player.Play(Counting(kB), output->Factory()), kPlayerOpenFailed);
    EXPECT_EQ(std::pair(player.Position(), player.Length()), std::pair(2 * kB, 10 * kB)) << "a refusal changes nothing";
    output->SetOpenResult(0);

    // 2.5 blocks whose only other owner lets go at once: every sample in order, a short last block, one end.
    std::shared_ptr<const Samples> block = Counting(5 * kB / 2);
    const Samples expected = *block;
    ASSERT_EQ(player.Play(std::move(block), output->Factory()), kPlayerStarted);
    const long before = allocations.load();
    output->Accept(3);
    ASSERT_TRUE(output->WaitWritten(5));
    EXPECT_EQ(allocations.load() - before, 0) << "the player's thread allocated";
    EXPECT_EQ(WaitForEnd(player), PlayerEnd::Finished);
    EXPECT_EQ(player.Poll(), PlayerEnd::None) << "reported once";
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.Position(), 5 * kB / 2);
    EXPECT_EQ(output->Drains(), 1);
    EXPECT_FALSE(output->IsOpen());
    const Samples played = output->Played();
    ASSERT_EQ(played.size(), 2 * kB + expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin() + 2 * kB));
}

// A device that fails part-way ends the playing with OutputLost; one that stalls is left behind after 2 s
// and the player plays again on a fresh device.
TEST(Player, LostAndStalledOutputs) {
    auto failing = std::make_shared<ScriptedOutput>();
    failing->FailAtBlock(3);
    failing->FreeRunning();
    Player player;
    ASSERT_EQ(player.Play(Counting(10 * kB), failing->Factory()), kPlayerStarted);
    EXPECT_EQ(WaitForEnd(player), PlayerEnd::OutputLost);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.Position(), 3 * kB);
    EXPECT_FALSE(failing->IsOpen());
    EXPECT_EQ(failing->Drains(), 0);

    auto stalled = std::make_shared<ScriptedOutput>();
    stalled->Stall();
    ASSERT_EQ(player.Play(Counting(10 * kB), stalled->Factory()), kPlayerStarted);
    ASSERT_TRUE(stalled->WaitEntered(1));
    const auto before = std::chrono::steady_clock::now();
    player.Stop();
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::seconds(4));
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(stalled->IsOpen()) << "a sink still written to is never closed under its thread";

    auto fresh = std::make_shared<ScriptedOutput>();
    fresh->FreeRunning();
    ASSERT_EQ(player.Play(Counting(kB), fresh->Factory()), kPlayerStarted);
    EXPECT_EQ(WaitForEnd(player), PlayerEnd::Finished);
    stalled->Accept(1);  // the thread left behind writes its block and ends on its own
    ASSERT_TRUE(stalled->WaitWritten(1));
}

// What reaches ALSA's file plugin: a few silent frames around it, and otherwise exactly the played
// samples in order.
void ExpectPlayedExactly(const std::string& file, const Samples& expected) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Samples got(bytes.size() / 2);
    std::memcpy(got.data(), bytes.data(), got.size() * 2);
    const auto first = std::find_if(got.begin(), got.end(), [](std::int16_t s) { return s != 0; });
    ASSERT_GE(got.end() - first, std::ssize(expected)) << "only " << got.size() << " samples reached the file";
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), first));
    EXPECT_TRUE(std::all_of(first + std::ssize(expected), got.end(), [](std::int16_t s) { return s == 0; }));
    EXPECT_LE(first - got.begin(), 8 * kB) << "silence before the samples";
}

// The default output writes to a file; PortAudio starts quietly and the samples arrive unchanged, twice.
TEST(PortAudio, FileFedPlaybackArrivesSampleForSample) {
    const std::string folder = sound_system::MakeScratchFolder();
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type file  slave.pcm { type null }  file \"" +
                                                   folder + "/out.raw\"  format \"raw\" }");
    Player player;
    for (const std::int64_t length : {7 * kB + 321, 3 * kB}) {
        SCOPED_TRACE(length);
        std::shared_ptr<const Samples> samples = Counting(length);
        testing::internal::CaptureStderr();
        ASSERT_EQ(player.Play(samples, CurrentOutputSinkFactory()), kPlayerStarted);
        std::fputs("after start\n", stderr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "after start\n");  // no probing noise, stderr restored
        EXPECT_EQ(WaitForEnd(player), PlayerEnd::Finished);
        EXPECT_EQ(player.Position(), length);
        ExpectPlayedExactly(folder + "/out.raw", *samples);
    }
    std::filesystem::remove_all(folder);
}

// No output device: refused quietly with its code, also when the capture has already started PortAudio.
TEST(PortAudio, NoOutputDeviceIsRefusedQuietly) {
    const std::string folder = sound_system::MakeScratchFolder();
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type asym capture.pcm { type null } }");
    Player player;
    testing::internal::CaptureStderr();
    struct NoOwner final : RecorderOwner {
        void PostRecorderMessage(unsigned) override {}
    } owner;
    Recorder recorder(&owner);
    EXPECT_EQ(recorder.Open(CurrentCaptureSourceFactory()), kRecorderOpened);
    for (int round = 0; round < 2; ++round) EXPECT_EQ(player.Play(Counting(kB), CurrentOutputSinkFactory()), kPlayerNoOutput);
    recorder.Close();
    EXPECT_EQ(player.Play(Counting(kB), CurrentOutputSinkFactory()), kPlayerNoOutput);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(player.IsPlaying());
    std::filesystem::remove_all(folder);
}

}  // namespace
