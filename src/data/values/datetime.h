#pragma once

#include <chrono>
#include <compare>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace kapred {

// A calendar date with an optional time of day. Pure dates carry a zero time. Any date of the
// proleptic Gregorian calendar is representable, 01/01/1800 (the entities' "no date yet") and
// the date serial 1 (31/12/1899) included.
struct DateTime {
    std::chrono::sys_days day{};
    std::chrono::seconds time{0};  // since midnight, 0 to 86399

    static DateTime fromDate(int year, unsigned month, unsigned dayOfMonth);
    static DateTime fromDate(std::chrono::year_month_day date) { return {std::chrono::sys_days(date)}; }

    std::chrono::year_month_day date() const { return std::chrono::year_month_day(day); }
    bool hasTime() const { return time.count() != 0; }

    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// dd/mm/yyyy (one or two digits for day and month, four for the year); nothing for text that is
// not a real calendar date such as 31/02/2004.
std::optional<DateTime> parseDate(std::string_view text);
// dd/mm/yyyy, followed by " hh:mm:ss" when the value has a time.
std::string formatDate(const DateTime& value);

// The time of day as "hhmmss", as the declaration file and the form carry it.
std::string formatCompactTime(const DateTime& value);

// Storage form: "yyyy-mm-dd", or "yyyy-mm-dd hh:mm:ss" when there is a time.
std::string toIso(const DateTime& value);
std::optional<DateTime> fromIso(std::string_view text);

// Day numbers of the old platform: 0 is 30/12/1899, 1 is 31/12/1899; the fraction is the time.
double toSerial(const DateTime& value);
std::optional<DateTime> fromSerial(double serial);

// The storage form, for diagnostics: 2004-12-31.
std::ostream& operator<<(std::ostream& out, const DateTime& value);

}  // namespace kapred
