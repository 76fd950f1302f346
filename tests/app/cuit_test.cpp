#include "app/cuit.h"

#include <gtest/gtest.h>

namespace kapred {
namespace {

TEST(FormatCuit, AddsAndStripsDashesAndNeverFails) {
    const std::tuple<std::optional<std::string>, bool, std::string> cases[] = {
        {"20123456789", true, "20-12345678-9"},
        {"20-12345678-9", true, "20-12345678-9"},
        {"20-12345678-9", false, "20123456789"},
        {"20123456789", false, "20123456789"},
        {"20-123456789-01", true, "20-123456789-01"},
        {"12345678901234", true, "12345678901234"},
        {"2012345678901234", false, "2012345678901234"},
        {std::nullopt, true, ""},
        {"", true, "--"},
        {"1-", false, "1--"},  // short values come out short
    };
    for (const auto& [given, dashes, expected] : cases) {
        EXPECT_EQ(sFormatCuit(given, dashes), expected) << given.value_or("(nada)");
    }
}

TEST(CommandLineCuit, ElevenDigitsWithOrWithoutDashesAndNothingElse) {
    EXPECT_EQ(commandLineCuit("20-12345678-9"), "20123456789");
    EXPECT_EQ(commandLineCuit("  30712345678 "), "30712345678");
    for (const char* bad : {"", "   ", "abc", "201234567890", "2012345678", "1e5", "20-1234567-89",
                            "20-12345678-9 extra", "-20123456789", "20.123.456.789", "20 12345678 9"}) {
        EXPECT_FALSE(commandLineCuit(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace kapred
