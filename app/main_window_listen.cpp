// The "Listen" tab: the recording played back, or the bell its tuning
// report describes, as measured or as it would sound tuned. Playing is not
// offered while the recorder waits for a trigger or records: the speaker
// would trigger it or be recorded.
#include <QBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "app/main_window.h"
#include "tuning/bell_synthesis.h"
#include "tuning/tuning_text.h"
#include "ui/toolkit/message_box.h"

using namespace MainWindowIds;

namespace {

// Synthesised bells last at least this long, so a short analysis still
// gives time to hear the hum.
constexpr std::int32_t kShortestSynthesisSamples = 3 * kPlaybackRate;
// How often the tab follows the player, ms.
constexpr int kPlayTickMilliseconds = 50;

// A report with levels at the strike, which only a measured one has: one
// SynthesiseBell can build.
bool Synthesisable(const TuningReport& report) {
    return std::any_of(report.partials.begin(), report.partials.end(),
                       [](const TunedPartial& p) { return p.levelDb.has_value(); });
}

}  // namespace

void MainWindow::BuildListenPage() {
    auto* page = new QWidget;
    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](int id, const char* text) {
        auto* b = new QPushButton(text);
        RegisterItem(id, b);
        buttons->addWidget(b);
    };
    // Mnemonics none of the window's own controls use; "Stop" has none left.
    button(kPlay, "Pla&y");
    button(kPlaySynthesised, "Play synt&hesised");
    button(kPlayAsTuned, "Play as t&uned");
    button(kStopPlaying, "Stop");
    buttons->addStretch();
    auto* position = new QHBoxLayout;
    auto* text = new QLabel;
    // Wide enough for the longest recording, so the bar beside it never jumps.
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance("000.0 s of 000.0 s"));
    RegisterItem(kPlayPosition, text);
    position->addWidget(text);
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    RegisterItem(kPlayProgress, bar);
    position->addWidget(bar, 1);
    auto* column = new QVBoxLayout(page);
    column->addLayout(buttons);
    column->addLayout(position);
    column->addStretch();
    AddPanelTab(page, "Listen");
    OnClicked(kPlay, [this] { OnPlay(); });
    OnClicked(kPlaySynthesised, [this] { OnPlaySynthesised(false); });
    OnClicked(kPlayAsTuned, [this] { OnPlaySynthesised(true); });
    OnClicked(kStopPlaying, [this] { OnStopPlaying(); });
}

void MainWindow::OnPlay() {
    PlaySamples(session.Current().recording.samples);
}

void MainWindow::OnPlaySynthesised(bool asTuned) {
    const Bell& bell = session.Current();
    const std::int32_t length = std::max(bell.analysed.Length(), kShortestSynthesisSamples);
    PlaySamples(std::make_shared<const std::vector<std::int16_t>>(
        SynthesiseBell(bell.tuning, asTuned, length, kPlaybackRate)));
}

void MainWindow::PlaySamples(std::shared_ptr<const std::vector<std::int16_t>> samples) {
    const std::int16_t code = player.Play(std::move(samples), CurrentOutputSinkFactory());
    if (code == kPlayerStarted) SetTimer(kPlayTimer, kPlayTickMilliseconds);
    ShowPlayPosition();
    EnableListen(session.State() == SessionState::Idle);
    if (code != kPlayerStarted) MessageBox(this, PlayerStartText(code));
}

void MainWindow::OnStopPlaying() {
    player.Stop();
    OnPlayTick();
}

void MainWindow::OnTimer(int id) {
    if (id == kPlayTimer) OnPlayTick();
}

void MainWindow::OnPlayTick() {
    const PlayerEnd end = player.Poll();
    if (!player.IsPlaying()) KillTimer(kPlayTimer);
    ShowPlayPosition();
    EnableListen(session.State() == SessionState::Idle);
    if (end == PlayerEnd::OutputLost) MessageBox(this, "The sound output stopped.");
}

void MainWindow::ShowPlayPosition() {
    const std::int64_t length = player.Length();
    const std::int64_t position = player.Position();
    QString text;
    if (length > 0) {
        text = QString::fromStdString(FixedText(static_cast<double>(position) / kPlaybackRate, 1) + " s of " +
                                      FixedText(static_cast<double>(length) / kPlaybackRate, 1) + " s");
    }
    Item<QLabel>(kPlayPosition)->setText(text);
    Item<QProgressBar>(kPlayProgress)->setValue(length > 0 ? static_cast<int>(position * 100 / length) : 0);
}

void MainWindow::EnableListen(bool idle) {
    const Bell& bell = session.Current();
    EnableWindow(kPlay, idle && !bell.recording.Empty());
    EnableWindow(kPlaySynthesised, idle && Synthesisable(bell.tuning));
    EnableWindow(kPlayAsTuned, idle && Synthesisable(bell.tuning));
    EnableWindow(kStopPlaying, player.IsPlaying());
}
