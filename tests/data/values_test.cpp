// The value types: exact amounts and their roundings and overflows, what counts as a number,
// calendar dates and serial numbers, and the Variant's conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

#include "data/values/datetime.h"
#include "data/values/numeric_text.h"
#include "data/values/text.h"
#include "data/values/variant.h"
#include "support/checks.h"

namespace kapred {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using test::errorNumber;
using test::scaled;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
const NumberFormat kEnglish{'.', ','};

// ---- Currency --------------------------------------------------------------------------------

TEST(CurrencyTest, ExactSumsRoundingsAndTheLimitsOfAnAmount) {
    // 0,1 + 0,2 is exactly 0,3; ten thousand ten-thousandths make exactly one unit.
    EXPECT_EQ(scaled(1000) + scaled(2000), scaled(3000));
    Currency total;
    for (int i = 0; i < 10000; ++i) {
        total += scaled(1);
    }
    EXPECT_EQ(total, Currency::fromUnits(1));
    EXPECT_EQ((Currency::max() - scaled(1)) + scaled(1), Currency::max());
    EXPECT_EQ(-Currency::max(), scaled(-INT64_MAX));
    EXPECT_EQ(Currency::fromUnits(922337203685477), scaled(9223372036854770000));

    // One step beyond either end is an overflow, and a running total stays as it was.
    Currency running = Currency::max();
    Currency falling = Currency::min();
    for (const auto& overflow : std::initializer_list<std::function<void()>>{
             [] { (void)(Currency::max() + scaled(1)); }, [] { (void)(Currency::min() - scaled(1)); },
             [] { (void)(-Currency::min()); }, [] { (void)Currency::fromUnits(922337203685478); },
             [&] { running += scaled(5); }, [&] { falling -= scaled(5); },
             [] { (void)(Currency::fromUnits(100000000) * Currency::fromUnits(100000000)); },
             [] { (void)Currency::max().roundTo(0); }, [] { (void)Currency::min().roundTo(1); },
             [] { (void)Currency::mulDiv(Currency::max(), scaled(20000), scaled(10000), 2); }}) {
        EXPECT_EQ(errorNumber(overflow), err::kOverflow);
    }
    EXPECT_EQ(running, Currency::max());
    EXPECT_EQ(falling, Currency::min());
    EXPECT_EQ(errorNumber([] { (void)(Currency::fromUnits(1) / Currency()); }), 11);
    EXPECT_EQ(errorNumber([] { (void)Currency::mulDiv(scaled(10000), scaled(10000), Currency(), 2); }), 11);

    const struct {
        Currency result, expected;
    } cases[] = {
        // 1,2345 x 1,5 = 1,85175: the fifth decimal is a tie.
        {scaled(12345) * scaled(15000), scaled(18518)},
        {scaled(-12345) * scaled(15000), scaled(-18518)},
        {scaled(12345) * scaled(-15000), scaled(-18518)},
        {scaled(1) * scaled(5000), scaled(1)},
        {scaled(1) * scaled(4999), scaled(0)},
        {Currency::fromUnits(1000000) * Currency::fromUnits(1000000), Currency::fromUnits(1000000000000)},
        // 10 / 3, 20 / 3, 1 / 8.
        {Currency::fromUnits(10) / Currency::fromUnits(3), scaled(33333)},
        {Currency::fromUnits(20) / Currency::fromUnits(3), scaled(66667)},
        {Currency::fromUnits(-20) / Currency::fromUnits(3), scaled(-66667)},
        {Currency::fromUnits(1) / Currency::fromUnits(8), scaled(1250)},
        // 0,125 -> 0,13 and 0,145 -> 0,15 (not to the even 0,14); 2,5 -> 3.
        {scaled(1250).roundTo(2), scaled(1300)},
        {scaled(-1250).roundTo(2), scaled(-1300)},
        {scaled(1450).roundTo(2), scaled(1500)},
        {scaled(1249).roundTo(2), scaled(1200)},
        {scaled(-1249).roundTo(2), scaled(-1200)},
        {scaled(12345678).roundTo(2), scaled(12345700)},
        {scaled(25000).roundTo(0), scaled(30000)},
        {scaled(-25000).roundTo(0), scaled(-30000)},
        {scaled(12345).roundTo(6), scaled(12345)},
        // Near the ends: 922.337.203.685.477,5807 -> ...477,58 still fits.
        {Currency::max().roundTo(2), scaled(9223372036854775800)},
        {Currency::min().roundTo(2), scaled(-9223372036854775800)},
        // The exact share rounded once: 1 x 0,0149 / 3 = 0,004966... (a first rounding to 0,0050
        // would give a cent); 0,005 is a tie.
        {Currency::mulDiv(scaled(10000), scaled(149), scaled(30000), 2), scaled(0)},
        {Currency::mulDiv(scaled(10000), scaled(99), scaled(20000), 2), scaled(0)},
        {Currency::mulDiv(scaled(10000), scaled(100), scaled(20000), 2), scaled(100)},
        {Currency::mulDiv(scaled(-10000), scaled(100), scaled(20000), 2), scaled(-100)},
        {Currency::mulDiv(scaled(10000), scaled(100), scaled(-20000), 2), scaled(-100)},
        // 100.000 x 10.000 / 133.333 = 7.500,01875004...
        {Currency::mulDiv(scaled(1000000000), scaled(100000000), scaled(1333330000), 2), scaled(75000200)},
        {Currency::mulDiv(scaled(1000000000), scaled(100000000), scaled(1333330000), 4), scaled(75000188)},
        // The product is kept whole however large it is; only the result must fit.
        {Currency::mulDiv(Currency::max(), Currency::max(), Currency::max(), 4), Currency::max()},
        {Currency::mulDiv(Currency::max(), Currency::max(), Currency::max(), 2), scaled(9223372036854775800)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].result, cases[i].expected) << "case " << i;
    }

    const std::pair<double, std::int64_t> taken[] = {
        {1234.5, 12345000}, {-0.25, -2500}, {1.23456, 12346}, {-1.23456, -12346}, {0.0, 0}};
    for (const auto& [value, expected] : taken) {
        EXPECT_EQ(Currency::fromDouble(value), scaled(expected)) << value;
    }
    EXPECT_TRUE(Currency::fromDouble(922337203685477.0).has_value());
    for (const double refused : {kNaN, kInfinity, -kInfinity, 1e15, -1e15, 922337203685477.6}) {
        EXPECT_FALSE(Currency::fromDouble(refused)) << refused;
    }
    EXPECT_DOUBLE_EQ(scaled(12345000).toDouble(), 1234.5);
    EXPECT_EQ(scaled(12345000).toPlainString(), "1234.5");
    EXPECT_EQ(scaled(-1).toPlainString(), "-0.0001");
    EXPECT_EQ(scaled(-30000).toPlainString(), "-3");
    EXPECT_EQ(Currency::min().toPlainString(), "-922337203685477.5808");
}

// ---- Numeric text ----------------------------------------------------------------------------

TEST(NumericTextTest, ANumberIsReadWithItsGroupsAndWrittenWithThem) {
    for (const char* numeric : {"1.234,5", "-12", " 12 ", ",5", "+7", "- 12", "1.234.567,891", "0", "\t3,25\t"}) {
        EXPECT_TRUE(isNumeric(numeric)) << numeric;
    }
    // A wrong grouping is no number: "1234.5" is never 12345.
    for (const char* text : {"1234.5", "1.23", "1.2345", "1..234", ".123", "1e5", "", "   ", "abc", "12-", "-", ",",
                             "1,2,3", "1 234", "1.234,5x", "--1"}) {
        EXPECT_FALSE(isNumeric(text)) << text;
        EXPECT_FALSE(parseCurrency(text)) << text;
    }
    EXPECT_TRUE(isNumeric("1,234.5", kEnglish));
    EXPECT_FALSE(isNumeric("1234,5", kEnglish));

    const std::pair<const char*, std::int64_t> read[] = {
        {"1.234,5", 12345000},
        {"-12", -120000},
        {" 12 ", 120000},
        {",5", 5000},
        {"000123", 1230000},
        {"0,00005", 1},
        {"0,00004999", 0},
        {"-0,00005", -1},
        {"1,23456", 12346},
        // Sixteen digits that no double holds exactly come through unchanged.
        {"922.337.203.685,4775", 9223372036854775},
    };
    for (const auto& [text, expected] : read) {
        EXPECT_EQ(parseCurrency(text), scaled(expected)) << text;
    }
    // The ends of the range, and one ten-thousandth beyond them.
    EXPECT_EQ(parseCurrency("922.337.203.685.477,5807"), Currency::max());
    EXPECT_EQ(parseCurrency("-922.337.203.685.477,5808"), Currency::min());
    for (const char* beyond :
         {"922.337.203.685.477,5808", "922.337.203.685.477,58075", "-922.337.203.685.477,5809", "99999999999999999"}) {
        EXPECT_FALSE(parseCurrency(beyond)) << beyond;
    }
    EXPECT_EQ(parseCurrency("1,234.5", kEnglish), scaled(12345000));
    EXPECT_EQ(parseDouble("20.123.456.789"), 20123456789.0);
    EXPECT_EQ(parseDouble("-0,25"), -0.25);
    EXPECT_FALSE(parseDouble("1234.5"));

    const std::pair<std::string, std::string> written[] = {
        {formatAmount(scaled(12345000)), "1.234,50"},
        {formatAmount(scaled(-5000)), "-0,50"},
        {formatAmount(scaled(1250)), "0,13"},
        {formatAmount(scaled(-1250)), "-0,13"},
        {formatAmount(scaled(9999950)), "1.000,00"},  // 999,995
        {formatAmount(scaled(-10)), "0,00"},          // -0,001 shows no minus sign
        {formatAmount(scaled(12345678910)), "1.234.567,89"},
        {formatAmount(scaled(12345678910), 2, false), "1234567,89"},
        {formatAmount(scaled(-1234567891000), 2), "-123.456.789,10"},
        {formatAmount(scaled(25000), 0), "3"},
        {formatAmount(scaled(1000), 4), "0,1000"},
        {formatAmount(scaled(1234000), 2, true, kEnglish), "123.40"},
        {formatAmount(scaled(12345000), 2, true, kEnglish), "1,234.50"},
        {formatAmount(Currency::min()), "-922.337.203.685.477,58"},
        {formatDouble(0.015), "0,015"},
        {formatDouble(0.1 + 0.2), "0,3"},
        {formatDouble(20123456789.0), "20123456789"},
        {formatDouble(1e20), "100000000000000000000"},
        {formatDouble(0.00001), "0,00001"},
        {formatDouble(1234.5, kEnglish), "1234.5"},
    };
    for (const auto& [result, expected] : written) {
        EXPECT_EQ(result, expected);
    }
}

// ---- Dates -----------------------------------------------------------------------------------

TEST(DateTest, CalendarDatesTextsIsoAndSerialNumbers) {
    EXPECT_EQ(parseDate("29/02/2004")->date(), std::chrono::year(2004) / 2 / 29);
    EXPECT_FALSE(parseDate("29/02/2004")->hasTime());
    EXPECT_EQ(parseDate("1/2/2004")->date(), std::chrono::year(2004) / 2 / 1);
    EXPECT_EQ(parseDate("01/01/1800")->date(), std::chrono::year(1800) / 1 / 1);
    for (const char* refused :
         {"31/02/2004", "29/02/2003", "29/02/1900", "31/04/2004", "00/01/2004", "32/01/2004", "01/13/2004", "01/01/04",
          "01/01/20041", "01-01-2004", "2004/01/01", "", "aa/bb/cccc", "01/01/-200", "01/01/2004 "}) {
        EXPECT_FALSE(parseDate(refused)) << refused;
    }
    for (const char* refused : {"2004-02-30", "2004-12-31 24:00:00", "2004-12-31 10:60:00", "2004-12-31T10:00:00",
                                "2004-12-31 10:00", "31/12/2004", "-200-01-01", ""}) {
        EXPECT_FALSE(fromIso(refused)) << refused;
    }

    DateTime stamped = DateTime::fromDate(2004, 12, 31);
    stamped.time = hours(23) + minutes(59) + seconds(58);
    EXPECT_EQ(formatDate(stamped), "31/12/2004 23:59:58");
    EXPECT_EQ(formatDate(DateTime::fromDate(1800, 1, 1)), "01/01/1800");
    EXPECT_EQ(toIso(stamped), "2004-12-31 23:59:58");
    EXPECT_EQ(fromIso("2004-12-31 23:59:58"), stamped);
    EXPECT_EQ(fromIso(toIso(DateTime::fromDate(1800, 1, 1))), DateTime::fromDate(1800, 1, 1));

    // Serial 0 is 30/12/1899; 01/01/1800 lies 36.522 days before (100 years with 24 leap days,
    // less two).
    const std::pair<DateTime, double> serials[] = {{DateTime::fromDate(1899, 12, 30), 0.0},
                                                   {DateTime::fromDate(1899, 12, 31), 1.0},
                                                   {DateTime::fromDate(1900, 1, 1), 2.0},
                                                   {DateTime::fromDate(2000, 1, 1), 36526.0},
                                                   {DateTime::fromDate(1800, 1, 1), -36522.0}};
    for (const auto& [date, serial] : serials) {
        EXPECT_EQ(toSerial(date), serial);
        EXPECT_EQ(fromSerial(serial), date);
    }
    EXPECT_EQ(fromSerial(36526.5)->time, hours(12));
    EXPECT_EQ(toSerial(*fromSerial(36526.5)), 36526.5);
    for (const double refused : {kNaN, kInfinity, 3e6}) {
        EXPECT_FALSE(fromSerial(refused)) << refused;
    }
}

// ---- Variant ---------------------------------------------------------------------------------

TEST(VariantTest, ConversionsAreFewAndExact) {
    EXPECT_EQ(Variant().toCurrency(), scaled(0));
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_FALSE(Variant().toDate());
    EXPECT_FALSE(Variant::null().toCurrency());
    EXPECT_FALSE(Variant::null().toDouble());
    EXPECT_NE(Variant::null(), Variant());

    // Text is read with the program's separators, or with those given.
    EXPECT_EQ(Variant("1.234,5").toCurrency(), scaled(12345000));
    EXPECT_FALSE(Variant("1234.5").toCurrency());
    EXPECT_FALSE(Variant("1234.5").toDouble());
    EXPECT_EQ(Variant("1234.5").toCurrency(kEnglish), scaled(12345000));
    // A Boolean True is -1; a date is its serial number.
    EXPECT_EQ(Variant(true).toCurrency(), scaled(-10000));
    EXPECT_EQ(Variant(std::int16_t{-7}).toCurrency(), scaled(-70000));
    EXPECT_FALSE(Variant(1e300).toCurrency());
    EXPECT_EQ(Variant(scaled(12345)).toDouble(), 1.2345);
    EXPECT_EQ(Variant(DateTime::fromDate(1899, 12, 31)).toCurrency(), scaled(10000));
    EXPECT_EQ(Variant("31/12/2004").toDate(), DateTime::fromDate(2004, 12, 31));
    EXPECT_FALSE(Variant("31/02/2004").toDate());
    EXPECT_EQ(Variant(std::int32_t{1}).toDate(), DateTime::fromDate(1899, 12, 31));
    EXPECT_FALSE(Variant(true).toDate());
    EXPECT_FALSE(Variant("1").isNumber());

    const std::pair<Variant, std::string> texts[] = {
        {Variant(std::int16_t{-7}), "-7"}, {Variant(scaled(12345000)), "1234,5"},
        {Variant(scaled(-1)), "-0,0001"},  {Variant(scaled(30000)), "3"},
        {Variant(0.015), "0,015"},         {Variant(true), "Verdadero"},
        {Variant(false), "Falso"},         {Variant(DateTime::fromDate(2004, 12, 31)), "31/12/2004"}};
    for (const auto& [value, text] : texts) {
        EXPECT_EQ(value.toText(), text);
    }
    EXPECT_EQ(Variant(scaled(12345000)).toText(kEnglish), "1234.5");

    // Typed access of another type is a type mismatch; values of different types differ.
    EXPECT_EQ(errorNumber([] { (void)Variant("1").currency(); }), err::kTypeMismatch);
    EXPECT_EQ(errorNumber([] { (void)Variant(std::int16_t{1}).longValue(); }), err::kTypeMismatch);
    EXPECT_EQ(errorNumber([] { (void)Variant::null().text(); }), err::kTypeMismatch);
    EXPECT_NE(Variant(scaled(10000)), Variant(1.0));
}

// ---------------------------------------------------------------------------------------------
// Text

TEST(VariantTest, WholeNumbersOnlyWithoutAFraction) {
    const struct {
        Variant value;
        std::optional<long long> whole;
    } cases[] = {
        {Variant("20123456789"), 20123456789LL},
        {Variant("1.234"), 1234},
        {Variant(scaled(20040000)), 2004},
        {Variant(true), -1},
        {Variant(), 0},
        {Variant("2,5"), std::nullopt},  // never cut to 2
        {Variant(1e16), std::nullopt},   // beyond what a double tells apart
        {Variant("abc"), std::nullopt},
        {Variant::null(), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.toWholeNumber(), c.whole) << c.value;
    }
}

TEST(TextTest, TrimmingAndPadding) {
    EXPECT_EQ(trimmed(" \tDDJJ 2004\r\n"), "DDJJ 2004");
    EXPECT_EQ(trimmed(" \t \n"), "");
    EXPECT_EQ(trimmed(""), "");

    // Padding fills up to the width and never cuts a longer text.
    EXPECT_EQ(padLeft("42", 6), "000042");
    EXPECT_EQ(padLeft("1234567", 6), "1234567");
    EXPECT_EQ(padLeft("", 2, ' '), "  ");
    EXPECT_EQ(padRight("ab", 4), "ab  ");
    EXPECT_EQ(padRight("abcde", 4), "abcde");

    EXPECT_EQ(lastCharacters("20123456789", 1), "9");
    EXPECT_EQ(lastCharacters("9", 3), "9");
}

}  // namespace
}  // namespace kapred
