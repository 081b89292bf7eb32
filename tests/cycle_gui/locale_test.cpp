// A whole session under a comma-decimal locale (German) gives the same files
// and texts as under C: no number on screen or in a file follows the locale.
#include <QLocale>
#include <clocale>
#include <cstdio>

#include "cycle_fixture.h"

namespace {

TEST_F(CycleTest, ACommaDecimalLocaleChangesNoFileAndNoText) {
    const std::vector<std::string> c = TunersSession();
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/setup generates de_DE.UTF-8";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the C library now writes decimal commas";
    EXPECT_EQ(TunersSession(), c);
}

}  // namespace
