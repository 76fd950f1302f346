// The program's own separators while it runs, and the user's given back at the exit.
#include "data/regional_settings.h"

#include <gtest/gtest.h>

namespace kapred {
namespace {

UserLocale userLocale(const char* decimal, const char* thousands) {
    return UserLocale{"test", {decimal, thousands, decimal, thousands}};
}

TEST(RegionalSettings, TheProgramsSeparatorsWhileRunningAndTheUsersAtTheExit) {
    RegionalSettings settings(userLocale(".", ","));
    settings.SetRegionalSettings();
    const auto& running = settings.current();
    EXPECT_EQ(running.decimal + running.thousands + running.monetaryDecimal + running.monetaryThousands, ",.,.");
    EXPECT_EQ((std::string{settings.numberFormat().decimal, settings.numberFormat().thousands}), ",.");
    settings.RestoreRegionalSettings();
    EXPECT_EQ(settings.current().decimal + settings.current().thousands, ".,");
    EXPECT_EQ((std::string{settings.numberFormat().decimal, settings.numberFormat().thousands}), ".,");

    // Blank or apostrophe separators of the user are not given back.
    for (const char* odd : {" ", "'", "\u202f", ""}) {
        RegionalSettings other(userLocale(",", odd));
        other.SetRegionalSettings();
        other.RestoreRegionalSettings();
        EXPECT_EQ(other.current().thousands, ".") << "[" << odd << "]";
        EXPECT_EQ((std::string{other.numberFormat().decimal, other.numberFormat().thousands}), ",.");
    }
    EXPECT_FALSE(readUserLocale().separators.decimal.empty());
}

}  // namespace
}  // namespace kapred
