#include "app/cuit.h"

#include <gtest/gtest.h>

namespace kapred {
namespace {

TEST(FormatCuit, AddsAndStripsDashes) {
    EXPECT_EQ(sFormatCuit("20123456789", true), "20-12345678-9");
    EXPECT_EQ(sFormatCuit("20-12345678-9", true), "20-12345678-9");
    EXPECT_EQ(sFormatCuit("20-12345678-9", false), "20123456789");
    EXPECT_EQ(sFormatCuit("20123456789", false), "20123456789");
}

TEST(FormatCuit, LongOrAbsentValues) {
    EXPECT_EQ(sFormatCuit("20-123456789-01", true), "20-123456789-01");  // 15 characters
    EXPECT_EQ(sFormatCuit("2012345678901234", false), "2012345678901234");
    EXPECT_EQ(sFormatCuit("12345678901234", true), "12345678901234");  // 14 characters
    EXPECT_EQ(sFormatCuit(std::nullopt, true), "");
    EXPECT_EQ(sFormatCuit(std::nullopt, false), "");
    // Short values never fail, they just come out short.
    EXPECT_EQ(sFormatCuit("", true), "--");
    EXPECT_EQ(sFormatCuit("1-", false), "1--");  // "1-" + "" + "-"
}

TEST(CommandLineCuit, AcceptsElevenDigitsWithOrWithoutDashes) {
    EXPECT_EQ(commandLineCuit("20-12345678-9"), "20123456789");
    EXPECT_EQ(commandLineCuit("20123456789"), "20123456789");
    EXPECT_EQ(commandLineCuit("  30712345678 "), "30712345678");
}

TEST(CommandLineCuit, RefusesEverythingElse) {
    for (const char* bad : {"", "   ", "abc", "201234567890", "2012345678", "1e5", "20-1234567-89",
                            "20-12345678-9 extra", "-20123456789", "20.123.456.789", "20 12345678 9"}) {
        EXPECT_FALSE(commandLineCuit(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace kapred
