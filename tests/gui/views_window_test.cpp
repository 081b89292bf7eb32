// A tuner looks at a struck bell's decay and spectrogram: in their tabs, one partial picked from the tuning
// table, each in the plot's place and back, the spectrogram following the plot's band, and the report's
// decay page.
#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <cstdio>

#include "data/wave_file.h"
#include "main_window_fixture.h"
#include "tests/support/test_bell.h"
#include "ui/decay_view.h"
#include "ui/report_pdf.h"
#include "ui/spectrogram_geometry.h"
#include "ui/spectrogram_view.h"
#include "ui/spectrum_geometry.h"

namespace {

using namespace MainWindowIds;

// Silence, the test bell for 1.2 s, then the bell struck again (its first 0.8 s).
std::vector<std::int16_t> StruckTwice() {
    std::vector<std::int16_t> samples(2 * kCaptureBlockSamples, 0);
    const std::vector<std::int16_t> ring = BellSamples(52920), again = BellSamples(35280);
    samples.insert(samples.end(), ring.begin(), ring.end());
    samples.insert(samples.end(), again.begin(), again.end());
    return samples;
}

TEST_F(MainWindowTest, DecayAndSpectrogramInTheirTabsAndInThePlot) {
    MainWindow& w = Start();
    w.SetProgressTick(1);
    w.show();
    const QWidget* plotFrame = w.GetDlgItem(kPlotFrame);
    EXPECT_TRUE(w.Decay(false).Curves().empty() && w.SpectrogramShown(false).Picture() == nullptr);
    EXPECT_EQ(w.PlotShowing(), MainWindow::PlotShows::Spectrum);

    ASSERT_TRUE(SaveWaveFile("bell.wav", WithSamples({}, StruckTwice())));
    ASSERT_TRUE(w.AnalyseSoundFile("bell.wav"));
    const TuningReport& report = w.CurrentBell().tuning;
    ASSERT_EQ(report.partials.size(), 7u);
    for (const bool inPlot : {false, true}) {
        const std::vector<DecayCurve>& curves = w.Decay(inPlot).Curves();
        ASSERT_EQ(curves.size(), 7u);
        for (std::size_t i = 0; i < curves.size(); ++i) EXPECT_EQ(curves[i].name, report.partials[i].name);
        EXPECT_EQ(w.Decay(inPlot).Shown().size(), 7u);
    }
    // The nominal's curve falls by 1 / e in its 1.2 s decay time: 8.7 dB a second, until the second strike.
    const DecayCurve& nominal = w.Decay(false).Curves()[4];
    EXPECT_EQ(nominal.name, "nominal");
    EXPECT_NEAR(nominal.lineSlopeDbPerSecond, -20.0 / std::log(10.0) / 1.2, 0.3);
    const SpectrogramPicture* picture = w.SpectrogramShown(false).Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture, w.SpectrogramShown(true).Picture());
    EXPECT_NEAR(picture->marks.secondStrikeSeconds - picture->marks.strikeSeconds, 1.2, 2048.0 / 44100.0);
    EXPECT_LE(nominal.timesSeconds.back(), picture->marks.secondStrikeSeconds);

    // A row of the tuning table picks its partial in both views; "Show all" brings the others back.
    auto* table = w.Item<QTableWidget>(kTuningTable);
    table->parentWidget()->parentWidget()->show();
    const QRect row = table->visualItemRect(table->item(4, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(w.Decay(false).SelectedPartial(), IndexOf(Partial::Nominal));
    EXPECT_EQ(w.Decay(true).Shown().size(), 1u);
    EXPECT_EQ(w.Decay(true).Shown()[0]->name, "nominal");
    w.Item<QPushButton>(kDecayShowAll)->click();
    EXPECT_EQ(std::pair(w.Decay(true).SelectedPartial(), w.Decay(false).Shown().size()), std::pair(-1, std::size_t{7}));

    // "In the plot": the decay view takes the plot's place and size, also when the window grows; the
    // spectrogram's box takes over from it; unticked, the spectrum is back.
    const auto* plotDecay = &w.Decay(true);
    const auto* plotSpectrogram = &w.SpectrogramShown(true);
    w.Item<QCheckBox>(kDecayInPlot)->click();
    EXPECT_EQ(w.PlotShowing(), MainWindow::PlotShows::Decay);
    EXPECT_TRUE(plotDecay->isVisible() && !plotFrame->isVisible() && !plotSpectrogram->isVisible());
    EXPECT_FALSE(w.GetDlgItem(kAxisStrip)->isVisible() || w.GetDlgItem(kScrollBar)->isVisible()) << "no frequency axis under time";
    w.resize(w.width() + 300, w.height() + 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(plotDecay->geometry(), plotFrame->geometry());
    QTest::mouseClick(const_cast<DecayView*>(plotDecay), Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(w.View().cursorFrequency, 0.0) << "a click on the decay view is no click on the spectrum";
    w.Item<QCheckBox>(kSpectrogramInPlot)->click();
    EXPECT_EQ(w.PlotShowing(), MainWindow::PlotShows::Spectrogram);
    EXPECT_FALSE(w.Item<QCheckBox>(kDecayInPlot)->isChecked());
    EXPECT_TRUE(plotSpectrogram->isVisible() && !plotDecay->isVisible() && !plotFrame->isVisible());
    EXPECT_TRUE(!w.GetDlgItem(kAxisStrip)->isVisible() && w.GetDlgItem(kScrollBar)->isVisible()) << "its band still scrolls";

    // The spectrogram shows the plot's band: all of it at first, then one spectrum point a column around the
    // cursor. Drawn, the nominal's row is far brighter than a row between partials once the bell sounds.
    EXPECT_EQ(plotSpectrogram->Window().lowHz, 0.0);
    EXPECT_TRUE(plotSpectrogram->Window().highHz > 4500.0 && plotSpectrogram->Window().highHz <= 5000.0);
    QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(w.View().frameRect.left + 100, w.View().frameRect.top + 50));
    while (w.View().binsPerPixel != 1) w.Item<QPushButton>(kScale)->click();
    const SpectrogramWindow band = plotSpectrogram->Window();
    EXPECT_NEAR(band.highHz - band.lowHz, w.View().plotRect.Width() * 0.5, 0.5);
    EXPECT_TRUE(band.lowHz <= w.View().cursorFrequency && w.View().cursorFrequency <= band.highHz);
    w.Item<QPushButton>(kScale)->click();
    while (w.View().binsPerPixel != w.View().maxBinsPerPixel) w.Item<QPushButton>(kScale)->click();
    const SpectrogramWindow all = plotSpectrogram->Window();
    EXPECT_EQ(all.lowHz, 0.0);
    const_cast<SpectrogramView*>(plotSpectrogram)->repaint();
    const QImage& image = plotSpectrogram->Image();
    ASSERT_FALSE(image.isNull());
    const int column = SecondsColumn(picture->marks.strikeSeconds + 0.5, image.width(), picture->durationSeconds);
    const auto level = [&](double hz) {
        return qGray(image.pixel(column, FrequencyRow(hz, all.lowHz, all.highHz, image.height())));
    };
    EXPECT_GT(level(kBellNominal), level(0.87 * kBellNominal) + 60);
    // The pointer's readout there: the time, the row's frequency, and the level of the bin nearest it: the nominal
    // (8000 of full scale) fallen for 0.5 s of its 1.2 s decay time, seen through the Hann window's response
    // sinc(x) / (1 - x^2) at its distance x (in bins) from that bin.
    const int nominalRow = FrequencyRow(kBellNominal, all.lowHz, all.highHz, plotSpectrogram->height());
    const int x = SecondsColumn(picture->marks.strikeSeconds + 0.5, plotSpectrogram->width(), picture->durationSeconds);
    const std::string readout = plotSpectrogram->ReadoutAt(QPoint(x, nominalRow));
    double seconds = 0.0, hz = 0.0, db = 0.0;
    ASSERT_EQ(std::sscanf(readout.c_str(), "%lf s %lf Hz %lf dB", &seconds, &hz, &db), 3) << readout;
    EXPECT_NEAR(seconds, picture->marks.strikeSeconds + 0.5, 0.01);
    EXPECT_NEAR(hz, kBellNominal, (all.highHz - all.lowHz) / plotSpectrogram->height());
    const double binHz = 44100.0 / 4096.0, off = std::floor(hz / binHz + 0.5) - kBellNominal / binHz;
    const double response = std::sin(M_PI * off) / (M_PI * off) / (1.0 - off * off);
    EXPECT_NEAR(db, 20.0 * std::log10(8000.0 / 32768.0 * std::exp(-(seconds - picture->marks.strikeSeconds) / 1.2) * response),
                0.3) << readout;
    w.Item<QCheckBox>(kSpectrogramInPlot)->click();
    EXPECT_EQ(w.PlotShowing(), MainWindow::PlotShows::Spectrum);
    EXPECT_TRUE(plotFrame->isVisible() && !plotSpectrogram->isVisible() && !plotDecay->isVisible());

    // The report: its page, then a page of the seven decay plots.
    ReportPage page;
    page.decay = w.Decay(false).Curves();
    EXPECT_NE(ReportPdfBytes(page).find("/Count 2"), std::string::npos);
    page.decay.clear();
    EXPECT_NE(ReportPdfBytes(page).find("/Count 1"), std::string::npos);
}

}  // namespace
