#include "data/regional_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

namespace kapred {

namespace {

std::string firstCharacter(const char* text) {
    if (text == nullptr || *text == '\0') {
        return {};
    }
    // One character, which in UTF-8 may take several bytes.
    std::string result(1, text[0]);
    for (const char* next = text + 1; (static_cast<unsigned char>(*next) & 0xC0) == 0x80; ++next) {
        result += *next;
    }
    return result;
}

bool restorable(const std::string& item) {
    return item == "," || item == ".";
}

}  // namespace

UserLocale readUserLocale() {
    UserLocale user;
    locale_t locale = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, "", nullptr);
    if (locale == nullptr) {
        locale = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, "C", nullptr);
    }
    if (locale == nullptr) {
        user.identifier = "C";
        user.separators = {".", "", ".", ""};
        return user;
    }
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
            user.identifier = value;
            break;
        }
    }
    if (user.identifier.empty()) {
        user.identifier = "C";
    }
    user.separators.decimal = firstCharacter(nl_langinfo_l(RADIXCHAR, locale));
    user.separators.thousands = firstCharacter(nl_langinfo_l(THOUSEP, locale));
    user.separators.monetaryDecimal = firstCharacter(nl_langinfo_l(MON_DECIMAL_POINT, locale));
    user.separators.monetaryThousands = firstCharacter(nl_langinfo_l(MON_THOUSANDS_SEP, locale));
    freelocale(locale);
    return user;
}

RegionalSettings::RegionalSettings(UserLocale user) : user_(std::move(user)), current_(user_.separators) {}

void RegionalSettings::SetRegionalSettings() {
    localeIdentifier_ = user_.identifier;
    saved_ = user_.separators;
    current_ = {",", ".", ",", "."};
}

void RegionalSettings::RestoreRegionalSettings() {
    if (restorable(saved_.decimal) && restorable(saved_.thousands) && restorable(saved_.monetaryDecimal) &&
        restorable(saved_.monetaryThousands)) {
        current_ = saved_;
    }
}

NumberFormat RegionalSettings::numberFormat() const {
    NumberFormat format;
    if (current_.decimal.size() == 1) {
        format.decimal = current_.decimal.front();
    }
    // A thousands separator that is none, a blank or not one byte is not used for reading;
    // the other of comma and point stands in for it.
    if (current_.thousands.size() == 1 && current_.thousands.front() != format.decimal) {
        format.thousands = current_.thousands.front();
    } else {
        format.thousands = format.decimal == ',' ? '.' : ',';
    }
    return format;
}

}  // namespace kapred
