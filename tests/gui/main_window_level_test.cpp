// Level messages from the scripted capture: volume meter, overload
// indicator, sample count, threshold after the slider is released, and a
// level message dropped while a range message is open.
#include <QCheckBox>
#include <QProgressBar>
#include <QSlider>
#include <QTest>

#include "main_window_fixture.h"

using namespace MainWindowIds;

namespace {

int Volume(MainWindow& w) {
    return w.Item<QProgressBar>(kVolumeMeter)->value();
}

bool OverloadLit(MainWindow& w) {
    return w.Item<QCheckBox>(kOverload)->isChecked();
}

TEST_F(MainWindowTest, LevelMessagesMoveTheVolumeMeter) {
    MainWindow& w = Start({Block(32767), Block(-32768, -20000), Block(16384), Block(0), Block(327)});
    const int expected[] = {99, 0, 50, 0, 0};
    for (const int volume : expected) {
        Deliver();
        EXPECT_EQ(Volume(w), volume);
    }
}

TEST_F(MainWindowTest, OverloadStaysLitForExactlyTenMessages) {
    std::vector<std::vector<std::int16_t>> blocks{Block(29491), Block(29492)};
    for (int i = 0; i < 11; ++i) blocks.push_back(Block(100));
    MainWindow& w = Start(blocks);
    Deliver();
    EXPECT_FALSE(OverloadLit(w)) << "29491 is not an overload";
    for (int message = 1; message <= 10; ++message) {
        Deliver();
        EXPECT_TRUE(OverloadLit(w)) << message;
        EXPECT_TRUE(w.overloadShown);
    }
    Deliver();
    EXPECT_FALSE(OverloadLit(w));
    EXPECT_EQ(w.sound.overloadCount.load(), 0);
}

TEST_F(MainWindowTest, SamplesAndStatusFollowTheRecorder) {
    MainWindow& w = Start({Block(100), Block(5000)});
    w.sound.ArmRecording(30000, false, w.triggerLevel);
    Deliver();
    EXPECT_EQ(Text(kSamples), "8192");
    EXPECT_EQ(Text(kStatus), "recording...");
    w.sound.StopRecording();
    w.Refresh();
    EXPECT_EQ(Text(kStatus), "stopped");
}

TEST_F(MainWindowTest, ThresholdFollowsTheSliderOnlyAfterRelease) {
    MainWindow& w = Start();
    Deliver();
    EXPECT_EQ(w.sound.threshold.load(), 25 * 327);
    auto* slider = w.Item<QSlider>(kTriggerSlider);
    slider->setValue(60);
    Deliver();
    EXPECT_EQ(w.sound.threshold.load(), 25 * 327) << "moving without release changes nothing";
    QTest::mouseRelease(slider, Qt::LeftButton, {}, slider->rect().center());
    EXPECT_EQ(w.triggerLevel, 25);
    Deliver();
    EXPECT_EQ(w.triggerLevel, 60);
    EXPECT_EQ(w.sound.threshold.load(), 60 * 327);
    slider->setValue(100);
    w.OnTriggerReleased();
    Deliver();
    EXPECT_EQ(w.sound.threshold.load(), 32700);
}

TEST_F(MainWindowTest, LevelMessageDuringARangeMessageIsDropped) {
    MainWindow& w = Start({Block(100), Block(16384), Block(32767)});
    Deliver();
    ASSERT_EQ(Volume(w), 0);
    int volumeWhileOpen = -1;
    script.whileMessageOpen = [&](const ShownMessage&) {
        // As if the box's nested loop were running: the next block's level
        // message arrives and is handled now.
        capture->Deliver(1);
        ASSERT_TRUE(capture->WaitProcessed(++delivered));
        QCoreApplication::processEvents();
        volumeWhileOpen = Volume(w);
    };
    SetText(kEndFrequency, "30000");
    w.OnParameterKillFocus();
    script.whileMessageOpen = nullptr;
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(volumeWhileOpen, 0) << "the level message must be dropped while busy";
    QCoreApplication::processEvents();
    EXPECT_EQ(Volume(w), 0) << "a dropped message is gone, not deferred";
    EXPECT_FALSE(w.busy);
    Deliver();
    EXPECT_EQ(Volume(w), 99);
    EXPECT_EQ(script.messages.size(), 1u) << "a level exchange does not check the parameters again";
}

}  // namespace
