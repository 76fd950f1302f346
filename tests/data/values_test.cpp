#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "data/values/currency.h"
#include "data/values/datetime.h"
#include "data/values/error.h"
#include "data/values/numeric_text.h"
#include "data/values/text.h"
#include "data/values/variant.h"

namespace kapred {

namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

Currency cur(std::int64_t scaled) {
    return Currency::fromScaled(scaled);
}

// Runs the call and gives the number of the error it raised, 0 when it raised none.
template <typename Call>
long errorNumber(Call call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Currency

TEST(CurrencyTest, SumsAreExactAndOverflowRaisesError6) {
    // 0,1 + 0,2 is exactly 0,3, unlike the same sum in binary floating point.
    EXPECT_EQ(cur(1000) + cur(2000), cur(3000));
    EXPECT_EQ(cur(3000) - cur(1000), cur(2000));

    // Ten thousand additions of one ten-thousandth make exactly one unit.
    Currency total;
    for (int i = 0; i < 10000; ++i) {
        total += cur(1);
    }
    EXPECT_EQ(total, Currency::fromUnits(1));

    // The ends of the range are reachable and one step beyond them is an overflow.
    EXPECT_EQ((Currency::max() - cur(1)) + cur(1), Currency::max());
    EXPECT_EQ(errorNumber([] { (void)(Currency::max() + cur(1)); }), err::kOverflow);
    EXPECT_EQ(errorNumber([] { (void)(Currency::min() - cur(1)); }), err::kOverflow);
    EXPECT_EQ(errorNumber([] { (void)(-Currency::min()); }), err::kOverflow);
    EXPECT_EQ(-Currency::max(), cur(-INT64_MAX));

    // A sum that overflows leaves the running total as it was.
    Currency running = Currency::max();
    EXPECT_EQ(errorNumber([&] { running += cur(5); }), err::kOverflow);
    EXPECT_EQ(running, Currency::max());
    Currency falling = Currency::min();
    EXPECT_EQ(errorNumber([&] { falling -= cur(5); }), err::kOverflow);
    EXPECT_EQ(falling, Currency::min());

    // Whole units: 922.337.203.685.477 is the largest that fits.
    EXPECT_EQ(Currency::fromUnits(922337203685477), cur(9223372036854770000));
    EXPECT_EQ(Currency::fromUnits(-3), cur(-30000));
    EXPECT_EQ(errorNumber([] { (void)Currency::fromUnits(922337203685478); }), err::kOverflow);
}

TEST(CurrencyTest, ProductsAndQuotientsRoundToFourPlaces) {
    // 1,2345 x 1,5 = 1,85175: the fifth decimal is a tie and goes away from zero.
    EXPECT_EQ(cur(12345) * cur(15000), cur(18518));
    EXPECT_EQ(cur(-12345) * cur(15000), cur(-18518));
    EXPECT_EQ(cur(12345) * cur(-15000), cur(-18518));
    // 0,0001 x 0,5 = 0,00005 rounds up; 0,0001 x 0,4999 = 0,00004999 rounds to zero.
    EXPECT_EQ(cur(1) * cur(5000), cur(1));
    EXPECT_EQ(cur(1) * cur(4999), cur(0));
    // 1.000.000 x 1.000.000 fits; 100.000.000 x 100.000.000 does not.
    EXPECT_EQ(Currency::fromUnits(1000000) * Currency::fromUnits(1000000), Currency::fromUnits(1000000000000));
    EXPECT_EQ(errorNumber([] { (void)(Currency::fromUnits(100000000) * Currency::fromUnits(100000000)); }),
              err::kOverflow);

    // 10 / 3 = 3,33333...; 20 / 3 = 6,66666...
    EXPECT_EQ(Currency::fromUnits(10) / Currency::fromUnits(3), cur(33333));
    EXPECT_EQ(Currency::fromUnits(20) / Currency::fromUnits(3), cur(66667));
    EXPECT_EQ(Currency::fromUnits(-20) / Currency::fromUnits(3), cur(-66667));
    // 1 / 8 = 0,125 exactly.
    EXPECT_EQ(Currency::fromUnits(1) / Currency::fromUnits(8), cur(1250));
    EXPECT_EQ(errorNumber([] { (void)(Currency::fromUnits(1) / Currency()); }), 11);
}

TEST(CurrencyTest, RoundToTiesGoAwayFromZero) {
    EXPECT_EQ(cur(1250).roundTo(2), cur(1300));    // 0,125 -> 0,13
    EXPECT_EQ(cur(-1250).roundTo(2), cur(-1300));  // -0,125 -> -0,13
    EXPECT_EQ(cur(1450).roundTo(2), cur(1500));    // 0,145 -> 0,15 (not to the even 0,14)
    EXPECT_EQ(cur(1249).roundTo(2), cur(1200));    // 0,1249 -> 0,12
    EXPECT_EQ(cur(-1249).roundTo(2), cur(-1200));
    EXPECT_EQ(cur(12345678).roundTo(2), cur(12345700));  // 1234,5678 -> 1234,57
    EXPECT_EQ(cur(25000).roundTo(0), cur(30000));        // 2,5 -> 3
    EXPECT_EQ(cur(-25000).roundTo(0), cur(-30000));      // -2,5 -> -3
    EXPECT_EQ(cur(12345).roundTo(4), cur(12345));
    EXPECT_EQ(cur(12345).roundTo(6), cur(12345));

    // Near the ends of the range: 922.337.203.685.477,5807 -> ...477,58 still fits, but
    // rounding it to whole units (...478) does not and must raise an overflow.
    EXPECT_EQ(Currency::max().roundTo(2), cur(9223372036854775800));
    EXPECT_EQ(Currency::min().roundTo(2), cur(-9223372036854775800));
    EXPECT_EQ(errorNumber([] { (void)Currency::max().roundTo(0); }), err::kOverflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::min().roundTo(1); }), err::kOverflow);
}

TEST(CurrencyTest, MulDivRoundsTheExactShareOnce) {
    struct Case {
        std::int64_t value, numerator, denominator;
        int decimals;
        std::int64_t expected;
    };
    const Case cases[] = {
        {10000, 149, 30000, 2, 0},    // 1 x 0,0149 / 3 = 0,004966...
        {10000, 99, 20000, 2, 0},     // 0,00495: a first rounding to 0,0050 would make it 0,01
        {10000, 100, 20000, 2, 100},  // 0,005 is a tie and goes away from zero
        {-10000, 100, 20000, 2, -100},
        {10000, 100, -20000, 2, -100},
        // 100.000 x 10.000 / 133.333 = 7.500,01875004...
        {1000000000, 100000000, 1333330000, 2, 75000200},
        {1000000000, 100000000, 1333330000, 4, 75000188},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Currency::mulDiv(cur(c.value), cur(c.numerator), cur(c.denominator), c.decimals), cur(c.expected))
            << c.value << " x " << c.numerator << " / " << c.denominator;
    }
    // The product is kept whole however large it is; only the result must fit.
    EXPECT_EQ(Currency::mulDiv(Currency::max(), Currency::max(), Currency::max(), 4), Currency::max());
    EXPECT_EQ(Currency::mulDiv(Currency::max(), Currency::max(), Currency::max(), 2), cur(9223372036854775800));
    EXPECT_EQ(errorNumber([] { (void)Currency::mulDiv(Currency::max(), cur(20000), cur(10000), 2); }), err::kOverflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::mulDiv(cur(10000), cur(10000), Currency(), 2); }), 11);
}

TEST(CurrencyTest, FromDoubleRoundsAndRejectsWhatDoesNotFit) {
    EXPECT_EQ(Currency::fromDouble(1234.5), cur(12345000));
    EXPECT_EQ(Currency::fromDouble(-0.25), cur(-2500));
    EXPECT_EQ(Currency::fromDouble(1.23456), cur(12346));
    EXPECT_EQ(Currency::fromDouble(-1.23456), cur(-12346));
    EXPECT_EQ(Currency::fromDouble(0.0), cur(0));
    EXPECT_TRUE(Currency::fromDouble(922337203685477.0).has_value());

    EXPECT_FALSE(Currency::fromDouble(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(Currency::fromDouble(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(Currency::fromDouble(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(Currency::fromDouble(1e15));
    EXPECT_FALSE(Currency::fromDouble(-1e15));
    EXPECT_FALSE(Currency::fromDouble(922337203685477.6));

    EXPECT_DOUBLE_EQ(cur(12345000).toDouble(), 1234.5);
}

TEST(CurrencyTest, PlainTextUsesPointAndOnlyNeededDecimals) {
    EXPECT_EQ(cur(12345000).toPlainString(), "1234.5");
    EXPECT_EQ(cur(-1).toPlainString(), "-0.0001");
    EXPECT_EQ(cur(0).toPlainString(), "0");
    EXPECT_EQ(cur(-30000).toPlainString(), "-3");
    EXPECT_EQ(Currency::max().toPlainString(), "922337203685477.5807");
    EXPECT_EQ(Currency::min().toPlainString(), "-922337203685477.5808");
}

// ---------------------------------------------------------------------------------------------
// Numeric text

TEST(NumericTextTest, WhatCountsAsNumeric) {
    EXPECT_TRUE(isNumeric("1.234,5"));
    EXPECT_TRUE(isNumeric("-12"));
    EXPECT_TRUE(isNumeric(" 12 "));
    EXPECT_TRUE(isNumeric(",5"));
    EXPECT_TRUE(isNumeric("+7"));
    EXPECT_TRUE(isNumeric("- 12"));
    EXPECT_TRUE(isNumeric("1.234.567,891"));
    EXPECT_TRUE(isNumeric("0"));
    EXPECT_TRUE(isNumeric("\t3,25\t"));

    EXPECT_FALSE(isNumeric("1234.5"));  // wrong grouping: never 12345
    EXPECT_FALSE(isNumeric("1.23"));
    EXPECT_FALSE(isNumeric("1.2345"));
    EXPECT_FALSE(isNumeric("1..234"));
    EXPECT_FALSE(isNumeric(".123"));
    EXPECT_FALSE(isNumeric("1e5"));
    EXPECT_FALSE(isNumeric(""));
    EXPECT_FALSE(isNumeric("   "));
    EXPECT_FALSE(isNumeric("abc"));
    EXPECT_FALSE(isNumeric("12-"));
    EXPECT_FALSE(isNumeric("-"));
    EXPECT_FALSE(isNumeric(","));
    EXPECT_FALSE(isNumeric("1,2,3"));
    EXPECT_FALSE(isNumeric("1 234"));
    EXPECT_FALSE(isNumeric("1.234,5x"));
    EXPECT_FALSE(isNumeric("--1"));

    // With the separators swapped the same rules apply.
    const NumberFormat english{'.', ','};
    EXPECT_TRUE(isNumeric("1,234.5", english));
    EXPECT_FALSE(isNumeric("1234,5", english));
}

TEST(NumericTextTest, ParseCurrencyIsExact) {
    EXPECT_EQ(parseCurrency("1.234,5"), cur(12345000));
    EXPECT_EQ(parseCurrency("-12"), cur(-120000));
    EXPECT_EQ(parseCurrency(" 12 "), cur(120000));
    EXPECT_EQ(parseCurrency(",5"), cur(5000));
    EXPECT_EQ(parseCurrency("0,1"), cur(1000));
    EXPECT_EQ(parseCurrency("000123"), cur(1230000));
    // A fifth decimal is rounded, a tie away from zero.
    EXPECT_EQ(parseCurrency("0,00005"), cur(1));
    EXPECT_EQ(parseCurrency("0,00004999"), cur(0));
    EXPECT_EQ(parseCurrency("-0,00005"), cur(-1));
    EXPECT_EQ(parseCurrency("1,23456"), cur(12346));
    // Sixteen digits that no double holds exactly come through unchanged.
    EXPECT_EQ(parseCurrency("922.337.203.685,4775"), cur(9223372036854775));
    // The ends of the range, and one ten-thousandth beyond them.
    EXPECT_EQ(parseCurrency("922.337.203.685.477,5807"), Currency::max());
    EXPECT_FALSE(parseCurrency("922.337.203.685.477,5808"));
    EXPECT_FALSE(parseCurrency("922.337.203.685.477,58075"));
    EXPECT_EQ(parseCurrency("-922.337.203.685.477,5808"), Currency::min());
    EXPECT_FALSE(parseCurrency("-922.337.203.685.477,5809"));
    EXPECT_FALSE(parseCurrency("99999999999999999"));

    EXPECT_FALSE(parseCurrency("1234.5"));
    EXPECT_FALSE(parseCurrency("1.23"));
    EXPECT_FALSE(parseCurrency("1e5"));
    EXPECT_FALSE(parseCurrency(""));
    EXPECT_FALSE(parseCurrency("abc"));
    EXPECT_FALSE(parseCurrency("12-"));

    EXPECT_EQ(parseCurrency("1,234.5", NumberFormat{'.', ','}), cur(12345000));
}

TEST(NumericTextTest, ParseDouble) {
    EXPECT_EQ(parseDouble("1.234,5"), 1234.5);
    EXPECT_EQ(parseDouble("-0,25"), -0.25);
    EXPECT_EQ(parseDouble(",5"), 0.5);
    EXPECT_EQ(parseDouble("20.123.456.789"), 20123456789.0);
    EXPECT_FALSE(parseDouble("1234.5"));
    EXPECT_FALSE(parseDouble("1e5"));
    EXPECT_FALSE(parseDouble("abc"));
    EXPECT_FALSE(parseDouble(""));
}

TEST(NumericTextTest, FormatAmount) {
    EXPECT_EQ(formatAmount(cur(12345000)), "1.234,50");
    EXPECT_EQ(formatAmount(cur(-5000)), "-0,50");
    EXPECT_EQ(formatAmount(cur(0)), "0,00");
    EXPECT_EQ(formatAmount(cur(1250)), "0,13");
    EXPECT_EQ(formatAmount(cur(-1250)), "-0,13");
    EXPECT_EQ(formatAmount(cur(9999950)), "1.000,00");  // 999,995
    EXPECT_EQ(formatAmount(cur(-10)), "0,00");          // -0,001 shows no minus sign
    EXPECT_EQ(formatAmount(cur(12345678910)), "1.234.567,89");
    EXPECT_EQ(formatAmount(cur(12345678910), 2, false), "1234567,89");
    EXPECT_EQ(formatAmount(cur(1234567891000), 2), "123.456.789,10");
    EXPECT_EQ(formatAmount(cur(-1234567891000), 2), "-123.456.789,10");
    EXPECT_EQ(formatAmount(cur(25000), 0), "3");
    EXPECT_EQ(formatAmount(cur(1000), 4), "0,1000");
    EXPECT_EQ(formatAmount(cur(1234000), 2, true, NumberFormat{'.', ','}), "123.40");
    EXPECT_EQ(formatAmount(cur(12345000), 2, true, NumberFormat{'.', ','}), "1,234.50");
    EXPECT_EQ(formatAmount(Currency::max()), "922.337.203.685.477,58");
    EXPECT_EQ(formatAmount(Currency::min()), "-922.337.203.685.477,58");
}

TEST(NumericTextTest, FormatDouble) {
    EXPECT_EQ(formatDouble(1234.5), "1234,5");
    EXPECT_EQ(formatDouble(0.015), "0,015");
    EXPECT_EQ(formatDouble(-2.5), "-2,5");
    EXPECT_EQ(formatDouble(0.1 + 0.2), "0,3");
    EXPECT_EQ(formatDouble(20123456789.0), "20123456789");
    EXPECT_EQ(formatDouble(1e20), "100000000000000000000");
    EXPECT_EQ(formatDouble(0.00001), "0,00001");
    EXPECT_EQ(formatDouble(1234.5, NumberFormat{'.', ','}), "1234.5");
}

// ---------------------------------------------------------------------------------------------
// Dates

TEST(DateTest, ParseAcceptsOnlyRealCalendarDates) {
    const auto leap = parseDate("29/02/2004");
    ASSERT_TRUE(leap);
    EXPECT_EQ(leap->date(), std::chrono::year(2004) / 2 / 29);
    EXPECT_FALSE(leap->hasTime());
    EXPECT_EQ(parseDate("1/2/2004")->date(), std::chrono::year(2004) / 2 / 1);
    EXPECT_EQ(parseDate("01/01/1800")->date(), std::chrono::year(1800) / 1 / 1);

    EXPECT_FALSE(parseDate("31/02/2004"));
    EXPECT_FALSE(parseDate("29/02/2003"));
    EXPECT_FALSE(parseDate("29/02/1900"));  // 1900 is not a leap year
    EXPECT_FALSE(parseDate("31/04/2004"));
    EXPECT_FALSE(parseDate("00/01/2004"));
    EXPECT_FALSE(parseDate("32/01/2004"));
    EXPECT_FALSE(parseDate("01/13/2004"));
    EXPECT_FALSE(parseDate("01/01/04"));
    EXPECT_FALSE(parseDate("01/01/20041"));
    EXPECT_FALSE(parseDate("01-01-2004"));
    EXPECT_FALSE(parseDate("2004/01/01"));
    EXPECT_FALSE(parseDate(""));
    EXPECT_FALSE(parseDate("aa/bb/cccc"));
    EXPECT_FALSE(parseDate("01/01/-200"));
    EXPECT_FALSE(parseDate("01/01/2004 "));
}

TEST(DateTest, FormatsAndSerialNumbers) {
    const DateTime day = DateTime::fromDate(2004, 2, 29);
    EXPECT_EQ(formatDate(day), "29/02/2004");
    DateTime stamped = DateTime::fromDate(2004, 12, 31);
    stamped.time = hours(13) + minutes(5) + seconds(9);
    EXPECT_EQ(formatDate(stamped), "31/12/2004 13:05:09");
    EXPECT_EQ(formatDate(DateTime::fromDate(1800, 1, 1)), "01/01/1800");

    // Serial 0 is 30/12/1899 and serial 1 is 31/12/1899.
    EXPECT_EQ(toSerial(DateTime::fromDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(toSerial(DateTime::fromDate(1899, 12, 31)), 1.0);
    EXPECT_EQ(fromSerial(1.0)->date(), std::chrono::year(1899) / 12 / 31);
    EXPECT_FALSE(fromSerial(1.0)->hasTime());
    EXPECT_EQ(toSerial(DateTime::fromDate(1900, 1, 1)), 2.0);
    EXPECT_EQ(toSerial(DateTime::fromDate(2000, 1, 1)), 36526.0);
    // 01/01/1800 lies 36.522 days before the epoch (100 years with 24 leap days, less two).
    EXPECT_EQ(toSerial(DateTime::fromDate(1800, 1, 1)), -36522.0);
    EXPECT_EQ(fromSerial(-36522.0)->date(), std::chrono::year(1800) / 1 / 1);

    const auto noon = fromSerial(36526.5);
    ASSERT_TRUE(noon);
    EXPECT_EQ(noon->date(), std::chrono::year(2000) / 1 / 1);
    EXPECT_EQ(noon->time, hours(12));
    EXPECT_EQ(toSerial(*noon), 36526.5);

    EXPECT_FALSE(fromSerial(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(fromSerial(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(fromSerial(3e6));
}

TEST(DateTest, IsoRoundTrip) {
    DateTime stamped = DateTime::fromDate(2004, 12, 31);
    stamped.time = hours(23) + minutes(59) + seconds(58);
    EXPECT_EQ(toIso(stamped), "2004-12-31 23:59:58");
    EXPECT_EQ(fromIso("2004-12-31 23:59:58"), stamped);
    EXPECT_EQ(toIso(DateTime::fromDate(1800, 1, 1)), "1800-01-01");
    EXPECT_EQ(fromIso("1800-01-01"), DateTime::fromDate(1800, 1, 1));
    EXPECT_EQ(fromIso(toIso(DateTime::fromDate(1899, 12, 31))), DateTime::fromDate(1899, 12, 31));

    EXPECT_FALSE(fromIso("2004-02-30"));
    EXPECT_FALSE(fromIso("2004-12-31 24:00:00"));
    EXPECT_FALSE(fromIso("2004-12-31 10:60:00"));
    EXPECT_FALSE(fromIso("2004-12-31T10:00:00"));
    EXPECT_FALSE(fromIso("2004-12-31 10:00"));
    EXPECT_FALSE(fromIso("31/12/2004"));
    EXPECT_FALSE(fromIso("-200-01-01"));
    EXPECT_FALSE(fromIso(""));
}

// ---------------------------------------------------------------------------------------------
// Variant

TEST(VariantTest, EmptyAndNull) {
    const Variant empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.toCurrency(), cur(0));
    EXPECT_EQ(empty.toDouble(), 0.0);
    EXPECT_EQ(empty.toText(), "");
    EXPECT_FALSE(empty.toDate());

    const Variant null = Variant::null();
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isEmpty());
    EXPECT_FALSE(null.toCurrency());
    EXPECT_FALSE(null.toDouble());
    EXPECT_FALSE(null.toDate());
    EXPECT_EQ(null.toText(), "");
    EXPECT_NE(null, empty);
}

TEST(VariantTest, NumericConversions) {
    // Text is read with the program's separators, or with those given.
    EXPECT_EQ(Variant("1.234,5").toCurrency(), cur(12345000));
    EXPECT_EQ(Variant("1.234,5").toDouble(), 1234.5);
    EXPECT_FALSE(Variant("1234.5").toCurrency());
    EXPECT_FALSE(Variant("1234.5").toDouble());
    EXPECT_FALSE(Variant("").toCurrency());
    EXPECT_FALSE(Variant("abc").toDouble());
    EXPECT_EQ(Variant("1234.5").toCurrency(NumberFormat{'.', ','}), cur(12345000));

    // A Boolean True is -1.
    EXPECT_EQ(Variant(true).toCurrency(), cur(-10000));
    EXPECT_EQ(Variant(true).toDouble(), -1.0);
    EXPECT_EQ(Variant(false).toCurrency(), cur(0));
    EXPECT_EQ(Variant(false).toDouble(), 0.0);

    EXPECT_EQ(Variant(std::int16_t{-7}).toCurrency(), cur(-70000));
    EXPECT_EQ(Variant(std::int32_t{123456}).toDouble(), 123456.0);
    EXPECT_EQ(Variant(2.5).toCurrency(), cur(25000));
    EXPECT_FALSE(Variant(1e300).toCurrency());
    EXPECT_EQ(Variant(cur(12345)).toDouble(), 1.2345);
    // A date is its serial number.
    EXPECT_EQ(Variant(DateTime::fromDate(1899, 12, 31)).toDouble(), 1.0);
    EXPECT_EQ(Variant(DateTime::fromDate(1899, 12, 31)).toCurrency(), cur(10000));

    EXPECT_TRUE(Variant(true).isNumber());
    EXPECT_TRUE(Variant(cur(1)).isNumber());
    EXPECT_FALSE(Variant("1").isNumber());
    EXPECT_FALSE(Variant::null().isNumber());
}

TEST(VariantTest, WholeNumbersOnlyWithoutAFraction) {
    const struct {
        Variant value;
        std::optional<long long> whole;
    } cases[] = {
        {Variant("20123456789"), 20123456789LL},
        {Variant("1.234"), 1234},
        {Variant(cur(20040000)), 2004},
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

TEST(VariantTest, DateConversions) {
    EXPECT_EQ(Variant("31/12/2004").toDate(), DateTime::fromDate(2004, 12, 31));
    EXPECT_FALSE(Variant("31/02/2004").toDate());
    EXPECT_FALSE(Variant("2004-12-31x").toDate());
    EXPECT_EQ(Variant(std::int32_t{1}).toDate(), DateTime::fromDate(1899, 12, 31));
    EXPECT_EQ(Variant(36526.5).toDate()->time, hours(12));
    EXPECT_FALSE(Variant(true).toDate());
}

TEST(VariantTest, TypesAndText) {
    EXPECT_EQ(Variant(std::int16_t{7}).type(), Variant::Type::Integer);
    EXPECT_EQ(Variant(std::int32_t{7}).type(), Variant::Type::Long);
    EXPECT_EQ(Variant(cur(1)).type(), Variant::Type::Currency);
    EXPECT_EQ(Variant(1.0).type(), Variant::Type::Double);
    EXPECT_EQ(Variant("x").type(), Variant::Type::Text);
    EXPECT_EQ(Variant(true).type(), Variant::Type::Boolean);
    EXPECT_EQ(Variant(DateTime{}).type(), Variant::Type::Date);
    EXPECT_STREQ(typeName(Variant::Type::Text), "String");
    EXPECT_STREQ(typeName(Variant::Type::Currency), "Currency");

    EXPECT_EQ(Variant(std::int16_t{-7}).toText(), "-7");
    EXPECT_EQ(Variant(std::int32_t{2004}).toText(), "2004");
    EXPECT_EQ(Variant(cur(12345000)).toText(), "1234,5");
    EXPECT_EQ(Variant(cur(-1)).toText(), "-0,0001");
    EXPECT_EQ(Variant(cur(30000)).toText(), "3");
    EXPECT_EQ(Variant(cur(12345000)).toText(NumberFormat{'.', ','}), "1234.5");
    EXPECT_EQ(Variant(0.015).toText(), "0,015");
    EXPECT_EQ(Variant(DateTime::fromDate(2004, 12, 31)).toText(), "31/12/2004");
    EXPECT_EQ(Variant("texto").toText(), "texto");
    EXPECT_EQ(Variant(true).toText(), "Verdadero");
    EXPECT_EQ(Variant(false).toText(), "Falso");

    // Typed access of another type is a type mismatch.
    EXPECT_EQ(errorNumber([] { (void)Variant("1").currency(); }), err::kTypeMismatch);
    EXPECT_EQ(errorNumber([] { (void)Variant(std::int16_t{1}).longValue(); }), err::kTypeMismatch);
    EXPECT_EQ(errorNumber([] { (void)Variant::null().text(); }), err::kTypeMismatch);
    EXPECT_EQ(Variant(cur(5)).currency(), cur(5));

    // Values of different types are different even when they read the same.
    EXPECT_NE(Variant(cur(10000)), Variant(1.0));
    EXPECT_EQ(Variant(cur(10000)), Variant(Currency::fromUnits(1)));
}

// ---------------------------------------------------------------------------------------------
// Text

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
