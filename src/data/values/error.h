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

// Error numbers shared by the values, the database engine and the program's own routines.
namespace err {
inline constexpr long kProgram = 1;                     // a fault of the program's own, with no number of its own
inline constexpr long kOverflow = 6;                    // a value too large for its type
inline constexpr long kDivisionByZero = 11;             // an amount divided by zero
inline constexpr long kNoSuchElement = 11;              // a dictionary lacks the element asked for
inline constexpr long kTypeMismatch = 13;               // a value of another type than the one needed
inline constexpr long kBadBackup = 13;                  // a file that is no backup of the program, or a damaged one
inline constexpr long kTooManyRecords = 18;             // more records than the declaration file can count
inline constexpr long kFileNotOpen = 52;                // a work file used while it is not open
inline constexpr long kNoSuchFile = 53;                 // a file that is not there, or cannot be read
inline constexpr long kDeviceIo = 57;                   // a file that could not be read or written whole
inline constexpr long kCannotWrite = 61;                // a file that could not be written
inline constexpr long kPathAccess = 75;                 // a file or folder that cannot be used or created there
inline constexpr long kObjectNotSet = 91;               // a recordset used before it is open
inline constexpr long kInvalidUseOfNull = 94;           // Null where a value is needed
inline constexpr long kEngineStart = 3000;              // the engine could not start
inline constexpr long kTableExists = 3010;              // a table appended under a name already taken
inline constexpr long kObjectExists = 3012;             // a relation appended under a name already taken
inline constexpr long kNotAnUpdate = 3020;              // a field set outside an edit or an addition
inline constexpr long kNoCurrentRecord = 3021;          // a recordset read before its first or after its last row
inline constexpr long kDuplicateKey = 3022;             // a row whose key another row already has
inline constexpr long kFileNotFound = 3024;             // a database file that is not there
inline constexpr long kDiskFull = 3026;                 // no room left on the disk for a write
inline constexpr long kReadOnly = 3027;                 // a change to a database opened read-only
inline constexpr long kInvalidPassword = 3031;          // a database opened with the wrong password
inline constexpr long kTransaction = 3034;              // a transaction committed, rolled back or cancelled out of turn
inline constexpr long kDiskOrNetwork = 3043;            // an input or output fault of the disk or the network
inline constexpr long kInvalidPath = 3044;              // a path where no database can be created or written
inline constexpr long kCannotOpen = 3049;               // a damaged database that cannot be opened
inline constexpr long kNoAccess = 3051;                 // a database file the program may not use
inline constexpr long kSyntax = 3075;                   // an SQL text the engine cannot read
inline constexpr long kFieldTooSmall = 3163;            // a text longer than its field
inline constexpr long kDatabaseExists = 3204;           // a database created where one already is
inline constexpr long kLocked = 3260;                   // a database locked by another process
inline constexpr long kNoFields = 3264;                 // a table appended without fields
inline constexpr long kItemNotFound = 3265;             // a field or table name the collection lacks
inline constexpr long kRequiredNull = 3314;             // a required field left empty
inline constexpr long kZeroLength = 3315;               // an empty text where the field allows none
inline constexpr long kUnrecognisedFormat = 3343;       // a file that is not a database
inline constexpr long kNumericOverflowInField = 3349;   // a number too large for its field
inline constexpr long kObjectClosed = 3420;             // a database or recordset used after it was closed
inline constexpr long kConversion = 3421;               // a value that cannot be converted to its field's type
inline constexpr long kInvalidArguments = 0x80040000L;  // a routine called with arguments it does not take
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
