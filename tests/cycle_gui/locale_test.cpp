// A whole session under a comma-decimal locale (German) gives the same files
// and texts as under C: no number on screen or in a file follows the locale.
#include <QLocale>
#include <clocale>
#include <cstdio>

#include "cycle_fixture.h"

namespace {

class LocaleTest : public CycleTest {
protected:
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        CycleTest::TearDown();
    }
};

TEST_F(LocaleTest, ACommaDecimalLocaleChangesNoFileAndNoText) {
    const std::vector<std::string> c = TunersSession();
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/setup generates de_DE.UTF-8";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the C library now writes decimal commas";
    const std::vector<std::string> german = TunersSession();
    ASSERT_EQ(german.size(), c.size());
    for (std::size_t i = 0; i < c.size(); ++i) EXPECT_EQ(german[i], c[i]) << i;
    const auto has = [&german](const std::string& text) { return std::find(german.begin(), german.end(), text) != german.end(); };
    EXPECT_TRUE(has("id1014=1.02") && has("id1044=2000") && has("id1043=100.5")) << "typed numbers read with a point";
}

}  // namespace
