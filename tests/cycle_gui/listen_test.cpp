// The "Listen" tab through the whole window, a scripted output in place of the sound card.
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "../support/scripted_output.h"
#include "cycle_fixture.h"

namespace {

// A tuner records a bell, listens to the recording, is interrupted by "Start analysis", listens to the
// bell as measured and as tuned, meets an output that is missing and one that fails, reads a partials
// file (nothing to synthesise) and closes the window while it plays.
TEST_F(CycleTest, ListeningToTheBell) {
    auto out = std::make_shared<ScriptedOutput>();
    SetOutputSinkFactory(out->Factory());
    MainWindow& w = Open(BlocksOf(BellSamples(kTwoSeconds), 2));
    const auto shown = [&w] {
        return w.Item<QLabel>(kPlayPosition)->text().toStdString() + " " + std::to_string(w.Item<QProgressBar>(kPlayProgress)->value());
    };
    const auto waitForEnd = [&w] { return QTest::qWaitFor([&w] { return !w.Playback().IsPlaying(); }, 5000); };
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned, kStopPlaying}, false);  // the start-up bell: nothing to play
    SetText(kSpeedAdjust, "1.02");
    Press(kStartAnalysis);
    Deliver(2);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned}, false);  // armed: the speaker would trigger it
    Deliver(BlocksFor(kTwoSeconds));
    ASSERT_EQ(w.CurrentBell().analysed.Length(), 86470);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned}, true);

    // The recording as captured, not the speed-adjusted one: 22 blocks let through, then "Start analysis".
    out->Change([&] { out->accepted = 22; });
    Press(kPlay);
    ASSERT_TRUE(out->WaitWritten(22));
    // The player counts a block once the device has taken it, just after the output saw it.
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.Playback().Position() == 22 * kPlaybackBlockSamples; }, 5000));
    w.OnPlayTick();
    EXPECT_EQ(shown(), "0.5 s of 2.0 s 25");  // 22528 of 88200 samples
    EXPECT_TRUE(Enabled(kStopPlaying));
    const std::vector<std::int16_t> bell = BellSamples(kTwoSeconds);
    EXPECT_EQ(out->Get(out->played), std::vector<std::int16_t>(bell.begin(), bell.begin() + 22 * kPlaybackBlockSamples));
    Press(kStartAnalysis);
    EXPECT_FALSE(w.Playback().IsPlaying() || out->Get(out->open)) << "armed only once playing has stopped";
    EXPECT_EQ(Text(kStatus), "wait for trigger");
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned, kStopPlaying}, false);
    Press(kStopAnalysis);

    // The bell of the report, as measured and as tuned: 3 s (longer than the analysis) peaking at -3 dB.
    std::vector<std::vector<std::int16_t>> heard;
    for (const int id : {kPlaySynthesised, kPlayAsTuned}) {
        out->Change([&] { out->accepted = INT64_MAX, out->played.clear(); });
        Press(id);
        ASSERT_TRUE(waitForEnd());
        heard.push_back(out->Get(out->played));
        const auto [low, high] = std::minmax_element(heard.back().begin(), heard.back().end());
        EXPECT_EQ(std::pair(heard.back().size(), std::max(-*low, int{*high})), std::pair(size_t{132300}, 23197));
        EXPECT_EQ(shown(), "3.0 s of 3.0 s 100");
        EXPECT_FALSE(Enabled(kStopPlaying));
    }
    EXPECT_NE(heard[0], heard[1]) << "tuned, the partials move";

    // No output, then one that fails after three blocks: each said, nothing else changed.
    const std::vector<std::string> edits = EditTexts(w);
    out->Change([&] { out->openResult = kPlayerNoOutput; });
    Press(kPlay);
    EXPECT_EQ(shown(), "3.0 s of 3.0 s 100");
    out->Change([&] { out->openResult = 0, out->failAt = out->written + 3; });
    Press(kPlay);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"No sound output device!", "The sound output stopped."}));
    EXPECT_EQ(shown(), "0.1 s of 2.0 s 3");  // 3072 samples
    EXPECT_EQ(EditTexts(w), edits);
    ExpectEnabled({kPlay, kPlaySynthesised, kPlayAsTuned, kStartAnalysis}, true);

    // A partials file has no levels to synthesise from; the recording is still there to play.
    WriteWholeFile("other.par", "Partials\nFile is: x.wav\nNominal: 500\nFreq., Ampl., Cents, Partial, Note\n"
                                "125,10,0,,\n250,8,0,,\n300,9,0,,\n500,20,0,,\n");
    script.fileAnswers.push_back("other.par");
    Press(kReadPartials);
    ExpectEnabled({kPlaySynthesised, kPlayAsTuned}, false);
    out->Change([&] { out->failAt = -1, out->accepted = out->written; });  // takes nothing more
    Press(kPlay);
    ASSERT_TRUE(out->Get(out->open));
    window.reset();
    EXPECT_FALSE(out->Get(out->open)) << "closing the window stops playing";
    SetOutputSinkFactory({});
}

}  // namespace
