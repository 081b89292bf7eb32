#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <thread>
#include <tuple>

#include "data/number_text.h"
#include "data/partials_file.h"
#include "data/safe_save.h"
#include "data/text_lines.h"
#include "data/wave_file.h"
#include "test_files.h"

namespace {

std::vector<std::int16_t> Stretched(const std::vector<std::int16_t>& values, double factor) {
    const Recording captured = WithSamples({}, values);
    const Recording stretched = Stretched(captured, factor);
    EXPECT_EQ(*captured.samples, values) << "the captured samples are never changed";
    return *stretched.samples;
}

// Stretched output i lies on the line between the samples around i x factor, truncated toward zero.
TEST(Recording, StretchInterpolatesLinearly) {
    EXPECT_EQ(Stretched({0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000}, 1.1),
              (std::vector<std::int16_t>{0, 1100, 2200, 3300, 4400, 5500, 6600, 7700, 8800}));
    std::vector<std::int16_t> ramp(100);
    for (int i = 0; i < 100; ++i) ramp[i] = static_cast<std::int16_t>(i * 10);
    const auto slow = Stretched(ramp, 0.9);  // at 99.0 the last sample is its own neighbour
    EXPECT_EQ(std::tuple(slow.size(), slow[1], slow[110]), std::tuple(111u, 9, 990));
    EXPECT_EQ(Stretched({-1000, -2001, -2001, -2001}, 0.7)[1], -1700);  // -1700.7: neither floored nor rounded
}

// Scanning stops after the number and takes an underflow as zero; a whole number may have white space around it.
TEST(NumberText, PrintfAndScanfForms) {
    std::size_t pos = 0;
    double v = 7.0;
    EXPECT_TRUE(ScanDouble(" 1e-400,", pos, v) && v == 0.0 && pos == 7);
    EXPECT_TRUE(ParseWholeDouble(" +.5\r\n", v) && v == 0.5 && !ParseWholeDouble("0.5 and words", v));
    EXPECT_EQ(FormatDouble15(0.00001) + " " + FormatDouble15(0.0001) + " " + FormatDouble15(1.0 / 3.0),
              "1e-05 0.0001 0.333333333333333");  // the shorter of exponent and fixed form, 15 digits
}

const std::string kLongHeader = "Partials\r\nwave file is bell.wav, nominal: 500.000000\r\n"
                                "Freq., Splash Amp., Tail Amp., Attack, Decay, Cents, Partial, Note\r\n";

std::string Row(double frequency, double tail) {
    return FormatFixed6(frequency) + ",0.000000," + FormatFixed6(tail) + ",0.000000,0.000000,99.000000,wrong,x\r\n";
}

// Hum, prime, tierce, nominal and octave nominal of a 500 Hz bell.
const std::string kBellRows = Row(125, 1) + Row(250, 2) + Row(300, 3) + Row(500, 4) + Row(1000, 1);

// Parses through memory and through a file; both readers must agree.
std::int16_t Parse(const std::string& text, PartialTable& table) {
    const std::int16_t code = ParsePartials(text, table);
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    PartialTable fromFile;
    EXPECT_EQ(ParsePartials(file, fromFile), code);
    std::fclose(file);
    EXPECT_EQ(std::tuple(fromFile.count, fromFile.nominal, fromFile.frequency),
              std::tuple(table.count, table.nominal, table.frequency));
    return code;
}

// Names, cents and notes are recomputed; the file's own are ignored.
TEST(PartialsFile, BothLayoutsAreRead) {
    PartialTable t;
    ASSERT_EQ(Parse(kLongHeader + kBellRows + "\r\n", t), PartialsFileRead);
    EXPECT_EQ(std::tuple(t.count, t.nominal, t.tailAmplitude[3], t.cents[3], t.note[3], t.partialsValid),
              std::tuple(5, 500.0, 4.0, 0.0, NoteName(500.0), 1));
    EXPECT_EQ((std::vector<int>(t.partialIndex.begin(), t.partialIndex.begin() + 5)), (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_NEAR(t.cents[0], -2400.0, 0.11);
    ASSERT_EQ(Parse("Partials\nFile is: C:\\bells\\tenor.wav\nNominal: 500.000000\nFreq., Ampl., Cents, Partial, Note\n"
                    "125.0,1.0,0,x,y\n250.0, 2.0,0\n300,3,0\n500,4e0,0,nominal\n1000,1,0\n", t), PartialsFileRead);
    EXPECT_EQ(std::tuple(t.count, t.nominal, t.tailAmplitude[1], t.splashAmplitude[1], t.partialIndex[3]),
              std::tuple(5, 500.0, 2.0, 0.0, 3));
    // The nominal follows the last colon of a whole header line, however long; 0 when it is no finite number.
    for (const auto& [line, nominal] : {std::pair{"C:\\" + std::string(300, 'n') + ", nominal: 523.25", 523.25},
                                        {"x, nominal: nan", 0.0}, {"x, nominal: 1e999", 0.0}, {"x, nominal", 0.0}}) {
        ASSERT_EQ(Parse("Partials\r\nwave file is " + line + "\r\nhdr\r\n" + Row(500, 4), t), PartialsFileRead);
        EXPECT_EQ(t.nominal, nominal) << line;
    }
}

TEST(PartialsFile, FaultyFilesGiveTheirCode) {
    const std::string h = kLongHeader;
    const std::int16_t read = PartialsFileRead, no = PartialsFileNotPartials, bad = PartialsFileFormatError;
    const std::tuple<std::string, std::int16_t, int> cases[] = {  // text, code, rows
        {"", no, 0}, {"partials\r\nwave file is , nominal: 1\r\nhdr\r\n" + kBellRows, no, 0},
        {"Partials\r\nthe wave file is x\r\nhdr\r\n" + kBellRows, no, 0}, {"Partials\r\n", bad, 0},
        {"Partials\r\nwave file is x, nominal: 500", bad, 0}, {"Partials\rwave file is x\r", bad, 0},
        {"Partials\nFile is: x\nNominal: 500\n", bad, 0}, {"Partials\nFile is: x\n", PartialsFileNoNominal, 0},
        {"Partials\nFile is: x\nnominal: 500\nhdr\n125,1,0\n", PartialsFileNoNominal, 0},
        {h + "500.0,0,4,0,0\r\n", bad, 0}, {h + "500.0 ,0,4,0,0,0,,\r\n", bad, 0},  // "%lf," wants the comma at once
        {h + "\r\n" + Row(125, 1) + " \t\v\f\r\n" + Row(250, 2) + "end\r\n" + Row(300, 3), read, 2},
        {h + Row(125, 1) + "250,0,nan,0,0,0,,\r\n" + Row(300, 3), read, 1}, {h + "1e400,0,1,0,0,0,,\r\n", bad, 0},
        {h + Row(0, 1) + Row(0, 2), bad, 0}, {h + Row(125, 1) + "250,0,2,0,0,0,,", read, 2},
        {std::string("Partials\0junk\r\n", 15) + "wave file is x, nominal: 1\r\nhdr\r\n" + Row(125, 1), read, 1},
        {"Partials\r\nwave file is " + std::string(70000, 'x') + ", nominal: 1\r\nhdr\r\n" + Row(125, 1), bad, 0}};
    for (const auto& [text, code, rows] : cases) {
        PartialTable table;
        const std::int16_t got = Parse(text, table);
        EXPECT_EQ(std::tuple(got, table.count), std::tuple(code, rows)) << text.substr(0, 80);
    }
}

// A CR as the last byte of the file reader's first 64 KiB block, its LF first in the next; a line spanning blocks.
TEST(PartialsFile, FileLinesMatchMemoryLinesAcrossBlocks) {
    const std::string text = std::string(65535 - 1, 'a') + "\r\n" + std::string(200000, 'b') + "\r\nc\r";
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    MemoryLines memory(text);
    FileLines fromFile(file);
    std::string a, b;
    for (const std::size_t length : {65534u, 200000u, 1u}) {
        EXPECT_TRUE(memory.Next(a) && fromFile.Next(b) && a == b && a.size() == length) << length;
    }
    EXPECT_FALSE(memory.Next(a) || fromFile.Next(b));
    std::fclose(file);
}

// Six decimals and a point whatever the user's locale; 700 Hz is no partial and has an empty name.
TEST(PartialsFile, SavedUnderACommaLocaleAndReadBack) {
    PartialTable written, read;
    const double freqs[] = {130.1234567, 261.0, 312.5, 523.2500004, 700.0, 1046.9};
    for (int i = 0; i < 6; ++i) written.AddPeak(freqs[i], 0.5 * i, 2.0 + i, 0.1, 0.2, NoPartial);
    written.nominal = written.FindNominal(false, 0.0, 5000.0);
    written.UpdateCentsAndNotes();
    TemporaryFolder folder;
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const bool saved = SavePartialsFile(folder.File("bell.par"), written, "bell.wav");
    const std::int16_t code = ReadPartialsFile(folder.File("bell.par"), read);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(std::tuple(saved, code, read.count, read.nominal, read.frequency[0], read.partialIndex),
              std::tuple(true, PartialsFileRead, 6, 523.25, 130.123457, written.partialIndex));
    const std::string bytes = ReadWholeFile(folder.File("bell.par"));
    EXPECT_EQ(bytes.rfind(kLongHeader.substr(0, 42) + "523.250000\r\n" + kLongHeader.substr(54), 0), 0u);
    EXPECT_NE(bytes.find("\r\n523.250000,1.500000,5.000000,0.100000,0.200000,0.000000,nominal," + written.note[3] +
                         "\r\n700.000000,2.000000,6.000000,0.100000,0.200000," + FormatFixed6(written.cents[4]) +
                         ",," + written.note[4] + "\r\n1046.900000,"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    EXPECT_EQ(FormatPartials(read, "bell.wav"), bytes) << "what was read writes back to the same bytes";
    EXPECT_EQ(ReadPartialsFile(folder.File("missing.par"), read), PartialsFileOpenFailed);
    EXPECT_EQ(ReadPartialsFile(folder.Path(), read), PartialsFileOpenFailed);
    // Neither a device that never ends nor a FIFO without a writer keeps the reader waiting.
    ASSERT_EQ(mkfifo(folder.File("fifo").c_str(), 0644), 0);
    EXPECT_EQ(ReadPartialsFile("/dev/zero", read) + ReadPartialsFile(folder.File("fifo"), read), 2 * PartialsFileOpenFailed);
    EXPECT_EQ(read.count, 6) << "an unreadable path leaves the table";
}

// Sample 0 is -3000 = 0xF448, sample 1 is 4000 = 0x0FA0.
TEST(WaveFile, FortyEightByteHeaderThenLittleEndianSamples) {
    const Recording sound = WithSamples({}, {-3000, 4000});
    TemporaryFolder folder;
    ASSERT_TRUE(SaveWaveFile(folder.File("a.wav"), sound));
    EXPECT_EQ(ReadWholeFile(folder.File("a.wav")), std::string("RIFF\x2c\0\0\0WAVEfmt \x14\0\0\0\1\0\1\0\x44\xac\0\0\x88\x58\1\0"
                                                               "\2\0\x10\0\0\0\0\0data\4\0\0\0\x48\xf4\xa0\x0f", 52));
    EXPECT_FALSE(SaveWaveFile(folder.File("no/such/folder.wav"), sound));
}

// The temporary is a hidden file named after the target, in the target's folder; a link stays a link.
TEST(SafeSave, ReplacesOnlyTheTarget) {
    TemporaryFolder folder;
    const std::string path = folder.File("out.par");
    WriteWholeFile(path, "old");
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    ASSERT_TRUE(SaveBytesSafely(path, "new"));
    EXPECT_EQ(std::tuple(ReadWholeFile(path), std::filesystem::status(path).permissions()),
              std::tuple("new", std::filesystem::perms(0640))) << "the permissions stay";
    std::filesystem::create_directory(folder.File("sub"));
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    std::set<std::string> during;
    EXPECT_TRUE(SaveBytesSafely("plain.par", "x"));
    EXPECT_TRUE(SaveFileSafely("sub/x.par", [&](std::FILE* f) { return during = folder.Entries("sub"), std::fputc('y', f) == 'y'; }));
    std::filesystem::current_path(here);
    EXPECT_TRUE(during.size() == 1 && during.begin()->rfind(".x.par.tmp", 0) == 0) << testing::PrintToString(during);
    EXPECT_EQ(ReadWholeFile(folder.File("plain.par")) + ReadWholeFile(folder.File("sub/x.par")), "xy");
    std::filesystem::create_symlink("out.par", folder.File("link.par"));
    ASSERT_TRUE(SaveBytesSafely(folder.File("link.par"), "via link"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.par")));
    // Failures keep the old file and leave no temporary behind.
    EXPECT_FALSE(SaveFileSafely(path, [](std::FILE* f) { return std::fputs("half", f) < 0; }));
    EXPECT_FALSE(SaveBytesSafely(folder.File("missing/out.par"), "x"));
    EXPECT_FALSE(SaveBytesSafely(folder.Path() + "/", "x"));
    EXPECT_FALSE(SaveBytesSafely(folder.File("sub"), "x"));  // a folder is not replaced
    EXPECT_EQ(ReadWholeFile(path), "via link") << "written through the link, then kept";
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"link.par", "out.par", "plain.par", "sub"}));
    EXPECT_EQ(folder.Entries("sub"), std::set<std::string>{"x.par"});
}

// Devices and FIFOs are written into, never replaced; a read-only file is left alone; a folder that takes no
// temporary file still lets a writable file be rewritten in place (checked as an ordinary user: root may write
// anywhere).
TEST(SafeSave, NodesReadOnlyFilesAndClosedFolders) {
    TemporaryFolder folder;
    const std::string full = folder.File("full"), null = folder.File("null"), fifo = folder.File("fifo");
    ASSERT_EQ(mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) + mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(SaveBytesSafely(full, "no room"));
    EXPECT_TRUE(SaveBytesSafely(null, "gone"));
    EXPECT_FALSE(SaveBytesSafely(fifo, "nobody reads"));
    std::string received;
    std::thread reader([&] { received = ReadWholeFile(fifo); });
    while (!SaveBytesSafely(fifo, "through the pipe")) std::this_thread::yield();  // until the reader has opened it
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    for (const std::string& node : {full, null, fifo}) EXPECT_FALSE(std::filesystem::is_regular_file(node)) << node;
    const std::string locked = folder.File("locked.par");
    WriteWholeFile(locked, "kept");
    std::filesystem::permissions(locked, std::filesystem::perms(0444));
    EXPECT_FALSE(SaveBytesSafely(locked, "replaced"));
    EXPECT_EQ(ReadWholeFile(locked), "kept");

    std::filesystem::create_directory(folder.File("closed"));
    const std::string inside = folder.File("closed/bell.par");
    WriteWholeFile(inside, "old");
    const bool root = geteuid() == 0;
    ASSERT_EQ(root ? chown(inside.c_str(), 65534, 65534) + chown(folder.File("closed").c_str(), 65534, 65534) : 0, 0);
    std::filesystem::permissions(folder.File("closed"), std::filesystem::perms(0555));
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0755));
    const pid_t child = fork();
    if (child == 0) {
        if (root && setgid(65534) + setuid(65534) != 0) _exit(1);
        if (!SaveBytesSafely(inside, "new")) _exit(2);
        // Then a file size limit cuts the next rewrite short: the old bytes come back.
        const rlimit limit{5, 5};
        signal(SIGXFSZ, SIG_IGN);
        _exit(setrlimit(RLIMIT_FSIZE, &limit) == 0 && !SaveBytesSafely(inside, "longer than the limit") ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadWholeFile(inside), "new");
    EXPECT_EQ(folder.Entries("closed"), std::set<std::string>{"bell.par"});
    std::filesystem::permissions(folder.File("closed"), std::filesystem::perms(0755));
}

}  // namespace
