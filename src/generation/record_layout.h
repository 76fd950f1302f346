#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "data/values/currency.h"
#include "data/values/datetime.h"
#include "data/values/numeric_text.h"
#include "data/values/variant.h"

namespace kapred {

// Fixed-width records of the declaration file. A record layout is one table of fields
// (position, width, encoding) that drives both the building of the record and its length check:
//
//     inline constexpr Field kRecord05Fields[] = {
//         field::constant("05", 1, 2),
//         field::date(tables::ListSection::fFecha, 3),
//         field::amount(tables::ListSection::cImporte, 11),
//     };
//     inline constexpr RecordLayout kRecord05{"05", kRecord05Fields};
//     static_assert(isWellFormed(kRecord05) && kRecord05.length() == 25);
//
// Every encoding gives Windows-1252 bytes: text is converted when it enters a field, so widths
// and lengths are counted in the file's bytes.

// ---- Field encodings -------------------------------------------------------------------------

// The amount a value holds, for the procedure named source: Null raises error 94, a value that
// is no amount error 13.
Currency amountOf(const Variant& value, NumberFormat format, const char* source);

// A value rounded to a number of decimals, as the digits of its magnitude.
struct RoundedDigits {
    bool negative = false;  // the rounded value is below zero
    std::string integer;    // the whole part without leading zeros, "0" when there is none
    std::string fraction;   // exactly as many digits as decimals asked for
};
// Rounds a tie away from zero. Raises error 6 only at the very ends of the amount range.
RoundedDigits roundDigits(Currency value, int decimals);
// A double is first taken as an amount (rounded to four places), so that 1.005 is 1,005 and
// rounds to 1,01 as written; one beyond the amount range is written from its own digits.
// Raises error 6 for NaN and the infinities.
RoundedDigits roundDigits(double value, int decimals);

// X(w): the text cut to its first w characters, or padded on the right with spaces to w.
std::string encodeText(std::string_view text, int width);
// N(w, d): rounded to d decimals, w digits with leading zeros of which the last d are the
// implied decimals. A value that needs more integer digits comes out longer than w, and so does
// a negative one, which gets a leading "-" ("-01" for -1 in N(2, 0)).
std::string encodeNumber(Currency value, int width, int decimals);
std::string encodeNumber(double value, int width, int decimals);
// I15: the magnitude rounded to 2 decimals as 15 digits with leading zeros (13 whole, 2 implied
// decimals). A negative value is "1" followed by the last 14 of those digits: the first digit
// is the sign while the magnitude stays below 1,000,000,000,000. A positive value of
// 10,000,000,000,000 or more comes out longer than 15.
std::string encodeAmount(Currency value);
std::string encodeAmount(double value);
// D8: "yyyymmdd".
std::string encodeDate(const DateTime& value);
// The CUIT without dashes; as stored (11 digits) it is written unchanged, never cut or padded.
std::string encodeCuit(std::string_view cuit);

// ---- Record layouts --------------------------------------------------------------------------

enum class Encoding {
    Constant,  // a fixed text of the layout, written as X(w)
    Text,      // X(w)
    Number,    // N(w, d)
    Amount,    // I15
    Date,      // D8
    Cuit,      // CUIT
};

struct Field {
    std::string_view name;  // what the field holds
    int position;           // its first character, counting from 1
    int width;
    Encoding encoding;
    int decimals = 0;                // Number only
    std::string_view constant = {};  // Constant only
};

namespace field {
constexpr Field constant(std::string_view value, int position, int width) {
    return {value, position, width, Encoding::Constant, 0, value};
}
constexpr Field text(std::string_view name, int position, int width) {
    return {name, position, width, Encoding::Text};
}
constexpr Field number(std::string_view name, int position, int width, int decimals = 0) {
    return {name, position, width, Encoding::Number, decimals};
}
constexpr Field amount(std::string_view name, int position) {
    return {name, position, 15, Encoding::Amount};
}
constexpr Field date(std::string_view name, int position) {
    return {name, position, 8, Encoding::Date};
}
constexpr Field cuit(std::string_view name, int position) {
    return {name, position, 11, Encoding::Cuit};
}
}  // namespace field

struct RecordLayout {
    std::string_view type;  // "01", "02"...: names the record in messages
    std::span<const Field> fields;

    // The required length: where the last field ends.
    constexpr std::size_t length() const {
        return fields.empty() ? 0 : static_cast<std::size_t>(fields.back().position + fields.back().width - 1);
    }
    // How many values a record of this layout is built from: one per field that is not a
    // constant, in the order of the table.
    constexpr std::size_t valueCount() const {
        std::size_t count = 0;
        for (const Field& each : fields) {
            count += each.encoding == Encoding::Constant ? 0 : 1;
        }
        return count;
    }
};

// The table is consistent: the fields follow one another from position 1 without gaps or
// overlaps, every width is positive, a constant fits its width, numbers keep an integer digit
// when they have decimals, and amounts, dates and CUITs have their fixed widths 15, 8 and 11.
constexpr bool isWellFormed(const RecordLayout& layout) {
    int next = 1;
    for (const Field& each : layout.fields) {
        if (each.position != next || each.width <= 0) {
            return false;
        }
        switch (each.encoding) {
            case Encoding::Constant:
                if (each.constant.size() > static_cast<std::size_t>(each.width)) {
                    return false;
                }
                break;
            case Encoding::Number:
                if (each.decimals < 0 || each.decimals >= each.width) {
                    return false;
                }
                break;
            case Encoding::Amount:
                if (each.width != 15) {
                    return false;
                }
                break;
            case Encoding::Date:
                if (each.width != 8) {
                    return false;
                }
                break;
            case Encoding::Cuit:
                if (each.width != 11) {
                    return false;
                }
                break;
            case Encoding::Text:
                break;
        }
        next += each.width;
    }
    return !layout.fields.empty();
}

// One value encoded as the field says; a constant field ignores the value. Text, numbers and
// amounts given as text are read with the program's separators. A Null (or a value of the wrong
// kind) where a number, amount or date is formatted raises error 94 (error 13); a Null text or
// CUIT is the empty text.
std::string encodeField(const Field& field, const Variant& value, NumberFormat format = {});

// The fields concatenated in the order of the table, nothing cleaned or checked. `values` holds
// one value per non-constant field (valueCount()); another count raises error 5.
std::string buildRecord(const RecordLayout& layout, std::span<const Variant> values, NumberFormat format = {});

// Every byte below 32 (control characters) or from 128 to 159 becomes a space.
void cleanRecord(std::string& record);

// The record has the length of its layout.
bool hasRequiredLength(const RecordLayout& layout, std::string_view record);

// Built, cleaned and checked: the record, or nothing when its length is not the layout's.
std::optional<std::string> formatRecord(const RecordLayout& layout, std::span<const Variant> values,
                                        NumberFormat format = {});

// Writes the record followed by one line feed, or, when its length is wrong, writes nothing and
// returns false.
bool writeRecord(std::ostream& out, const RecordLayout& layout, std::span<const Variant> values,
                 NumberFormat format = {});

}  // namespace kapred
