#include "data/regional_settings.h"

#include <gtest/gtest.h>

namespace kapred {
namespace {

UserLocale userLocale(const char* decimal, const char* thousands) {
    return UserLocale{"test", {decimal, thousands, decimal, thousands}};
}

TEST(RegionalSettings, PointDecimalUserGetsCommaWhileRunningAndHisOwnBackAtExit) {
    RegionalSettings settings(userLocale(".", ","));
    settings.SetRegionalSettings();
    EXPECT_EQ(settings.current().decimal, ",");
    EXPECT_EQ(settings.current().thousands, ".");
    EXPECT_EQ(settings.current().monetaryDecimal, ",");
    EXPECT_EQ(settings.current().monetaryThousands, ".");
    EXPECT_EQ(settings.numberFormat().decimal, ',');
    EXPECT_EQ(settings.numberFormat().thousands, '.');
    EXPECT_EQ(settings.saved().decimal, ".");
    EXPECT_EQ(settings.saved().thousands, ",");

    settings.RestoreRegionalSettings();
    EXPECT_EQ(settings.current().decimal, ".");
    EXPECT_EQ(settings.current().thousands, ",");
    EXPECT_EQ(settings.numberFormat().decimal, '.');
    EXPECT_EQ(settings.numberFormat().thousands, ',');
}

TEST(RegionalSettings, CommaDecimalUserSeesNoChange) {
    RegionalSettings settings(userLocale(",", "."));
    settings.SetRegionalSettings();
    EXPECT_EQ(settings.current().decimal, ",");
    settings.RestoreRegionalSettings();
    EXPECT_EQ(settings.current().decimal, ",");
    EXPECT_EQ(settings.current().thousands, ".");
}

TEST(RegionalSettings, BlankOrApostropheSeparatorsAreNotRestored) {
    for (const char* odd : {" ", "'", "\u202f", ""}) {
        RegionalSettings settings(userLocale(",", odd));
        settings.SetRegionalSettings();
        settings.RestoreRegionalSettings();
        EXPECT_EQ(settings.current().thousands, ".") << "[" << odd << "]";
        EXPECT_EQ(settings.numberFormat().decimal, ',');
        EXPECT_EQ(settings.numberFormat().thousands, '.');
    }
}

TEST(RegionalSettings, ReadingTheUserLocaleNeverFails) {
    const UserLocale user = readUserLocale();
    EXPECT_FALSE(user.identifier.empty());
    EXPECT_FALSE(user.separators.decimal.empty());
}

}  // namespace
}  // namespace kapred
