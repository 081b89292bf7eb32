#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <random>
#include <string>

#include "data/number_text.h"
#include "data/partials_file.h"
#include "data/text_lines.h"
#include "test_files.h"

namespace {

const std::string kLongHeader =
    "Partials\r\nwave file is bell.wav, nominal: 500.000000\r\n"
    "Freq., Splash Amp., Tail Amp., Attack, Decay, Cents, Partial, Note\r\n";

std::string Row(double frequency, double tail) {
    return FormatFixed6(frequency) + ",0.000000," + FormatFixed6(tail) +
           ",0.000000,0.000000,99.000000,wrong name,wrong note\r\n";
}

// Hum, prime, tierce, nominal and octave nominal of a 500 Hz bell.
std::string BellRows() {
    return Row(125, 1) + Row(250, 2) + Row(300, 3) + Row(500, 4) + Row(1000, 1);
}

// Parses through memory and through a file; both readers must agree.
std::int16_t Parse(const std::string& text, PartialTable& table) {
    const std::int16_t code = ParsePartials(text, table);
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    PartialTable fromFile;
    EXPECT_EQ(ParsePartials(file, fromFile), code);
    std::fclose(file);
    EXPECT_EQ(fromFile.count, table.count);
    EXPECT_EQ(fromFile.nominal, table.nominal);
    EXPECT_EQ(fromFile.frequency, table.frequency);
    return code;
}

// A row that is no partial has an empty name.
TEST(PartialsFileWrite, TwoRowsGiveSixCrLfLinesInTheLongLayout) {
    PartialTable table;
    table.AddPeak(261.625, 0.0, 3.0, 0.0, 0.0, NoPartial);
    table.AddPeak(523.25, 0.0, 12.5, 0.0, 0.0, NoPartial);
    table.nominal = 523.25;
    table.partialIndex[1] = 3;
    table.UpdateCentsAndNotes();
    const std::string expected =
        "Partials\r\n"
        "wave file is , nominal: 523.250000\r\n"
        "Freq., Splash Amp., Tail Amp., Attack, Decay, Cents, Partial, Note\r\n" +
        FormatFixed6(261.625) + ",0.000000,3.000000,0.000000,0.000000," +
        FormatFixed6(table.cents[0]) + ",," + table.note[0] + "\r\n" +
        "523.250000,0.000000,12.500000,0.000000,0.000000,0.000000,nominal," + table.note[1] +
        "\r\n\r\n";
    EXPECT_EQ(FormatPartials(table, ""), expected);
}

TEST(PartialsFileRead, LongLayoutRecomputesNamesCentsAndNotes) {
    PartialTable table;
    ASSERT_EQ(Parse(kLongHeader + BellRows() + "\r\n", table), PartialsFileRead);
    ASSERT_EQ(table.count, 5);
    EXPECT_EQ(table.nominal, 500.0);
    EXPECT_EQ(table.tailAmplitude[3], 4.0);
    const std::int16_t names[] = {0, 1, 2, 3, 5};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(table.partialIndex[i], names[i]) << i;
    EXPECT_EQ(table.cents[3], 0.0);
    EXPECT_NEAR(table.cents[0], -2400.0, 0.11);
    EXPECT_EQ(table.note[3], NoteName(500.0));
    EXPECT_EQ(table.partialsValid, 1);
}

TEST(PartialsFileRead, ShortLayoutTakesThreeNumbersAndTheNominalLine) {
    PartialTable table;
    const std::string text =
        "Partials\nFile is: C:\\bells\\tenor.wav\nNominal: 500.000000\n"
        "Freq., Ampl., Cents, Partial, Note\n"
        "125.0,1.0,0,x,y\n250.0, 2.0,0\n300,3,0\n500,4e0,0,nominal\n1000,1,0\n";
    ASSERT_EQ(Parse(text, table), PartialsFileRead);
    ASSERT_EQ(table.count, 5);
    EXPECT_EQ(table.nominal, 500.0);
    EXPECT_EQ(table.tailAmplitude[1], 2.0);
    EXPECT_EQ(table.splashAmplitude[1], 0.0);
    EXPECT_EQ(table.partialIndex[3], 3);
}

TEST(PartialsFileRead, TheNominalFollowsTheLastColonOfAWholeHeaderLine) {
    PartialTable table;
    const std::string body = "hdr\r\n" + Row(500, 4);
    ASSERT_EQ(Parse("Partials\r\nwave file is C:\\bells\\tenor.wav, nominal: 523.25\r\n" + body, table),
              PartialsFileRead);
    EXPECT_EQ(table.nominal, 523.25);
    // A header line far longer than 79 characters is still one line.
    const std::string longName(300, 'n');
    ASSERT_EQ(Parse("Partials\r\nwave file is " + longName + ", nominal: 440.5\r\n" + body, table),
              PartialsFileRead);
    EXPECT_EQ(table.nominal, 440.5);
    for (const char* bad : {"nominal: nan", "nominal: inf", "nominal: 1e999", "nominal", "nominal: x"}) {
        ASSERT_EQ(Parse(std::string("Partials\r\nwave file is x, ") + bad + "\r\n" + body, table),
                  PartialsFileRead)
            << bad;
        EXPECT_EQ(table.nominal, 0.0) << bad;
    }
}

TEST(PartialsFileRead, MoreThanTwentyFiveRowsKeepTheStrongest) {
    std::string text = kLongHeader;
    for (int i = 0; i < 30; ++i) text += Row(100.0 + 10.0 * i, 1.0 + i);
    PartialTable table;
    ASSERT_EQ(Parse(text, table), PartialsFileRead);
    ASSERT_EQ(table.count, 25);
    for (int row = 0; row < 25; ++row) EXPECT_EQ(table.frequency[row], 150.0 + 10.0 * row) << row;
}

TEST(PartialsFileRead, FaultyFilesGiveTheirCodeNeverACrash) {
    std::mt19937 random(7);
    std::string binary(4096, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    const std::string megaLine(1 << 20, '7');
    const struct {
        const char* name;
        std::string text;
        std::int16_t code, rows;
    } cases[] = {
        {"empty", "", PartialsFileNotPartials, 0},
        {"lower-case title", "partials\r\nwave file is , nominal: 1\r\nhdr\r\n" + BellRows(), PartialsFileNotPartials, 0},
        {"unknown layout", "Partials\r\nthe wave file is x\r\nhdr\r\n" + BellRows(), PartialsFileNotPartials, 0},
        {"title only", "Partials\r\n", PartialsFileFormatError, 0},
        {"no column line", "Partials\r\nwave file is x, nominal: 500", PartialsFileFormatError, 0},
        {"short, lower-case nominal", "Partials\nFile is: x\nnominal: 500\nhdr\n125,1,0\n", PartialsFileNoNominal, 0},
        {"short, no nominal line", "Partials\nFile is: x\n", PartialsFileNoNominal, 0},
        {"short, no column line", "Partials\nFile is: x\nNominal: 500\n", PartialsFileFormatError, 0},
        {"five numbers", kLongHeader + "500.0,0,4,0,0\r\n", PartialsFileFormatError, 0},
        // "%lf," needs the comma straight after the number.
        {"space before comma", kLongHeader + "500.0 ,0,4,0,0,0,,\r\n", PartialsFileFormatError, 0},
        {"blank lines skipped, end stops",
         kLongHeader + "\r\n" + Row(125, 1) + "   \r\n\r\n" + Row(250, 2) + "end\r\n" + Row(300, 3), PartialsFileRead, 2},
        {"nan stops the rows", kLongHeader + Row(125, 1) + "250,0,nan,0,0,0,,\r\n" + Row(300, 3), PartialsFileRead, 1},
        {"overflowing frequency", kLongHeader + "1e400,0,1,0,0,0,,\r\n", PartialsFileFormatError, 0},
        {"zero frequencies", kLongHeader + Row(0, 1) + Row(0, 2), PartialsFileFormatError, 0},
        {"binary data", binary, PartialsFileNotPartials, 0},
        {"binary rows", kLongHeader + binary, PartialsFileFormatError, 0},
        {"missing last line end", kLongHeader + Row(125, 1) + "250,0,2,0,0,0,,", PartialsFileRead, 2},
        {"huge but finite numbers", kLongHeader + "1e300,0,1e308,0,0,0,,\r\n", PartialsFileRead, 1},
        {"overflowing amplitude", kLongHeader + "100,0,1e309,0,0,0,,\r\n", PartialsFileFormatError, 0},
        {"NaN row", kLongHeader + "NAN,0,1,0,0,0,,\r\n", PartialsFileFormatError, 0},
        {"1 MB row", kLongHeader + megaLine + "\r\n" + Row(125, 1), PartialsFileFormatError, 0},
        {"1 MB name", "Partials\r\nwave file is " + megaLine + ", nominal: 500\r\nhdr\r\n" + Row(125, 1),
         PartialsFileFormatError, 0},
        {"NUL inside a line",
         std::string("Partials\0junk\r\n", 15) + "wave file is x, nominal: 1\r\nhdr\r\n" + Row(125, 1), PartialsFileRead, 1},
        {"only line ends", "\r\n\r\n\r\n", PartialsFileNotPartials, 0},
        {"lone CRs", "Partials\rwave file is x\r", PartialsFileFormatError, 0},
    };
    for (const auto& c : cases) {
        PartialTable table;
        EXPECT_EQ(Parse(c.text, table), c.code) << c.name;
        EXPECT_EQ(table.count, c.rows) << c.name;
    }
}

TEST(PartialsFileRead, FileLinesMatchMemoryLinesAcrossBlockBoundaries) {
    // A CR as the last byte of the reader's first 64 KiB block, its LF
    // first in the next one; a long line spanning blocks.
    std::string text = std::string(65535 - 1, 'a') + "\r\n" + std::string(200000, 'b') + "\r\nc\r";
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    MemoryLines memory(text);
    FileLines fromFile(file);
    std::string a;
    std::string b;
    int lines = 0;
    while (memory.Next(a)) {
        ASSERT_TRUE(fromFile.Next(b));
        EXPECT_EQ(a, b) << lines;
        EXPECT_EQ(a.find('\r'), std::string::npos) << lines;
        ++lines;
    }
    EXPECT_FALSE(fromFile.Next(b));
    std::fclose(file);
    EXPECT_EQ(lines, 3);
}

TEST(PartialsFileSave, RoundTripThroughAFileUnderACommaLocale) {
    PartialTable written;
    const double freqs[] = {130.1234567, 261.0, 312.5, 523.2500004, 1046.9};
    for (int i = 0; i < 5; ++i) written.AddPeak(freqs[i], 0.5 * i, 2.0 + i, 0.1, 0.2, NoPartial);
    written.nominal = written.FindNominal(false, 0.0, 5000.0);
    written.UpdateCentsAndNotes();
    ASSERT_GT(written.nominal, 0.0);

    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    TemporaryFolder folder;
    const std::string path = folder.File("bell.par");
    ASSERT_TRUE(SavePartialsFile(path, written, "bell.wav"));
    PartialTable read;
    const std::int16_t code = ReadPartialsFile(path, read);
    std::setlocale(LC_ALL, previous.c_str());

    ASSERT_EQ(code, PartialsFileRead);
    ASSERT_EQ(read.count, written.count);
    EXPECT_EQ(read.nominal, 523.25);
    for (int i = 0; i < read.count; ++i) {
        double rounded = 0.0;
        ASSERT_TRUE(ParseWholeDouble(FormatFixed6(written.frequency[i]), rounded));
        EXPECT_EQ(read.frequency[i], rounded) << i;
        EXPECT_EQ(read.partialIndex[i], written.partialIndex[i]) << i;
    }
    // What was read writes back to the same bytes: amplitudes, decay, names
    // and notes survived too.
    EXPECT_EQ(FormatPartials(read, "bell.wav"), ReadWholeFile(path));
}

TEST(PartialsFileOpen, UnreadablePathsGiveCodeOneAndLeaveTheTable) {
    TemporaryFolder folder;
    PartialTable table;
    table.AddPeak(440.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    EXPECT_EQ(ReadPartialsFile(folder.File("missing.par"), table), PartialsFileOpenFailed);
    EXPECT_EQ(ReadPartialsFile(folder.Path(), table), PartialsFileOpenFailed);
    EXPECT_EQ(table.count, 1);
}

TEST(PartialsFileOpen, EveryCodeHasItsMessage) {
    const char* texts[] = {"", "Failed to open file!", "No file selected!", "Not a partials file!",
                           "File format error!", "No nominal in file!", ""};
    for (std::int16_t code = 0; code < 7; ++code) EXPECT_EQ(PartialsFileMessage(code), texts[code]) << code;
}

}  // namespace
