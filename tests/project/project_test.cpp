#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "project/kept_ring.h"
#include "project/local_time.h"
#include "project/project.h"
#include "project/sqlite_handle.h"
#include "tests/data/test_files.h"

namespace {

using std::chrono::nanoseconds;
using std::chrono::system_clock;

RingSettings Ring() {
    RingSettings ring;
    ring.name = "St Mary's";
    ring.place = "Ely";
    ring.temperament = Temperament::Founder;
    ring.founderFile = "taylor 1912.csv";
    ring.founderTargets = {{8, 0.0}, {1, 1700.25}, {5, -0.0}};
    ring.stretchCentsPerOctave = 1.0 / 3.0;
    ring.innerIdeal = "tempered";
    return ring;
}

// A pass whose values a text round trip or SQLite's REAL affinity would
// change: -0.0, whole numbers, thirds, a denormal, a trigger past 2^32, and
// samples over the whole 16-bit range whose two bytes differ.
Measurement MakePass(int bell, const std::string& label, int n, std::size_t sampleCount = 70000) {
    Measurement m{bell, label, "2026-12-07T14:05:09+01:00", n % 2 ? "live" : "tenor.wav", {}, {}, {}, {}};
    std::vector<std::int16_t> samples(sampleCount);
    for (std::size_t i = 0; i < sampleCount; ++i) samples[i] = static_cast<std::int16_t>(i * 263 + n);
    m.recording = WithSamples({}, std::move(samples));
    m.recording.sourceFile = "/home/tuner/tenor.wav";
    m.recording.recordedAt = system_clock::time_point(nanoseconds(1796648709123456789LL + n));
    m.recording.triggerSample = 5000000000LL + n;
    m.recording.paddedSamples = n;
    m.parameters = {-0.0, 5000.0 + n / 3.0, 0.05, 1.1, 250.0, 5000.0};
    for (std::size_t r = 0; r < kPartialRows; ++r) {  // rows past count too: all 25 are kept
        m.table.frequency[r] = 125.0 * static_cast<double>(r + 1) + n / 7.0;
        m.table.tailAmplitude[r] = 4.9e-324 * static_cast<double>(r);
        m.table.cents[r] = r % 2 ? -0.0 : -1200.5 + static_cast<double>(r);
        m.table.partialIndex[r] = static_cast<std::int16_t>(r % 8);
        m.table.note[r] = r < 5 ? "A(1) -39" : "";
    }
    m.table.nominal = 500.0 + n / 7.0;
    m.table.count = 5;
    m.table.partialsValid = 1;
    m.tuning.idealName = "just";
    m.tuning.measured = n != 1;
    m.tuning.clippedSamples = 3 * n;
    if (n != 2) m.tuning.strike = StrikeNote{250.0 + n / 3.0, "B(0) +3", -0.0, {"nominal", "oct. nom."}};
    m.tuning.partials = {{3, "nominal", 500.1, 2e-5, 0.0, 0.0, -0.0, 1.0 / 3.0, Doublet{501.5, 0.25, -18.25 - n}, "B(1) +4", -6.2},
                         {0, "hum", 125.0, 0.5, -2400.0, std::nullopt, std::nullopt, std::nullopt, std::nullopt, "", {}}};
    if (n != 2) m.tuning.warnings = {{kWarnSecondStrike, "struck again at 1.2 s"}, {kWarnClipped, "12 samples"}};
    return m;
}

std::string Bits(double value) { return std::to_string(std::bit_cast<std::uint64_t>(value)) + ","; }
std::string Bits(const std::optional<double>& value) { return value ? Bits(*value) : "-,"; }

// Every value but the samples, doubles as their bit patterns.
std::string Fingerprint(const Measurement& m) {
    const Recording& r = m.recording;
    std::string s = std::to_string(m.bell) + m.pass + "|" + m.time + "|" + m.source + "|" + r.sourceFile + "|" +
                    std::to_string(r.sampleRate) + "," + std::to_string(r.recordedAt.time_since_epoch().count()) +
                    "," + std::to_string(r.triggerSample) + "," + std::to_string(r.paddedSamples) + "|";
    const AnalysisParameters& p = m.parameters;
    for (double v : {p.startFrequency, p.endFrequency, p.interval, p.speedAdjust, p.lowNominal, p.highNominal})
        s += Bits(v);
    const PartialTable& t = m.table;
    s += Bits(t.nominal) + std::to_string(t.count) + "," + std::to_string(t.partialsValid) + "|";
    for (std::size_t i = 0; i < kPartialRows; ++i) {
        for (double v : {t.frequency[i], t.splashAmplitude[i], t.tailAmplitude[i], t.attack[i], t.decay[i], t.cents[i]})
            s += Bits(v);
        s += std::to_string(t.partialIndex[i]) + t.note[i] + "|";
    }
    const TuningReport& u = m.tuning;
    s += u.idealName + std::to_string(u.measured) + std::to_string(u.clippedSamples) + "|";
    if (u.strike) s += Bits(u.strike->frequencyHz) + u.strike->note + Bits(u.strike->cents);
    for (const std::string& from : u.strike ? u.strike->from : std::vector<std::string>{}) s += from + ",";
    for (const TunedPartial& q : u.partials) {
        s += "|" + std::to_string(q.partialIndex) + q.name + Bits(q.frequencyHz) + Bits(q.uncertaintyHz) +
             Bits(q.cents) + Bits(q.idealCents) + Bits(q.deviationCents) + Bits(q.t60Seconds) + q.note + Bits(q.levelDb);
        if (q.doublet) s += Bits(q.doublet->frequencyHz) + Bits(q.doublet->relativeAmplitude) + Bits(q.doublet->levelDb);
    }
    for (const TuningWarning& w : u.warnings) s += "|" + w.code + ":" + w.text;
    return s;
}

void ExpectSame(const Measurement& loaded, const Measurement& kept) {
    EXPECT_EQ(Fingerprint(loaded), Fingerprint(kept));
    ASSERT_EQ(loaded.recording.samples == nullptr, kept.recording.samples == nullptr);
    if (kept.recording.samples) {
        EXPECT_TRUE(*loaded.recording.samples == *kept.recording.samples);
    }
}

constexpr std::size_t kLongRecording = 441000;  // 10 s: a pass takes a while to write

std::vector<std::string> Labels(const Project& project, int bell) {
    std::vector<PassSummary> passes;
    EXPECT_EQ(project.Passes(bell, passes), ProjectDone);
    std::vector<std::string> labels;
    for (const PassSummary& pass : passes) labels.push_back(pass.pass);
    return labels;
}

std::string NextLabel(const Project& project, int bell) {
    std::string label;
    EXPECT_EQ(project.NextPassLabel(bell, label), ProjectDone);
    return label;
}

// Runs `sql` on the file through a connection of its own, as another program would.
void Alter(const std::string& path, const std::string& sql) {
    SqliteDatabase db;
    ASSERT_TRUE(db.Open(path, SqliteAccess::ReadWrite) && db.Execute(sql)) << db.Message();
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A tuner describes the ring, measures the third bell three times, makes
// mistakes, closes the file and finds everything again.
TEST(Project, RingAndPassesComeBackExactly) {
    TemporaryFolder folder;
    const std::string path = folder.File("ely.campanor");
    Project project;
    ASSERT_EQ(project.Create(path, Ring()), ProjectOpened);
    EXPECT_EQ(Project().Create(path, Ring()), ProjectAlreadyExists);
    EXPECT_EQ(project.ChangeBell({3, "Gabriel", 412.5, std::nullopt, -0.0, true}), ProjectDone);
    EXPECT_EQ(project.ChangeBell({9, "ninth", 1.0, 1.0, 1.0, false}), ProjectNoSuchBell);

    std::vector<Measurement> kept;
    std::vector<std::int64_t> ids(3);
    for (int n = 0; n < 3; ++n) {
        kept.push_back(MakePass(3, NextLabel(project, 3), n));
        ASSERT_EQ(project.Keep(kept.back(), ids[n]), ProjectDone);
    }
    kept.push_back(MakePass(3, "cut 1", 3));
    kept.back().recording.samples = nullptr;  // no recording at all, unlike an empty one
    std::int64_t unused = -7;
    const std::string before = ReadWholeFile(path);
    EXPECT_EQ(project.Keep(kept.back(), unused), ProjectPassTaken);
    for (int bell : {0, 9}) EXPECT_EQ(project.Keep(MakePass(bell, "x", 3), unused), ProjectNoSuchBell);
    EXPECT_EQ(project.Keep(MakePass(3, "", 3), unused), ProjectPassUnnamed);
    EXPECT_EQ(ReadWholeFile(path), before) << "a refused pass writes nothing";
    EXPECT_EQ(unused, -7);
    kept.back().pass = "after the lathe";
    ASSERT_EQ(project.Keep(kept.back(), unused), ProjectDone);
    EXPECT_EQ(NextLabel(project, 3), "cut 3");  // the largest "cut N" counts, whatever else is there

    RingSettings fewer = Ring();
    fewer.bellCount = 2;
    EXPECT_EQ(project.ChangeRing(fewer), ProjectBellsMeasured);
    fewer.bellCount = 3;
    fewer.anchorBell = 4;
    EXPECT_EQ(project.ChangeRing(fewer), ProjectRingInvalid);
    fewer.anchorBell = 3;
    EXPECT_EQ(project.ChangeRing(fewer), ProjectDone);
    project.Close();
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"ely.campanor"});
    const std::string header = ReadWholeFile(path).substr(0, 100);
    EXPECT_EQ(header.substr(18, 2), std::string("\1\1", 2)) << "rollback journal, never write-ahead log";
    EXPECT_EQ(header.substr(60, 4), std::string("\0\0\0\1", 4)) << "format version 1";
    EXPECT_EQ(header.substr(68, 4), "CAMP");
    {
        SqliteDatabase db;
        ASSERT_TRUE(db.Open(path, SqliteAccess::ReadOnly));
        SqliteStatement first(db, "SELECT hex(substr(samples, 1, 6)) FROM recording ORDER BY measurement");
        ASSERT_EQ(first.Step(), SqliteStep::Row);
        EXPECT_EQ(first.Text(0), "000007010E02") << "0, 263, 526 low byte first";
    }

    ASSERT_EQ(project.Open(path), ProjectOpened);
    RingSettings ring;
    std::vector<RingBell> bells;
    ASSERT_EQ(project.ReadRing(ring), ProjectDone);
    ASSERT_EQ(project.ReadBells(bells), ProjectDone);
    EXPECT_EQ(std::tuple(ring.name, ring.place, ring.bellCount, ring.anchorBell, ring.founderFile, ring.innerIdeal),
              std::tuple("St Mary's", "Ely", 3, 3, "taylor 1912.csv", "tempered"));
    EXPECT_EQ(Bits(ring.stretchCentsPerOctave) + Bits(ring.founderTargets.at(2).cents) +
                  std::to_string(ring.founderTargets.at(1).bell),
              Bits(1.0 / 3.0) + Bits(-0.0) + "1");
    ASSERT_EQ(bells.size(), 3u);
    EXPECT_EQ(std::tuple(bells[2].label, bells[2].weightKg, bells[2].diameterMm, bells[2].mayNotBeTuned, bells[0].label),
              std::tuple("Gabriel", std::optional(412.5), std::optional<double>(), true, ""));
    EXPECT_EQ(Bits(bells[2].targetCents), Bits(-0.0));

    EXPECT_EQ(Labels(project, 3), (std::vector<std::string>{"as received", "cut 1", "cut 2", "after the lathe"}));
    std::vector<PassSummary> passes;
    ASSERT_EQ(project.Passes(3, passes), ProjectDone);
    EXPECT_EQ(passes[1].warnings, (std::vector<std::string>{kWarnSecondStrike, kWarnClipped}));
    EXPECT_TRUE(passes[2].warnings.empty());
    EXPECT_EQ(std::tuple(passes[1].id, passes[1].source, passes[1].nominalHz), std::tuple(ids[1], "live", 500 + 1 / 7.0));
    for (std::size_t i = 0; i < kept.size(); ++i) {
        Measurement loaded;
        ASSERT_EQ(project.Load(passes[i].id, loaded), ProjectDone);
        ExpectSame(loaded, kept[i]);
    }
    PassSummary latest;
    EXPECT_EQ(project.LatestPass(3, latest), ProjectDone);
    EXPECT_EQ(latest.pass, "after the lathe");
    EXPECT_EQ(project.LatestPass(2, latest), ProjectNoSuchPass);
    EXPECT_EQ(NextLabel(project, 2), "as received");
    Measurement untouched;
    EXPECT_EQ(project.Load(passes.back().id + 1, untouched), ProjectNoSuchPass);
}

// "Save as": a copy with everything, the first file left as it was; the latest pass of each bell read for the ring.
TEST(Project, ACopyCarriesEverythingAndTheFirstStaysAsItWas) {
    TemporaryFolder folder;
    const std::string first = folder.File("ely.campanor"), copy = folder.File("copy.campanor");
    Project project;
    ASSERT_EQ(project.Create(first, Ring()), ProjectOpened);
    std::int64_t id = 0;
    for (const auto& [bell, label, n] : {std::tuple(3, "as received", 0), std::tuple(1, "as received", 1), std::tuple(3, "cut 1", 2)}) {
        ASSERT_EQ(project.Keep(MakePass(bell, label, n), id), ProjectDone);
    }
    const std::string bytes = ReadWholeFile(first);
    EXPECT_EQ(project.SaveAs(first), ProjectCannotOpen) << "not onto itself";
    EXPECT_EQ(project.SaveAs(folder.File("missing/x.campanor")), ProjectCannotOpen);
    EXPECT_EQ(project.Path(), first);
    ASSERT_EQ(project.SaveAs(copy), ProjectOpened);
    EXPECT_EQ(project.Path(), copy);
    ASSERT_EQ(project.Keep(MakePass(1, "cut 1", 3), id), ProjectDone);
    EXPECT_EQ(ReadWholeFile(first), bytes) << "the first file is not touched by the copy's changes";

    KeptRing kept;
    ASSERT_EQ(ReadKeptRing(project, kept), ProjectDone);
    ASSERT_EQ(kept.latest.size(), 2u);
    EXPECT_EQ(std::tuple(kept.latest[0].bell, kept.latest[0].pass, kept.latest[1].bell, kept.latest[1].pass),
              std::tuple(1, "cut 1", 3, "cut 1"));
    EXPECT_EQ(std::tuple(kept.ring.name, kept.bells.size(), kept.measures.size(), kept.measures[1].bell), std::tuple("St Mary's", 8u, 2u, 3));
    Project original;
    ASSERT_EQ(original.Open(first), ProjectOpened);
    EXPECT_EQ(Labels(original, 1), std::vector<std::string>{"as received"});
    original.Close();
    project.Close();
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"copy.campanor", "ely.campanor"}));
}

// The first byte of the journal: 0 while a transaction is being written,
// the journal's magic once the commit has begun overwriting the file.
char JournalStart(const std::string& path) {
    std::ifstream journal(path + "-journal", std::ios::binary);
    char first = 0;
    journal.get(first);
    return first;
}

// A writer keeps passes "cut 0", "cut 1", ... on bell 1 until killed, which
// happens after three more are kept: while the next is written
// (`committing` false) or while its commit overwrites the file (true).
// Returns the number of the last pass it reported kept.
int KillWhileKeeping(const std::string& path, bool committing) {
    int kept[2];
    if (pipe(kept) != 0) return -2;
    const pid_t child = fork();
    if (child == 0) {
        Project project;
        std::vector<PassSummary> passes;
        if (project.Open(path) != ProjectOpened || project.Passes(1, passes) != ProjectDone) _exit(1);
        std::int64_t id = 0;
        for (int n = static_cast<int>(passes.size());; ++n) {
            if (project.Keep(MakePass(1, "cut " + std::to_string(n), n, kLongRecording), id) != ProjectDone) _exit(2);
            if (write(kept[1], &n, sizeof n) != sizeof n) _exit(3);
        }
    }
    close(kept[1]);
    int last = -1;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(read(kept[0], &last, sizeof last), static_cast<ssize_t>(sizeof last));
    const auto start = std::chrono::steady_clock::now();
    while (SecondsSince(start) < 10 && (committing ? JournalStart(path) == 0 : !std::filesystem::exists(path + "-journal"))) {}
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    for (int n = 0; read(kept[0], &n, sizeof n) == sizeof n;) last = n;
    close(kept[0]);
    return last;
}

// The power goes while a pass is being written: every pass kept before is
// there, exactly, the half-written one is gone or whole, and the file opens
// with nothing left beside it.
TEST(Project, KilledWhileKeepingLosesNothingKeptBefore) {
    TemporaryFolder folder;
    const std::string path = folder.File("ely.campanor");
    ASSERT_EQ(Project().Create(path, Ring()), ProjectOpened);
    for (bool committing : {false, true}) {
        const int last = KillWhileKeeping(path, committing);
        Project project;
        ASSERT_EQ(project.Open(path), ProjectOpened);
        std::vector<PassSummary> passes;
        ASSERT_EQ(project.Passes(1, passes), ProjectDone);
        ASSERT_GE(passes.size(), static_cast<std::size_t>(last + 1));
        for (std::size_t n = 0; n < passes.size(); ++n) {
            Measurement loaded;
            ASSERT_EQ(project.Load(passes[n].id, loaded), ProjectDone);
            ExpectSame(loaded, MakePass(1, "cut " + std::to_string(n), static_cast<int>(n), kLongRecording));
        }
        project.Close();
        EXPECT_EQ(folder.Entries(), std::set<std::string>{"ely.campanor"});
    }
}

// A file written before the ring kept its inner ideal opens as the current
// version with all it held; the ideal becomes the panel's default.
TEST(Project, VersionZeroIsBroughtToTheCurrentVersion) {
    TemporaryFolder folder;
    const std::string path = folder.File("old.campanor");
    const Measurement pass = MakePass(2, "as received", 0);
    std::int64_t id = 0;
    {
        Project project;
        ASSERT_EQ(project.Create(path, Ring()), ProjectOpened);
        ASSERT_EQ(project.Keep(pass, id), ProjectDone);
    }
    Alter(path, "ALTER TABLE ring DROP COLUMN inner_ideal; PRAGMA user_version = 0");
    Project project;
    ASSERT_EQ(project.Open(path), ProjectOpened);
    RingSettings ring;
    ASSERT_EQ(project.ReadRing(ring), ProjectDone);
    EXPECT_EQ(std::tuple(ring.name, ring.innerIdeal, ring.founderTargets.size()), std::tuple("St Mary's", "just", 3u));
    Measurement loaded;
    ASSERT_EQ(project.Load(id, loaded), ProjectDone);
    ExpectSame(loaded, pass);
    project.Close();
    EXPECT_EQ(ReadWholeFile(path).substr(60, 4), std::string("\0\0\0\1", 4));
}

// Files that are not ours, too new, missing or held by another program are
// refused, named in the message and left byte for byte as they were.
TEST(Project, FilesNotOursOrNotFreeAreLeftAlone) {
    TemporaryFolder folder;
    const std::string wave = folder.File("tenor.wav");
    const std::string other = folder.File("other.db");
    const std::string tableless = folder.File("tableless.campanor");
    const std::string newer = folder.File("newer.campanor");
    WriteWholeFile(wave, std::string("RIFF\x24\x08\0\0WAVEfmt ", 16) + std::string(2100, '\x11'));
    for (const std::string& path : {other, tableless}) WriteWholeFile(path, "");  // SQLite takes these as new
    Alter(other, "PRAGMA application_id = 7; CREATE TABLE ring (id INTEGER)");
    Alter(tableless, "PRAGMA application_id = 1128353104; PRAGMA user_version = 1; CREATE TABLE ring (id INTEGER)");
    ASSERT_EQ(Project().Create(newer, Ring()), ProjectOpened);
    Alter(newer, "PRAGMA user_version = 2");
    const std::set<std::string> entries = folder.Entries();
    Project project;
    for (const auto& [path, expected] : {std::pair(wave, ProjectNotAProject), std::pair(other, ProjectNotAProject),
                                         std::pair(tableless, ProjectNotAProject), std::pair(newer, ProjectTooNew),
                                         std::pair(folder.File("none.campanor"), ProjectMissing)}) {
        const std::string bytes = ReadWholeFile(path);
        EXPECT_EQ(project.Open(path), expected) << path;
        EXPECT_FALSE(project.IsOpen());
        EXPECT_EQ(ReadWholeFile(path), bytes) << path;
        EXPECT_NE(ProjectOpenText(expected, path).find(path), std::string::npos);
    }
    EXPECT_EQ(project.Open(folder.Path()), ProjectCannotOpen);
    EXPECT_EQ(folder.Entries(), entries);

    // Another program writes: the open project cannot keep, a second cannot open, both after the wait.
    const std::string busy = folder.File("busy.campanor");
    ASSERT_EQ(project.Create(busy, Ring()), ProjectOpened);
    SqliteDatabase writer;
    ASSERT_TRUE(writer.Open(busy, SqliteAccess::ReadWrite) && writer.Execute("BEGIN EXCLUSIVE"));
    std::int64_t id = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(project.Keep(MakePass(1, "as received", 0), id), ProjectWasBusy);
    EXPECT_GT(SecondsSince(start), 1.0);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(Project().Open(busy), ProjectBusy);
    EXPECT_LT(SecondsSince(start), 3.0);
    EXPECT_GT(SecondsSince(start), 1.0);
    ASSERT_TRUE(writer.Execute("COMMIT"));
    EXPECT_EQ(project.Keep(MakePass(1, "as received", 0), id), ProjectDone);
}

// The user may not write the file: it opens for reading and every change is
// refused. Root may write anything, so the check runs as "nobody" then.
TEST(Project, AFileTheUserMayNotWriteOpensReadOnly) {
    TemporaryFolder folder;
    const std::string path = folder.File("ely.campanor");
    std::int64_t id = 0;
    {
        Project project;
        ASSERT_EQ(project.Create(path, Ring()), ProjectOpened);
        ASSERT_EQ(project.Keep(MakePass(4, "as received", 0), id), ProjectDone);
    }
    ASSERT_EQ(chmod(path.c_str(), 0444) | chmod(folder.Path().c_str(), 0755), 0);
    const std::string bytes = ReadWholeFile(path);
    int results[2];
    ASSERT_EQ(pipe(results), 0);
    if (fork() == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) _exit(1);
        Project project;
        std::vector<PassSummary> passes;
        const std::int16_t codes[] = {project.Open(path), project.Passes(4, passes),
                                      static_cast<std::int16_t>(passes.size()), project.ChangeRing(Ring()),
                                      project.Keep(MakePass(4, "cut 1", 1), id)};
        _exit(write(results[1], codes, sizeof codes) == sizeof codes ? 0 : 2);
    }
    close(results[1]);
    std::int16_t codes[5] = {-1, -1, -1, -1, -1};
    EXPECT_EQ(read(results[0], codes, sizeof codes), static_cast<ssize_t>(sizeof codes));
    close(results[0]);
    wait(nullptr);
    EXPECT_EQ(std::vector<std::int16_t>(codes, codes + 5),
              (std::vector<std::int16_t>{ProjectOpenedReadOnly, ProjectDone, 1, ProjectReadOnly, ProjectReadOnly}));
    EXPECT_EQ(ReadWholeFile(path), bytes);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"ely.campanor"});
}

// The offset in force at the moment is written, summer time and half hours included.
TEST(Project, LocalTimeCarriesItsOffset) {
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    const auto at = [](const char* tz, std::int64_t seconds) {
        setenv("TZ", tz, 1);
        tzset();
        return LocalTimeIso8601(system_clock::time_point(std::chrono::seconds(seconds)) + std::chrono::milliseconds(999));
    };
    EXPECT_EQ(at("CET-1CEST,M3.5.0,M10.5.0/3", 1796648709), "2026-12-07T14:05:09+01:00");
    EXPECT_EQ(at("CET-1CEST,M3.5.0,M10.5.0/3", 1782900000), "2026-07-01T12:00:00+02:00");
    EXPECT_EQ(at("NST3:30NDT,M3.2.0,M11.1.0", 1796648709), "2026-12-07T09:35:09-03:30");
    EXPECT_EQ(at("UTC0", 0), "1970-01-01T00:00:00+00:00");
    zone ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
}

}  // namespace
