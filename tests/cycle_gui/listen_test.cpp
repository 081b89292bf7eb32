// The "Listen" tab through the whole window, a scripted output in place of the sound card.
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "../support/scripted_output.h"
#include "cycle_fixture.h"
#include "tuning/bell_synthesis.h"

namespace {

// The window's player writes to `output` for the life of this guard.
struct OutputChosen {
    explicit OutputChosen(const std::shared_ptr<ScriptedOutput>& output) { SetOutputSinkFactory(output->Factory()); }
    ~OutputChosen() { SetOutputSinkFactory({}); }
};

constexpr std::int64_t kB = kPlaybackBlockSamples;

// A tuner records a bell, listens to the recording, is interrupted by "Start analysis", listens to the
// bell as measured and as tuned, meets an output that is missing and one that fails, reads a partials
// file (nothing to synthesise) and closes the window while it plays.
TEST_F(CycleTest, ListeningToTheBell) {
    auto output = std::make_shared<ScriptedOutput>();
    OutputChosen chosen(output);
    MainWindow& w = Open(BlocksOf(BellSamples(kTwoSeconds), 2));
    const auto position = [&w] { return w.Item<QLabel>(kPlayPosition)->text().toStdString(); };
    const auto progress = [&w] { return w.Item<QProgressBar>(kPlayProgress)->value(); };
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned, kStopPlaying}, false);  // the start-up bell: nothing to play
    SetText(kSpeedAdjust, "1.02");
    Press(kStartAnalysis);
    Deliver(2);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned}, false);  // armed: the speaker would trigger it
    Deliver(BlocksFor(kTwoSeconds));
    ASSERT_EQ(w.CurrentBell().analysed.Length(), 86470);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned}, true);
    EXPECT_FALSE(Enabled(kStopPlaying));

    // The recording as captured (not the speed-adjusted one): 22 blocks let through, then stopped.
    Press(kPlay);
    output->Accept(22);
    ASSERT_TRUE(output->WaitWritten(22));
    w.OnPlayTick();
    EXPECT_EQ(position(), "0.5 s of 2.0 s");  // 22528 of 88200 samples
    EXPECT_EQ(progress(), 25);
    EXPECT_TRUE(Enabled(kStopPlaying) && output->IsOpen());
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    EXPECT_EQ(output->Played(), std::vector<std::int16_t>(bell.begin(), bell.begin() + 22 * kB));
    Press(kStartAnalysis);
    EXPECT_FALSE(w.Playback().IsPlaying() || output->IsOpen()) << "armed only once playing has stopped";
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned, kStopPlaying}, false);
    Press(kStopAnalysis);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned}, true);

    // The bell of the report, as measured and as tuned: 3 s each (longer than the analysis), at -3 dB.
    output->FreeRunning();
    std::vector<std::vector<std::int16_t>> heard;
    for (const int id : {kPlaySynthesised, kPlayAsTuned}) {
        const std::size_t before = output->Played().size();
        Press(id);
        ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.Playback().IsPlaying(); }, 5000));
        const std::vector<std::int16_t> all = output->Played();
        heard.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        EXPECT_EQ(heard.back().size(), 132300u);
        const auto [low, high] = std::minmax_element(heard.back().begin(), heard.back().end());
        EXPECT_EQ(std::max(-*low, int{*high}), 23197);  // trunc(0.707946 x 32767)
        EXPECT_EQ(position() + " " + std::to_string(progress()), "3.0 s of 3.0 s 100");
        EXPECT_FALSE(Enabled(kStopPlaying));
    }
    EXPECT_NE(heard[0], heard[1]) << "tuned, the partials move";
    EXPECT_EQ(output->Drains(), 2);
    EXPECT_TRUE(script.messages.empty());

    // No output, then one that fails after three blocks: each said once, nothing else changed.
    const std::vector<std::string> shown = EditTexts(w);
    output->SetOpenResult(kPlayerNoOutput);
    Press(kPlay);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No sound output device!"});
    EXPECT_EQ(position(), "3.0 s of 3.0 s") << "the last playing's position stays";
    output->SetOpenResult(0);
    output->FailAtBlock(output->Written() + 3);
    Press(kPlay);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.Playback().IsPlaying(); }, 5000));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"No sound output device!", "The sound output stopped."}));
    EXPECT_EQ(position(), "0.1 s of 2.0 s");  // 3072 samples
    EXPECT_EQ(EditTexts(w), shown);
    EXPECT_EQ(w.CurrentBell().recording.Length(), kTwoSeconds);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned, kStartAnalysis}, true);

    // A partials file has no levels to synthesise from; the recording is still there to play.
    WriteWholeFile("other.par", "Partials\nFile is: x.wav\nNominal: 500\nFreq., Ampl., Cents, Partial, Note\n"
                                "125,10,0,,\n250,8,0,,\n300,9,0,,\n500,20,0,,\n");
    script.fileAnswers.push_back("other.par");
    Press(kReadPartials);
    ExpectEnabled({kPlaySynthesised, kPlayAsTuned}, false);
    EXPECT_TRUE(Enabled(kPlay));

    auto held = std::make_shared<ScriptedOutput>();  // takes nothing until told
    SetOutputSinkFactory(held->Factory());
    Press(kPlay);
    ASSERT_TRUE(held->IsOpen());
    window.reset();
    EXPECT_FALSE(held->IsOpen()) << "closing the window stops playing";
}

}  // namespace
