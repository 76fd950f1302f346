#include "generation/record_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <vector>

#include "data/values/error.h"
#include "data/windows1252.h"
#include "support/checks.h"

namespace kapred {
namespace {

using test::errorNumber;
using test::scaled;

// ---- Field encodings -------------------------------------------------------------------------

TEST(FieldEncodings, AmountsNumbersDatesTextsAndCuits) {
    const std::pair<std::string, std::string> encoded[] = {
        // I15: fifteen digits with two implied decimals, ties away from zero.
        {encodeAmount(Currency()), "000000000000000"},
        {encodeAmount(scaled(12345000)), "000000000123450"},           // 1.234,5
        {encodeAmount(scaled(99999999999999900)), "999999999999999"},  // 9.999.999.999.999,99
        {encodeAmount(1.5), "000000000000150"},                        // a rate of 0,015 as a percentage
        {encodeAmount(scaled(12345650)), "000000000123457"},           // 1.234,565
        {encodeAmount(scaled(12345649)), "000000000123456"},
        {encodeAmount(0.125), "000000000000013"},
        {encodeAmount(1.005), "000000000000101"},  // the double just below 1,005
        // A negative amount carries the sign digit and keeps fourteen digits, from 10^12 on at the
        // cost of its highest digit; the sign is the value's even when the magnitude rounds to 0.
        {encodeAmount(scaled(-10000000)), "100000000100000"},
        {encodeAmount(-1000.0), "100000000100000"},
        {encodeAmount(scaled(-23456789012345600)), "134567890123456"},
        {encodeAmount(scaled(-49)), "100000000000000"},
        {encodeAmount(scaled(-50)), "100000000000001"},
        // Too large: longer, and so refused by the length check.
        {encodeAmount(scaled(100000000000000000)), "1000000000000000"},
        {encodeAmount(1e20), "1" + std::string(22, '0')},
        // N(w, d): zero-padded with implied decimals, rounded; negative or too large comes out longer.
        {encodeNumber(Currency(), 2, 0), "00"},
        {encodeNumber(Currency::fromUnits(200400), 6, 0), "200400"},
        {encodeNumber(scaled(123450), 5, 2), "01235"},  // 12,345 in 000.00
        {encodeNumber(369.0, 4, 0), "0369"},
        {encodeNumber(scaled(20045000), 6, 0), "002005"},  // 2.004,5
        {encodeNumber(scaled(20044999), 6, 0), "002004"},
        {encodeNumber(scaled(-4000), 2, 0), "00"},  // -0,4 is no negative number
        {encodeNumber(2.5, 1, 0), "3"},
        {encodeNumber(Currency::fromUnits(-1), 2, 0), "-01"},
        {encodeNumber(Currency::fromUnits(123), 2, 0), "123"},
        {encodeNumber(scaled(1234500), 4, 2), "12345"},
        // D8, X (one byte per character in the file; what the code page lacks is "?"), CUIT.
        {encodeDate(DateTime::fromDate(1800, 1, 1)), "18000101"},
        {encodeDate(DateTime::fromDate(2005, 3, 9)), "20050309"},
        {encodeDate(DateTime::fromDate(999, 12, 31)), "09991231"},
        {encodeText("DJ sin plan", 25), "DJ sin plan              "},
        {encodeText("abcdef", 3), "abc"},
        {encodeText("", 4), "    "},
        {encodeText("Peña", 6),
         "Pe\xF1"
         "a  "},
        {encodeText("ñandú", 3),
         "\xF1"
         "an"},
        {encodeText("“x”", 3), "\x93x\x94"},
        {encodeText("a→b", 4), "a?b "},
        {encodeCuit("20-12345678-9"), "20123456789"},
        {encodeCuit("2012345678"), "2012345678"},
    };
    for (const auto& [result, expected] : encoded) {
        EXPECT_EQ(result, expected);
    }
    DateTime stamped = DateTime::fromDate(2005, 3, 5);
    stamped.time = std::chrono::hours(14) + std::chrono::minutes(30);
    EXPECT_EQ(encodeDate(stamped), "20050305");
    EXPECT_EQ(errorNumber([] { encodeAmount(std::numeric_limits<double>::quiet_NaN()); }), err::kOverflow);
}

// ---- Windows-1252 ----------------------------------------------------------------------------

TEST(Windows1252, OneByteForEveryCharacterAndEveryByteBack) {
    EXPECT_EQ(toWindows1252("€ñÜ¿"), "\x80\xF1\xDC\xBF");
    EXPECT_EQ(toWindows1252("日本"), "??");
    // Malformed UTF-8: a lone continuation byte, a truncated sequence, an overlong form.
    EXPECT_EQ(toWindows1252("a\x80"
                            "b"),
              "a?b");
    EXPECT_EQ(toWindows1252("a\xC3"), "a?");
    EXPECT_EQ(toWindows1252("\xC0\xAF"), "??");
    // Longer than one conversion block.
    std::string many;
    for (int i = 0; i < 3000; ++i) {
        many += "ñ";
    }
    EXPECT_EQ(toWindows1252(many), std::string(3000, '\xF1'));

    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    const std::string text = fromWindows1252(bytes);
    EXPECT_EQ(fromWindows1252("\x80\xF1"), "€ñ");
    EXPECT_EQ(fromWindows1252("\x81"), "\xC2\x81");
    EXPECT_EQ(toWindows1252(text), bytes);
}

// ---- Record layouts --------------------------------------------------------------------------

// A layout with every encoding.
constexpr Field kSampleFields[] = {
    field::constant("T9", 1, 2),       field::cuit("CUIT", 3),           field::text("sNombre", 14, 10),
    field::number("iCantidad", 24, 4), field::number("cTasa", 28, 5, 2), field::constant("0369", 33, 4),
    field::date("fFecha", 37),         field::amount("cImporte", 45),
};
constexpr RecordLayout kSample{"T9", kSampleFields};
static_assert(isWellFormed(kSample) && kSample.length() == 59 && kSample.valueCount() == 6);

std::vector<Variant> sampleValues() {
    return {Variant("20123456789"),          Variant("Peña Coop"),     Variant(std::int32_t{7}), Variant(1.5),
            DateTime::fromDate(2005, 3, 15), Variant(scaled(12345000))};
}

TEST(RecordLayout, ValuesAreCleanedAndReadWithTheProgramSeparators) {
    auto values = sampleValues();
    values[3] = Variant("1,5");
    values[5] = Variant("1.234,5");
    EXPECT_EQ(formatRecord(kSample, values),
              "T920123456789Pe\xF1"
              "a Coop 0007001500369200503150000000001234"
              "50");
    // Control characters become spaces without shifting the layout.
    values = sampleValues();
    values[1] = Variant("Co\top\x01“x”");
    const auto record = formatRecord(kSample, values);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->substr(13, 10), "Co op  x  ");
    EXPECT_EQ(record->substr(23), "000700150036920050315000000000123450");

    std::string bytes =
        "\t\x01\x1F \x7F\x80\x9F\xA0\xFF"
        "A";
    cleanRecord(bytes);
    EXPECT_EQ(bytes,
              "    \x7F  \xA0\xFF"
              "A");
}

TEST(RecordLayout, WrongLengthsAndUnformattableValuesWriteNothing) {
    struct Case {
        std::size_t index;
        Variant value;
    };
    const std::vector<Case> cases{
        {5, Variant(scaled(100000000000000000))},  // 10^13 needs 16 characters
        {2, Variant(std::int32_t{-1})},            // N(4, 0) of -1 is "-0001"
        {2, Variant(std::int32_t{12345})},         // five digits in N(4, 0)
        {0, Variant("2012345678")},                // a CUIT of ten digits
    };
    for (const Case& each : cases) {
        auto values = sampleValues();
        values[each.index] = each.value;
        std::ostringstream out;
        EXPECT_FALSE(formatRecord(kSample, values).has_value()) << each.value;
        EXPECT_FALSE(writeRecord(out, kSample, values)) << each.value;
        EXPECT_EQ(out.str(), "") << each.value;
    }
    // A text too long for its field is cut: the record keeps its length.
    auto values = sampleValues();
    values[1] = Variant("Cooperativa de Trabajo Limitada");
    EXPECT_TRUE(formatRecord(kSample, values).has_value());

    auto nullAmount = sampleValues();
    nullAmount[5] = Variant::null();
    EXPECT_EQ(errorNumber([&] { buildRecord(kSample, nullAmount); }), err::kInvalidUseOfNull);
    auto textDate = sampleValues();
    textDate[4] = Variant("mañana");
    EXPECT_EQ(errorNumber([&] { buildRecord(kSample, textDate); }), err::kTypeMismatch);
    auto textNumber = sampleValues();
    textNumber[2] = Variant("1234.5");  // wrongly grouped: not a number
    EXPECT_EQ(errorNumber([&] { buildRecord(kSample, textNumber); }), err::kTypeMismatch);
    auto tooFew = sampleValues();
    tooFew.pop_back();
    EXPECT_EQ(errorNumber([&] { buildRecord(kSample, tooFew); }), 5);
}

TEST(RecordLayout, MalformedTablesAreRecognised) {
    constexpr Field gap[] = {field::constant("01", 1, 2), field::text("a", 4, 2)};
    constexpr Field overlap[] = {field::constant("01", 1, 2), field::text("a", 2, 2)};
    constexpr Field notFromOne[] = {field::text("a", 2, 2)};
    constexpr Field longConstant[] = {field::constant("0369", 1, 3)};
    constexpr Field shortAmount[] = {{"cImporte", 1, 14, Encoding::Amount}};
    constexpr Field allDecimals[] = {field::number("n", 1, 2, 2)};
    constexpr Field emptyText[] = {field::text("a", 1, 0)};
    EXPECT_FALSE(isWellFormed({"x", gap}));
    EXPECT_FALSE(isWellFormed({"x", overlap}));
    EXPECT_FALSE(isWellFormed({"x", notFromOne}));
    EXPECT_FALSE(isWellFormed({"x", longConstant}));
    EXPECT_FALSE(isWellFormed({"x", shortAmount}));
    EXPECT_FALSE(isWellFormed({"x", allDecimals}));
    EXPECT_FALSE(isWellFormed({"x", emptyText}));
    EXPECT_FALSE(isWellFormed({"x", {}}));
}

}  // namespace
}  // namespace kapred
