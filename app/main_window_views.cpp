// The decay curves and the spectrogram of the current bell: a tab each in
// the panel under the plot, and either of them shown in the plot's place
// when its "In the plot" box is ticked.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/spectrogram.h"
#include "app/main_window.h"
#include "ui/axis_strip.h"
#include "ui/toolkit/scroll_bar.h"
#include "cycle/analyse_recording.h"
#include "tuning/decay_curves.h"
#include "tuning/measured_span.h"
#include "ui/decay_view.h"
#include "ui/spectrogram_geometry.h"
#include "ui/spectrum_geometry.h"
#include "ui/spectrogram_view.h"

using namespace MainWindowIds;

namespace {

// The analysed samples the tuning report measured: without the padding of
// a file that ended early.
std::int32_t MeasuredLength(const Bell& bell) {
    const std::int32_t count = bell.analysed.Length();
    return count - StretchedFacts(bell.facts, bell.recording.Length(), count).paddedSamples;
}

std::shared_ptr<const SpectrogramPicture> MakePicture(const Bell& bell) {
    const std::int32_t count = MeasuredLength(bell);
    const double rateHz = bell.analysed.sampleRate;
    if (count < 1024 || !(rateHz > 0.0)) return nullptr;
    auto picture = std::make_shared<SpectrogramPicture>();
    const Spectrum& s = bell.spectrum;
    SpectrogramSettings settings;
    settings.lowHz = s.startFrequency;
    settings.highHz = s.steps > 0 ? s.startFrequency + s.steps * s.interval : rateHz / 2.0;
    picture->spectrogram = MakeSpectrogram(bell.analysed.Data(), count, rateHz, settings);
    picture->indices = ColourIndices(picture->spectrogram);
    picture->durationSeconds = count / rateHz;
    const MeasuredSpan span = FindMeasuredSpan(bell.analysed.Data(), count, rateHz);
    picture->marks.strikeSeconds = span.onset / rateHz;
    if (span.secondStrike >= 0) picture->marks.secondStrikeSeconds = span.secondStrike / rateHz;
    for (const TunedPartial& p : bell.tuning.partials) {
        picture->marks.partialsHz.push_back(p.frequencyHz);
        picture->partialNames.push_back(p.name);
    }
    return picture;
}

// A page of the panel: a row of controls over a view.
QWidget* ViewPage(QWidget* view, std::initializer_list<QWidget*> controls) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    for (QWidget* control : controls) row->addWidget(control);
    row->addStretch(1);
    column->addLayout(row);
    column->addWidget(view, 1);
    return page;
}

}  // namespace

void MainWindow::BuildViewTabs() {
    decayView_ = new DecayView;
    spectrogramView_ = new SpectrogramView;
    auto* decayInPlot = new QCheckBox("&In the plot");
    auto* showAll = new QPushButton("S&how all");
    auto* spectrogramInPlot = new QCheckBox("&In the plot");
    for (auto [id, widget] : {std::pair<int, QWidget*>{kDecayView, decayView_}, {kDecayInPlot, decayInPlot},
                              {kDecayShowAll, showAll}, {kSpectrogramView, spectrogramView_},
                              {kSpectrogramInPlot, spectrogramInPlot}}) {
        RegisterItem(id, widget);
    }
    AddPanelTab(ViewPage(decayView_, {decayInPlot, showAll}), "Decay");
    AddPanelTab(ViewPage(spectrogramView_, {spectrogramInPlot}), "Spectrogram");
    // The plot's place: hidden until a box asks for it.
    plotDecayView_ = AddControl(kPlotDecayView, {135, 95, 375, 175}, new DecayView);
    plotSpectrogramView_ = AddControl(kPlotSpectrogramView, {135, 95, 375, 175}, new SpectrogramView);
    plotDecayView_->hide();
    plotSpectrogramView_->hide();
    connect(decayInPlot, &QCheckBox::toggled, this,
            [this](bool on) { ShowInPlot(on ? PlotShows::Decay : PlotShows::Spectrum); });
    connect(spectrogramInPlot, &QCheckBox::toggled, this,
            [this](bool on) { ShowInPlot(on ? PlotShows::Spectrogram : PlotShows::Spectrum); });
    OnClicked(kDecayShowAll, [this] { SelectDecayPartial(-1); });
    connect(Item<QTableWidget>(kTuningTable), &QTableWidget::cellClicked, this,
            [this](int row, int /*column*/) { OnTuningRowClicked(row); });
}

void MainWindow::ShowInPlot(PlotShows shows) {
    // The boxes say what the plot's place shows: one ticked at most.
    const std::pair<int, bool> boxes[] = {{kDecayInPlot, shows == PlotShows::Decay},
                                          {kSpectrogramInPlot, shows == PlotShows::Spectrogram}};
    for (const auto& [id, on] : boxes) {
        const QSignalBlocker block(Item<QCheckBox>(id));
        Item<QCheckBox>(id)->setChecked(on);
    }
    plotShows_ = shows;
    PlacePlotViews();
}

void MainWindow::PlacePlotViews() {
    if (plotDecayView_ == nullptr) return;
    const QRect frame = GetDlgItem(kPlotFrame)->geometry();
    plotDecayView_->setGeometry(frame);
    plotSpectrogramView_->setGeometry(frame);
    plotDecayView_->setVisible(plotShows_ == PlotShows::Decay);
    plotSpectrogramView_->setVisible(plotShows_ == PlotShows::Spectrogram);
    GetDlgItem(kPlotFrame)->setVisible(plotShows_ == PlotShows::Spectrum);
    // Neither view runs in frequency across: the axis under the plot would
    // mislabel it. The spectrogram still follows the scroll bar's band.
    axisStrip->setVisible(plotShows_ == PlotShows::Spectrum);
    GetDlgItem(kScrollBar)->setVisible(plotShows_ != PlotShows::Decay);
}

void MainWindow::SelectDecayPartial(int partialIndex) {
    decayView_->SelectPartial(partialIndex);
    plotDecayView_->SelectPartial(partialIndex);
}

void MainWindow::OnTuningRowClicked(int row) {
    const std::vector<TunedPartial>& partials = session.Current().tuning.partials;
    if (row >= 0 && static_cast<std::size_t>(row) < partials.size()) SelectDecayPartial(partials[static_cast<std::size_t>(row)].partialIndex);
}

void MainWindow::ShowViews() {
    if (decayView_ == nullptr) return;
    const Bell& bell = session.Current();
    // Made again only for other samples or another report: the ideal and
    // the tolerance change neither.
    std::vector<double> key;
    for (const TunedPartial& p : bell.tuning.partials) key.insert(key.end(), {static_cast<double>(p.partialIndex), p.frequencyHz});
    const void* samples = bell.analysed.samples.get();
    if (samples == viewsSamples_ && key == viewsKey_) return;
    viewsSamples_ = samples;
    viewsKey_ = key;
    const std::int32_t count = MeasuredLength(bell);
    std::vector<DecayCurve> curves = bell.tuning.measured && samples != nullptr
        ? MakeDecayCurves(bell.analysed.Data(), count, bell.analysed.sampleRate, bell.tuning, bell.table)
        : std::vector<DecayCurve>{};
    decayView_->SetCurves(curves);
    plotDecayView_->SetCurves(std::move(curves));
    const std::shared_ptr<const SpectrogramPicture> picture = MakePicture(bell);
    spectrogramView_->SetPicture(picture);
    plotSpectrogramView_->SetPicture(picture);
    FollowPlotBand();
}

void MainWindow::FollowPlotBand() {
    if (spectrogramView_ == nullptr) return;
    const Spectrum& s = session.Current().spectrum;
    const double lowHz = s.startFrequency + view.firstBin * s.interval;
    const double shown = static_cast<double>(PointsAcross(view.plotRect.Width(), view.binsPerPixel, view.pixelsPerPoint));
    const double highHz = std::min(lowHz + shown * s.interval, s.startFrequency + s.steps * s.interval);
    spectrogramView_->SetBand(lowHz, highHz);
    plotSpectrogramView_->SetBand(lowHz, highHz);
}

const DecayView& MainWindow::Decay(bool inPlot) const { return inPlot ? *plotDecayView_ : *decayView_; }
const SpectrogramView& MainWindow::SpectrogramShown(bool inPlot) const {
    return inPlot ? *plotSpectrogramView_ : *spectrogramView_;
}
