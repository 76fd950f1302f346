#pragma once

#include <string>

#include "data/values/numeric_text.h"

namespace kapred {

// The four separator items of a locale, one character each (kept as UTF-8 text because a
// user's thousands separator may be a character outside ASCII).
struct LocaleSeparators {
    std::string decimal;            // item 14
    std::string thousands;          // item 15
    std::string monetaryDecimal;    // item 22
    std::string monetaryThousands;  // item 23
};

// The separators of the user's default locale, as the environment (LC_NUMERIC, LC_MONETARY)
// defines it; the locale name serves as its identifier.
struct UserLocale {
    std::string identifier;
    LocaleSeparators separators;
};
UserLocale readUserLocale();

// The program's own number settings. While the program runs, amounts are read and written with
// a decimal comma and a thousands point whatever the user's locale says; the user's settings
// are never touched, the program only keeps its own copy of them.
class RegionalSettings {
public:
    // Starts with the user's separators in force.
    explicit RegionalSettings(UserLocale user = readUserLocale());

    // Keeps the user's four items and imposes "," and "." on the program.
    void SetRegionalSettings();
    // Puts the kept items back, but only when each of them is "," or "."; any other kept value
    // (a blank, an apostrophe) leaves the program's separators in force.
    void RestoreRegionalSettings();

    const LocaleSeparators& current() const { return current_; }
    const LocaleSeparators& saved() const { return saved_; }
    const std::string& localeIdentifier() const { return localeIdentifier_; }
    // The separators for reading and writing numbers now.
    NumberFormat numberFormat() const;

private:
    UserLocale user_;
    std::string localeIdentifier_;
    LocaleSeparators saved_;
    LocaleSeparators current_;
};

}  // namespace kapred
