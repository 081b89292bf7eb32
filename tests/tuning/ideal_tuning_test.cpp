// A founder's ideal read from text.
#include <gtest/gtest.h>

#include "tuning/ideal_tuning.h"

namespace {

TEST(IdealTuning, FounderFile) {
    IdealTuning ideal;
    std::int16_t code = 0;
    int line = -1;
    ASSERT_TRUE(ParseIdealTuning("# Taylor-style\n hum , -2400\nprime,-1195.5 # a little sharp\n\noct. nom.,1200\r\n",
                                 "founder.txt", ideal, code, line));
    EXPECT_EQ(ideal.name, "founder.txt");
    EXPECT_EQ(ideal.centsByPartial[0], -2400.0);
    EXPECT_EQ(ideal.centsByPartial[1], -1195.5);
    EXPECT_EQ(ideal.centsByPartial[5], 1200.0);
    EXPECT_FALSE(ideal.centsByPartial[3].has_value());

    struct Bad {
        const char* text;
        std::int16_t code;
        int line;
    };
    for (const Bad& bad : {Bad{"hum,-2400\nprime -1200\n", kIdealLineNoComma, 2},
                           Bad{"hum,-2400\n\nfifth,700\n", kIdealUnknownPartial, 3},
                           Bad{"tierce,-900 cents\n", kIdealBadCents, 1},
                           Bad{"tierce,nan\n", kIdealBadCents, 1},
                           Bad{"quint,-500\nquint,-498\n", kIdealDuplicate, 2},
                           Bad{"# nothing\n\n", kIdealEmpty, 0}}) {
        SCOPED_TRACE(bad.text);
        IdealTuning kept = JustTuning();
        EXPECT_FALSE(ParseIdealTuning(bad.text, "bad.txt", kept, code, line));
        EXPECT_EQ(code, bad.code);
        EXPECT_EQ(line, bad.line);
        EXPECT_EQ(kept.name, "just");
    }
    EXPECT_FALSE(ReadIdealTuning("/dev/zero", ideal, code, line));
    EXPECT_EQ(code, kIdealFileUnreadable);
}

}  // namespace
