// The ring's tuning on rings whose nominals are made from known cents, so every target, deviation and note
// is known from the scale tables and plain arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <sstream>

#include "data/number_text.h"
#include "ring/bell_history.h"
#include "ring/pass_spectrum.h"
#include "ring/ring_text.h"
#include "ring/scale_targets.h"
#include "tests/data/test_files.h"

namespace {

constexpr double kExact = 1e-9;
// E(1) 12 cents flat at A = 440 Hz.
const double kTenorHz = 440.0 * std::exp2(-5.0 / 12.0) * std::exp2(-12.0 / 1200.0);

RingSettings Ring(int bellCount, RingScale scale, Temperament temperament) {
    RingSettings settings;
    settings.bellCount = bellCount;
    settings.scale = scale;
    settings.temperament = temperament;
    return settings;
}

// Bells 1 ... 8 of a just major ring, each `offsets` cents off its target; NaN for a bell whose nominal was not
// found (0 Hz).
std::vector<BellMeasure> JustMajorNominals(const std::array<double, 8>& offsets) {
    const std::array<double, 8> targets = {1200, 1088.27, 884.36, 701.96, 498.04, 386.31, 203.91, 0};
    std::vector<BellMeasure> measures;
    for (int bell = 8; bell >= 1; --bell) {  // any order
        const auto i = static_cast<std::size_t>(bell - 1);
        const double hz = std::isnan(offsets[i]) ? 0.0 : kTenorHz * std::exp2((targets[i] + offsets[i]) / 1200.0);
        measures.push_back({bell, hz > 0.0 ? "bell.wav" : "", hz, std::nullopt, {}});
    }
    return measures;
}

InnerTuningRow NotMeasured(int bell) {
    InnerTuningRow row;
    row.bell = bell;
    return row;
}

double Number(const std::string& field) {
    double value = NAN;
    return ParseWholeDouble(field, value) ? value : NAN;
}

TunedPartial Tuned(Partial partial, double cents) {
    TunedPartial tuned;
    tuned.partialIndex = IndexOf(partial);
    tuned.frequencyHz = 800.0 * std::exp2(cents / 1200.0);
    tuned.cents = cents;
    return tuned;
}

}  // namespace

TEST(RingTargets, ScalesTemperamentsOctavesAndStretch) {
    struct Case {
        RingScale scale;
        Temperament temperament;
        int bellCount, bell;
        double cents;
    };
    const RingScale major = RingScale::Major, chromatic = RingScale::Chromatic;
    const Temperament equal = Temperament::Equal, just = Temperament::Just, meantone = Temperament::Meantone;
    // Degree = bells - bell; past the octave (7 major, 12 chromatic degrees) 1200 more.
    for (const Case& c : {Case{major, equal, 8, 1, 1200}, Case{major, equal, 8, 4, 700}, Case{major, equal, 8, 8, 0},
                          Case{major, just, 8, 2, 1088.27}, Case{major, just, 8, 6, 386.31},
                          Case{major, just, 12, 1, 1901.96}, Case{major, meantone, 10, 1, 1586.31},
                          Case{major, meantone, 10, 7, 503.42}, Case{chromatic, equal, 16, 1, 1500},
                          Case{chromatic, equal, 16, 14, 200}, Case{chromatic, just, 16, 1, 1515.64},
                          Case{chromatic, just, 16, 6, 1017.60}, Case{chromatic, meantone, 25, 1, 2400},
                          Case{chromatic, meantone, 25, 19, 579.47}, Case{chromatic, meantone, 25, 11, 1393.16}}) {
        const std::optional<double> cents = TargetCents(Ring(c.bellCount, c.scale, c.temperament), nullptr, c.bell);
        EXPECT_NEAR(cents.value_or(NAN), c.cents, kExact) << c.bellCount << " bells, bell " << c.bell;
    }
    // 12 cents an octave: 1 cent a semitone.
    RingSettings stretched = Ring(8, RingScale::Major, Temperament::Equal);
    stretched.stretchCentsPerOctave = 12.0;
    EXPECT_NEAR(TargetCents(stretched, nullptr, 1).value_or(0), 1212.0, kExact);
    EXPECT_NEAR(TargetCents(stretched, nullptr, 4).value_or(0), 707.0, kExact);
    EXPECT_FALSE(TargetCents(stretched, nullptr, 0));
    EXPECT_FALSE(TargetCents(stretched, nullptr, 9));
}

TEST(RingTargets, FounderFileAndTypedTargets) {
    TemporaryFolder folder;
    WriteWholeFile(folder.File("founder.txt"), "# Figures for the new ring\n1, 1201.5\n2,1090 # sharp\n\r\n5,500\r\n");
    RingSettings settings = Ring(8, RingScale::Major, Temperament::Founder);
    settings.stretchCentsPerOctave = 12.0;  // not for a founder's figures
    std::int16_t code = 0;
    int line = -1;
    ASSERT_TRUE(ReadFounderTargets(folder.File("founder.txt"), settings.founderTargets, code, line));
    ASSERT_EQ(settings.founderTargets.size(), 3u);
    EXPECT_EQ(TargetCents(settings, nullptr, 1), 1201.5);
    EXPECT_EQ(TargetCents(settings, nullptr, 5), 500.0);
    EXPECT_FALSE(TargetCents(settings, nullptr, 3));   // not in the file
    EXPECT_EQ(TargetCents(settings, nullptr, 8), 0.0);  // the tenor is its own reference
    RingBell typed;
    typed.number = 2;
    typed.targetCents = 1088.0;
    EXPECT_EQ(TargetCents(settings, &typed, 2), 1088.0);
    EXPECT_EQ(TargetCents(Ring(8, RingScale::Major, Temperament::Just), &typed, 2), 1088.0);
    const OuterTuning outer = MakeOuterTuning(settings, {typed}, JustMajorNominals({0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_NEAR(outer.rows[1].deviationCents.value_or(NAN), 0.27, kExact);  // 1088.27 against the typed 1088
    EXPECT_FALSE(outer.rows[2].targetCents || outer.rows[2].deviationCents);

    struct Bad {
        const char* text;
        std::int16_t code;
        int line;
    };
    for (const Bad& bad : {Bad{"1,1200\n2 1088\n", kFounderLineNoComma, 2}, Bad{"# x\n\n0,100\n", kFounderBadBell, 3},
                           Bad{"2.5,100\n", kFounderBadBell, 1}, Bad{"65,1\n", kFounderBadBell, 1},
                           Bad{"1,1200\n3,abc\n", kFounderBadCents, 2}, Bad{"1,1200\n1,1201\n", kFounderDuplicate, 2},
                           Bad{"# nothing\n\n", kFounderEmpty, 0}}) {
        WriteWholeFile(folder.File("bad.txt"), bad.text);
        std::vector<FounderTarget> kept = {{4, 700.0}};
        EXPECT_FALSE(ReadFounderTargets(folder.File("bad.txt"), kept, code, line)) << bad.text;
        EXPECT_EQ(code, bad.code) << bad.text;
        EXPECT_EQ(line, bad.line) << bad.text;
        EXPECT_EQ(kept.size(), 1u);
    }
    for (const std::string& path : {folder.File("missing.txt"), folder.Path()}) {
        EXPECT_FALSE(ReadFounderTargets(path, settings.founderTargets, code, line));
        EXPECT_EQ(code, kFounderFileUnreadable);
    }
}

TEST(OuterTuning, JustMajorRingAgainstTenorAndAnotherAnchor) {
    RingSettings settings = Ring(8, RingScale::Major, Temperament::Just);
    // Bell 3 is 12 cents flat (outside the tolerance of 10), bell 4 not yet measured.
    const std::vector<BellMeasure> measures = JustMajorNominals({3, 0, -12, NAN, 9.5, 4, 0, 0});
    OuterTuning tuning = MakeOuterTuning(settings, {}, measures);
    ASSERT_EQ(tuning.rows.size(), 8u);
    EXPECT_EQ(tuning.anchorBell, 8);
    const std::array<double, 8> deviations = {3, 0, -12, NAN, 9.5, 4, 0, 0};
    for (std::size_t i = 0; i < 8; ++i) {
        const OuterTuningRow& row = tuning.rows[i];
        EXPECT_EQ(row.bell, static_cast<int>(i + 1));
        if (std::isnan(deviations[i])) continue;
        EXPECT_NEAR(row.deviationCents.value_or(NAN), deviations[i], kExact) << row.bell;
        EXPECT_EQ(row.withinTolerance, std::abs(deviations[i]) <= 10.0) << row.bell;
    }
    EXPECT_NEAR(tuning.rows[5].centsFromAnchor.value_or(0), 386.31 + 4, kExact);
    const OuterTuningRow& unmeasured = tuning.rows[3];
    EXPECT_TRUE(!unmeasured.nominalHz && !unmeasured.note && !unmeasured.centsFromAnchor);
    EXPECT_NEAR(unmeasured.targetCents.value_or(0), 701.96, kExact);
    EXPECT_NEAR(tuning.rows[7].note.value_or(PitchNote{"?", 0}).cents, -12.0, kExact);  // the name: RingText
    EXPECT_EQ(tuning.rows[0].note.value_or(PitchNote{"?", 0}).name, "E(2)");

    // Bell 6 (4 cents sharp of its just third) as the anchor: everything moves by its 386.31 + 4 cents.
    settings.anchorBell = 6;
    tuning = MakeOuterTuning(settings, {}, measures);
    EXPECT_NEAR(tuning.rows[0].targetCents.value_or(0), 1200 - 386.31, kExact);
    EXPECT_NEAR(tuning.rows[7].centsFromAnchor.value_or(0), -390.31, kExact);
    for (std::size_t i : {0, 2, 5, 7}) {
        EXPECT_NEAR(tuning.rows[i].deviationCents.value_or(NAN), deviations[i] - 4.0, kExact) << i + 1;
    }

    // An anchor not measured leaves no bell with a deviation.
    settings.anchorBell = 4;
    for (const OuterTuningRow& row : MakeOuterTuning(settings, {}, measures).rows) EXPECT_FALSE(row.deviationCents);

    // At A = 435 Hz every note is 1200 log2(440 / 435) cents sharper.
    settings.referencePitchHz = 435.0;
    tuning = MakeOuterTuning(settings, {}, measures);
    EXPECT_EQ(tuning.rows[7].note->name, "E(1)");
    EXPECT_NEAR(tuning.rows[7].note->cents, -12.0 + 1200.0 * std::log2(440.0 / 435.0), kExact);
    const std::optional<PitchNote> c2 = NoteAtPitch(435.0 * std::exp2(3.0 / 12.0 + 7.0 / 1200.0), 435.0);
    EXPECT_EQ(c2->name + " " + std::to_string(std::lround(c2->cents * 1e6)), "C(2) 7000000");
    EXPECT_EQ(NoteAtPitch(440.0 * std::exp2(-10.0 / 12.0), 440.0)->name, "B(0)");
    EXPECT_FALSE(NoteAtPitch(0.0, 440.0));
}

TEST(InnerTuning, PartialsInRingOrderWithDoubletAndGap) {
    TuningReport report;  // in the table's order, the quint not found
    const std::vector<std::pair<Partial, double>> found = {
        {Partial::Nominal, 0.0},     {Partial::Hum, -2403.0},           {Partial::Prime, -1200.0},
        {Partial::Tierce, -895.0},   {Partial::Superquint, 702.0},      {Partial::OctaveNominal, 1198.0}};
    for (const auto& [partial, cents] : found) report.partials.push_back(Tuned(partial, cents));
    report.partials[2].doublet = Doublet{400.0 * std::exp2(10.0 / 1200.0), 0.5, {}};
    report.warnings = {{kWarnBeats, "beats"}};
    const InnerTuningRow row = MakeInnerTuning(3, report, TemperedTuning());
    const std::array<std::optional<double>, 7> deviations = {-3.0, 0.0, 5.0, std::nullopt, 0.0, 2.0, -2.0};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(row.partials[i].deviationCents.has_value(), deviations[i].has_value()) << i;
        EXPECT_NEAR(row.partials[i].deviationCents.value_or(0), deviations[i].value_or(0), kExact) << i;
    }
    EXPECT_NEAR(row.partials[1].doubletCents.value_or(0), -1190.0, kExact);
    EXPECT_FALSE(row.partials[3].centsFromNominal || row.partials[2].doubletHz);

    const BellMeasure measure = MeasureFromReport(3, "third.wav", report);
    EXPECT_EQ(measure.nominalHz, 800.0);
    EXPECT_EQ(measure.warnings.size(), 1u);
    report.partials.erase(report.partials.begin());  // without a nominal the cents are from nothing
    EXPECT_FALSE(MakeInnerTuning(3, report, TemperedTuning()).partials[2].centsFromNominal);
}

TEST(RingText, UnitsTablesAndCsv) {
    EXPECT_EQ(UnitsText(12.5, TuningUnits::Sixteenths), "+2.0");
    EXPECT_EQ(UnitsText(-3.125, TuningUnits::Sixteenths), "-0.5");
    EXPECT_EQ(UnitsText(1.234, TuningUnits::Cents), "+1.23");
    EXPECT_EQ(UnitsText(-0.004, TuningUnits::Cents), "+0.00");
    TuningUnits units = TuningUnits::Cents;
    EXPECT_TRUE(ParseTuningUnits("sixteenths", units) && units == TuningUnits::Sixteenths);
    EXPECT_FALSE(ParseTuningUnits("Cents", units));
    EXPECT_EQ(units, TuningUnits::Sixteenths);

    std::vector<BellMeasure> measures = JustMajorNominals({3, 0, -12, NAN, 9.5, 4, 0, 0});
    measures.erase(measures.begin() + 4);  // bell 4 (listed tenor first) without even a recording
    measures[4].file = "bell 3, north \"side\".wav";
    const OuterTuning outer = MakeOuterTuning(Ring(8, RingScale::Major, Temperament::Just), {}, measures);
    EXPECT_EQ(RingPitchText(outer, TuningUnits::Sixteenths), "E(1) -1.9 sixteenths at A = 440 Hz");
    const std::string table = FormatOuterTuningTable(outer, TuningUnits::Cents);
    EXPECT_NE(table.find("Pitch: E(1) -12.00 cents at A = 440 Hz\n"), std::string::npos);
    EXPECT_NE(table.find("* deviation outside the tolerance"), std::string::npos);
    // The deviation under its heading's right edge; a bell not measured shows only its target.
    const std::size_t header = table.find("Bell"), line3 = table.find("\n   3  ", header) + 1;
    EXPECT_EQ(table.find("Deviation (cents)", header) + 17 - header, table.find("-12.00  *", line3) + 6 - line3);
    const std::size_t line4 = table.find("\n   4  ") + 1;
    std::istringstream cells4(table.substr(line4, table.find('\n', line4) - line4));
    const std::vector<std::string> words(std::istream_iterator<std::string>(cells4), {});
    EXPECT_EQ(words, (std::vector<std::string>{"4", "-", "-", "-", "-", "+701.96", "-", "-", "-"})) << table;

    TuningReport report;
    report.partials = {Tuned(Partial::Nominal, 0.0), Tuned(Partial::Tierce, -895.0)};
    const InnerTuningRow inner = MakeInnerTuning(3, report, TemperedTuning());
    const std::string innerTable =
        FormatInnerTuningTable({inner, NotMeasured(4)}, InnerFigures::Deviation, TuningUnits::Sixteenths);
    EXPECT_EQ(innerTable.substr(0, innerTable.find('\n')), "Deviation from the tempered ideal, in sixteenths");
    EXPECT_NE(innerTable.find("+0.8"), std::string::npos);  // 5 cents

    EXPECT_EQ(RingCsvHeader(),
              "bell,file,nominal,note,note_cents,cents_from_anchor,target,deviation,strike,hum_cents,hum_deviation,"
              "prime_cents,prime_deviation,tierce_cents,tierce_deviation,quint_cents,quint_deviation,nominal_cents,"
              "nominal_deviation,superquint_cents,superquint_deviation,oct_nom_cents,oct_nom_deviation\n");
    const std::string line = FormatRingCsvLine(outer.rows[2], inner);
    const std::string start = "3,\"bell 3, north \"\"side\"\".wav\",";  // quoted, its quotes doubled
    ASSERT_EQ(line.substr(0, start.size()), start);
    std::vector<std::string> fields(1);  // from the nominal on
    for (const char c : line.substr(start.size(), line.size() - start.size() - 1)) {
        if (c == ',') fields.emplace_back();
        else fields.back() += c;
    }
    ASSERT_EQ(fields.size(), 21u);
    EXPECT_EQ(Number(fields[0]), *outer.rows[2].nominalHz);  // full precision: reads back exactly
    EXPECT_NEAR(Number(fields[5]), -12.0, kExact);
    EXPECT_NEAR(Number(fields[11]), -895.0, kExact);
    EXPECT_NEAR(Number(fields[12]), 5.0, kExact);
    EXPECT_EQ(FormatRingCsvLine(outer.rows[3], NotMeasured(4)), "4,,,,,,701.96,," + std::string(14, ',') + "\n");
}

// Three passes of a bell: the cut lowers the nominal 5 cents, then 2 more, and moves the others less; the hum is
// lost in the last. Each change is the partial's own movement, what remains is to the ideal (the nominal's to its
// target in the ring).
TEST(BellHistory, ChangePerCutAndWhatRemains) {
    const std::vector<std::array<double, 3>> moves = {  // cents of each pass from the first nominal: hum, prime, nominal
        {-2410.0, -1195.0, 0.0}, {-2411.0, -1199.0, -5.0}, {NAN, -1205.0, -7.0}};
    std::vector<HistoryPass> passes;
    for (std::size_t n = 0; n < moves.size(); ++n) {
        HistoryPass pass{"pass " + std::to_string(n), {}, n == 2 ? std::optional(3.5) : std::nullopt};
        const double nominal = moves[n][2];
        for (const auto& [partial, cents] : {std::pair(Partial::Nominal, nominal), std::pair(Partial::Hum, moves[n][0]),
                                             std::pair(Partial::Prime, moves[n][1])}) {
            if (std::isnan(cents)) continue;
            TunedPartial tuned = Tuned(partial, cents);  // 800 Hz x 2^(cents / 1200) from the first nominal
            tuned.cents = cents - nominal;
            pass.tuning.partials.push_back(tuned);
        }
        passes.push_back(pass);
    }
    const auto rows = MakeBellHistory(passes, JustTuning());
    const HistoryRow &hum = rows[0], &prime = rows[1], &nominal = rows[4];
    ASSERT_EQ(std::tuple(hum.partial, nominal.partial, nominal.cells.size()), std::tuple(Partial::Hum, Partial::Nominal, 3u));
    EXPECT_FALSE(nominal.cells[0].changeCents);
    EXPECT_NEAR(nominal.cells[1].changeCents.value_or(0), -5.0, kExact);
    EXPECT_NEAR(nominal.cells[2].changeCents.value_or(0), -2.0, kExact);
    EXPECT_NEAR(prime.cells[2].changeCents.value_or(0), -6.0, kExact);
    EXPECT_NEAR(prime.cells[2].centsFromNominal.value_or(0), -1198.0, kExact);
    EXPECT_NEAR(hum.cells[1].frequencyHz.value_or(0), 800.0 * std::exp2(-2411.0 / 1200.0), 1e-9);
    EXPECT_FALSE(hum.cells[2].frequencyHz || hum.cells[2].changeCents || hum.remainingCents) << "lost in the last pass";
    EXPECT_NEAR(prime.remainingCents.value_or(0), -2.0, kExact) << "-1200 ideal, -1198 now";
    EXPECT_NEAR(nominal.remainingCents.value_or(0), -3.5, kExact) << "3.5 cents above its target";
    EXPECT_FALSE(rows[2].remainingCents || rows[2].cells[0].frequencyHz) << "a tierce never found";
    EXPECT_TRUE(MakeBellHistory({}, JustTuning())[4].cells.empty());
}

// A pass's spectrum in cents: a tone an octave and a fifth above the zero shows at +1901.96 cents within half the
// transform's bin (0.67 Hz, 3.9 cents at 300 Hz) and a point;
// nothing for a zero that is no frequency or a recording too short to transform.
TEST(PassSpectrum, ATonePeaksAtItsCents) {
    std::vector<std::int16_t> samples(44100);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 300.0 * i / 44100.0));
    const Recording tone = WithSamples({}, samples);
    const std::vector<double> levels = SpectrumInCents(tone, 1.0, 100.0, 0.0, 2400.0, 2401);
    ASSERT_EQ(levels.size(), 2401u);
    const auto peak = std::max_element(levels.begin(), levels.end());
    EXPECT_EQ(*peak, 0.0);
    EXPECT_NEAR(static_cast<double>(peak - levels.begin()), 1200.0 * std::log2(3.0), 3.0);
    EXPECT_LT(levels[600], -60.0) << "far from the tone";
    const std::vector<double> faster = SpectrumInCents(tone, 1.01, 100.0, 0.0, 2400.0, 2401);
    EXPECT_NEAR(static_cast<double>(std::max_element(faster.begin(), faster.end()) - faster.begin()),
                1200.0 * std::log2(3.03), 3.0) << "as analysed: the speed adjustment raises it";
    for (const double zero : {0.0, double(INFINITY), double(NAN)}) EXPECT_TRUE(SpectrumInCents(tone, 1.0, zero, 0.0, 2400.0, 100).empty());
    EXPECT_TRUE(SpectrumInCents(WithSamples({}, std::vector<std::int16_t>(1000)), 1.0, 100.0, 0.0, 1.0, 100).empty());
}
