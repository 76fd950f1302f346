#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace kapred {

// The one raised error of the program: a number, the procedure that raised it and a Spanish
// description. Front ends catch it once; "not found" is never an error but a result.
class Error : public std::runtime_error {
public:
    Error(long number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    long number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }

private:
    long number_;
    std::string source_;
    std::string description_;
};

// Error numbers shared by the values and the database engine.
namespace err {
inline constexpr long kOverflow = 6;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kInvalidUseOfNull = 94;
inline constexpr long kDuplicateKey = 3022;
inline constexpr long kFileNotFound = 3024;
inline constexpr long kReadOnly = 3027;
inline constexpr long kNotAnUpdate = 3020;
inline constexpr long kInvalidPassword = 3031;
inline constexpr long kCannotOpen = 3049;
inline constexpr long kNoAccess = 3051;
inline constexpr long kNoCurrentRecord = 3021;
inline constexpr long kFieldTooSmall = 3163;
inline constexpr long kDatabaseExists = 3204;
inline constexpr long kItemNotFound = 3265;
inline constexpr long kRequiredNull = 3314;
inline constexpr long kZeroLength = 3315;
inline constexpr long kNumericOverflowInField = 3349;
inline constexpr long kObjectClosed = 3420;
inline constexpr long kConversion = 3421;
inline constexpr long kSyntax = 3075;
inline constexpr long kUnrecognisedFormat = 3343;
}  // namespace err

// The errors of a value that cannot serve: Null where a value is needed, or another type than
// the one needed.
[[noreturn]] inline void raiseInvalidUseOfNull(std::string source) {
    throw Error(err::kInvalidUseOfNull, std::move(source), "Uso no válido de Null");
}
[[noreturn]] inline void raiseTypeMismatch(std::string source) {
    throw Error(err::kTypeMismatch, std::move(source), "No coinciden los tipos");
}

}  // namespace kapred
