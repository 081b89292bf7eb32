#pragma once
// The record-analyse cycle driven through the real main window: the
// scripted capture plays a synthetic bell, buttons are clicked, the progress
// dialog polls every millisecond.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "../gui/main_window_fixture.h"
#include "bell_sound.h"
#include "data/number_text.h"
#include "ui/analysis_progress_dialog.h"

// The five major-partial columns of `w` show the test bell, every frequency
// x `scale`, within one spectrum point of 0.5 Hz, the nominal with 0 cents.
inline void ExpectBellShown(MainWindow& w, double scale) {
    using namespace MainWindowIds;
    for (const BellPartial& partial : TestBell()) {
        const std::size_t n = static_cast<std::size_t>(partial.index);
        EXPECT_NEAR(w.majorFrequency[n], partial.frequency * scale, 0.5) << "partial " << partial.index;
    }
    const auto text = [&w](int id) { return w.Item<QLineEdit>(id)->text().toStdString(); };
    for (std::size_t column = 0; column < kMajorEdits.size(); ++column) {
        const std::size_t n = static_cast<std::size_t>(kMajorColumnPartial[column]);
        EXPECT_EQ(text(kMajorEdits[column][0]), FormatDouble15(w.majorFrequency[n]));
        EXPECT_EQ(text(kMajorEdits[column][2]), NoteName(w.majorFrequency[n]));
    }
    EXPECT_EQ(text(kMajorEdits[4][1]), "0") << "the nominal's cents";
    EXPECT_EQ(w.table.nominal, w.majorFrequency[3]);
}

// Every text of the window's major-partials edits, column by column.
inline std::vector<QString> MajorTexts(MainWindow& w) {
    std::vector<QString> texts;
    for (const auto& column : MainWindowIds::kMajorEdits) {
        for (const int id : column) texts.push_back(w.Item<QLineEdit>(id)->text());
    }
    return texts;
}

class CycleTest : public MainWindowTest {
protected:
    // The window on a capture that plays `blocks`, then silence.
    MainWindow& Open(std::vector<std::vector<std::int16_t>> blocks = {}) {
        delivered = 0;  // a new script counts its blocks from 0
        MainWindow& w = Start(std::move(blocks));
        w.progressTickMilliseconds = 1;
        return w;
    }

    // Clicks button `id` as the user would: nothing happens while disabled.
    void Press(int id) { window->Item<QPushButton>(id)->click(); }

    // Presses "Cancel" in the next progress dialog as soon as its loop runs
    // (before its first tick when the tick is 50 ms or longer).
    void CancelNextAnalysis() {
        auto* poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            auto* dialog = dynamic_cast<AnalysisProgressDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            dialog->findChild<QPushButton*>("id2")->click();
            poll->stop();
            poll->deleteLater();
        });
        poll->start(0);
    }

    void ExpectBellShown(double scale) { ::ExpectBellShown(*window, scale); }

    // The parameter edits, typed as the user would.
    void Type(int id, const char* text) { SetText(id, text); }
};
