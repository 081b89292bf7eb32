// Data exchange: the text form of numbers, refusals, range checks and the
// abandoning of the rest of a pass.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <clocale>

#include "ui/toolkit/data_exchange.h"
#include "ui/toolkit/message_box.h"
#include "tests/support/ui_script.h"

namespace {

class ExchangeDialog : public Dialog {
public:
    ExchangeDialog() {
        SetTemplate(200, 100, "Exchange");
        AddEdit(10, {5, 5, 60, 12}, false);
        AddEdit(11, {5, 20, 60, 12}, false);
        AddEdit(12, {5, 35, 60, 12}, false);
        AddCheckBox(13, "Check", {5, 50, 60, 10});
        AddSlider(14, {5, 65, 80, 15});
        AddEdit(15, {80, 5, 60, 12}, true);
    }
    void DoDataExchange(DataExchange& dx) override {
        DDX_Control(dx, 14, slider);
        DDX_Text(dx, 10, interval);
        DDV_MinMaxDouble(dx, interval, 0.05, 5.0);
        DDX_Text(dx, 11, count);
        DDX_Text(dx, 12, name);
        DDX_Check(dx, 13, checked);
        DDX_Slider(dx, 14, level);
        DDX_Text(dx, 15, readout);
    }
    QLineEdit* Edit(int id) { return Item<QLineEdit>(id); }

    double interval = 0.5;
    int count = 3;
    std::string name = "bell";
    bool checked = true;
    int level = 25;
    double readout = 1e-5;
    QSlider* slider = nullptr;
};

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { SetUiScript(&script); }
    void TearDown() override { SetUiScript(nullptr); }
    UiScript script;
    ExchangeDialog dialog;
};

TEST_F(ExchangeTest, WritesFieldsInTheirTextForm) {
    dialog.interval = 5000.0;
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.Edit(10)->text(), "5000");
    EXPECT_EQ(dialog.Edit(11)->text(), "3");
    EXPECT_EQ(dialog.Edit(12)->text(), "bell");
    EXPECT_EQ(dialog.Edit(15)->text(), "1e-05");
    EXPECT_TRUE(dialog.Item<QCheckBox>(13)->isChecked());
    EXPECT_EQ(dialog.Item<QSlider>(14)->value(), 25);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(ExchangeTest, ReadsValidTextIncludingBothBounds) {
    dialog.UpdateData(false);
    dialog.Edit(11)->setText(" -42 ");
    dialog.Edit(12)->setText("tenor");
    dialog.Item<QCheckBox>(13)->setChecked(false);
    dialog.Item<QSlider>(14)->setValue(70);
    for (const char* text : {"0.05", "  5 ", "2.5e0"}) {
        dialog.Edit(10)->setText(text);
        ASSERT_TRUE(dialog.UpdateData(true)) << text;
    }
    EXPECT_EQ(dialog.interval, 2.5);
    EXPECT_EQ(dialog.count, -42);
    EXPECT_EQ(dialog.name, "tenor");
    EXPECT_FALSE(dialog.checked);
    EXPECT_EQ(dialog.level, 70);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(ExchangeTest, OutOfRangeIsStoredReportedAndStopsThePass) {
    dialog.UpdateData(false);
    dialog.Edit(10)->setText("6");
    dialog.Edit(11)->setText("99");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.interval, 6.0);
    EXPECT_EQ(dialog.count, 3) << "the rest of the pass must be skipped";
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Please enter a number between 0.05 and 5.");
    EXPECT_EQ(script.messages[0].title, ApplicationTitle().toStdString());
    EXPECT_EQ(dialog.Edit(10)->selectedText(), "6");
}

TEST_F(ExchangeTest, TextThatIsNoNumberIsRefusedAndLeavesTheField) {
    dialog.UpdateData(false);
    for (const char* text : {"abc", "", "1.5 Hz", "nan", "inf", "1e999"}) {
        dialog.Edit(10)->setText(text);
        EXPECT_FALSE(dialog.UpdateData(true)) << text;
        EXPECT_EQ(dialog.interval, 0.5) << text;
        ASSERT_FALSE(script.messages.empty());
        EXPECT_EQ(script.messages.back().text, NotANumberText());
    }
    dialog.Edit(10)->setText("1");
    for (const char* text : {"12x", "1.5", "", "99999999999"}) {
        dialog.Edit(11)->setText(text);
        EXPECT_FALSE(dialog.UpdateData(true)) << text;
        EXPECT_EQ(dialog.count, 3) << text;
        EXPECT_EQ(script.messages.back().text, NotAnIntegerText());
    }
}

TEST_F(ExchangeTest, NumbersDoNotFollowTheUserLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
    dialog.interval = 0.25;
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.Edit(10)->text(), "0.25");
    dialog.Edit(10)->setText("1.75");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.interval, 1.75);
    dialog.Edit(10)->setText("1,75");
    EXPECT_FALSE(dialog.UpdateData(true));
    std::setlocale(LC_ALL, "C");
}

TEST_F(ExchangeTest, UnchangedTextIsNotRewritten) {
    dialog.UpdateData(false);
    QLineEdit* edit = dialog.Edit(15);
    edit->setSelection(1, 2);
    dialog.UpdateData(false);
    EXPECT_EQ(edit->selectedText(), "e-");
}

}  // namespace
