// The player: its thread writing to a scripted output, and the real PortAudio path through ALSA's file
// plugin (one process per ALSA configuration: see CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio/player.h"
#include "audio/recorder.h"
#include "tests/audio/sound_system_fixture.h"
#include "tests/support/allocation_count.h"
#include "tests/support/scripted_output.h"


namespace {

using Samples = std::vector<std::int16_t>;
constexpr std::int64_t kB = kPlaybackBlockSamples;

// `count` samples, none of them 0: 1 ... 30000, then -1 ... -30000, and round again.
std::shared_ptr<const Samples> Counting(std::int64_t count) {
    auto samples = std::make_shared<Samples>(count);
    for (std::int64_t i = 0; i < count; ++i) (*samples)[i] = static_cast<std::int16_t>((i / 30000 % 2 ? -1 : 1) * (i % 30000 + 1));
    return samples;
}

// Polls until the player reports an end (None after 5 s).
PlayerEnd WaitForEnd(Player& player) {
    PlayerEnd end = PlayerEnd::None;
    for (int i = 0; i < 5000 && end == PlayerEnd::None; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        end = player.Poll();
    }
    return end;
}

// Refusals leave nothing open; a block stopped after two blocks reports no end, and a refusal then keeps
// its position; 2.5 blocks whose only other owner lets go play exactly, allocating nothing on the way;
// a device failing part-way ends the playing.
TEST(Player, RefusedStoppedPlayedAndLost) {
    auto out = std::make_shared<ScriptedOutput>();
    Player player;
    EXPECT_EQ(player.Play(nullptr, out->Factory()), kPlayerNothingToPlay);
    for (const auto& [open, start] : {std::pair{kPlayerNoOutput, 0}, {kPlayerOpenFailed, 0}, {0, kPlayerStartFailed}}) {
        out->Change([&] { out->openResult = open, out->startResult = start; });
        EXPECT_EQ(player.Play(Counting(kB), out->Factory()), open + start);
        EXPECT_FALSE(player.IsPlaying() || out->Get(out->open));
    }
    EXPECT_STREQ(PlayerStartText(kPlayerNoOutput), "No sound output device!");
    out->Change([&] { out->startResult = 0, out->accepted = 2; });
    ASSERT_EQ(player.Play(Counting(10 * kB), out->Factory()), kPlayerStarted);
    ASSERT_TRUE(out->WaitWritten(2));
    EXPECT_TRUE(player.IsPlaying() && player.Poll() == PlayerEnd::None);
    player.Stop();
    EXPECT_FALSE(player.IsPlaying() || out->Get(out->open));
    EXPECT_EQ(player.Poll(), PlayerEnd::None) << "a stop is no end";
    out->Change([&] { out->openResult = kPlayerOpenFailed; });
    EXPECT_EQ(player.Play(Counting(kB), out->Factory()), kPlayerOpenFailed);
    EXPECT_EQ(std::pair(player.Position(), player.Length()), std::pair(2 * kB, 10 * kB)) << "a refusal changes nothing";

    std::shared_ptr<const Samples> samples = Counting(5 * kB / 2);
    const Samples expected = *samples;
    out->Change([&] { out->openResult = 0, out->played.clear(); });
    ASSERT_EQ(player.Play(std::move(samples), out->Factory()), kPlayerStarted);
    const long before = allocations.load();
    out->Change([&] { out->accepted += 3; });
    ASSERT_TRUE(out->WaitWritten(5));
    EXPECT_EQ(allocations.load(), before) << "the player's thread allocated";
    EXPECT_EQ(WaitForEnd(player), PlayerEnd::Finished);
    EXPECT_EQ(player.Poll(), PlayerEnd::None) << "reported once";
    EXPECT_EQ(player.Position(), 5 * kB / 2);
    EXPECT_EQ(out->Get(out->played), expected);

    out->Change([&] { out->failAt = 8, out->accepted = 100; });  // after three more blocks
    ASSERT_EQ(player.Play(Counting(10 * kB), out->Factory()), kPlayerStarted);
    EXPECT_EQ(WaitForEnd(player), PlayerEnd::OutputLost);
    EXPECT_EQ(player.Position(), 3 * kB);
    EXPECT_FALSE(player.IsPlaying() || out->Get(out->open));
    EXPECT_EQ(out->Get(out->drains), 1) << "only a block played to its end waits for the device";
}

// The default output writes to a file: PortAudio starts quietly, and the samples arrive unchanged with
// only silent frames around them, twice.
TEST(PortAudio, FileFedPlaybackArrivesSampleForSample) {
    const std::string folder = sound_system::MakeScratchFolder();
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type file  slave.pcm { type null }  file \"" +
                                                   folder + "/out.raw\"  format \"raw\" }");
    Player player;
    for (const std::int64_t length : {7 * kB + 321, 3 * kB}) {
        const std::shared_ptr<const Samples> samples = Counting(length);
        testing::internal::CaptureStderr();
        ASSERT_EQ(player.Play(samples, CurrentOutputSinkFactory()), kPlayerStarted);
        std::fputs("after start\n", stderr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "after start\n");  // no probing noise, stderr restored
        EXPECT_EQ(WaitForEnd(player), PlayerEnd::Finished);
        std::ifstream in(folder + "/out.raw", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Samples got(bytes.size() / 2);
        std::memcpy(got.data(), bytes.data(), got.size() * 2);
        const auto first = std::find_if(got.begin(), got.end(), [](std::int16_t s) { return s != 0; });
        ASSERT_GE(got.end() - first, length);
        EXPECT_TRUE(std::equal(samples->begin(), samples->end(), first));
        EXPECT_TRUE(std::all_of(first + length, got.end(), [](std::int16_t s) { return s == 0; }));
    }
    std::filesystem::remove_all(folder);
}

// No output device: refused quietly, also once the capture has started PortAudio.
TEST(PortAudio, NoOutputDeviceIsRefusedQuietly) {
    const std::string folder = sound_system::MakeScratchFolder();
    sound_system::UseAlsaConfiguration(folder, "pcm.!default { type asym capture.pcm { type null } }");
    struct : RecorderOwner { void PostRecorderMessage(unsigned) override {} } owner;
    Recorder recorder(&owner);
    Player player;
    testing::internal::CaptureStderr();
    EXPECT_EQ(recorder.Open(CurrentCaptureSourceFactory()), kRecorderOpened);
    EXPECT_EQ(player.Play(Counting(kB), CurrentOutputSinkFactory()), kPlayerNoOutput);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::filesystem::remove_all(folder);
}

}  // namespace
