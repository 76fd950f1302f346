#include "data/values/datetime.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kapred {

namespace {

using namespace std::chrono;

constexpr sys_days kSerialEpoch = sys_days(year(1899) / December / 30);

std::optional<int> readNumber(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits) {
        return std::nullopt;
    }
    // Digits only: from_chars would also take a minus sign, and "01/01/-200" is no date.
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<DateTime> makeValid(int y, int m, int d) {
    if (m < 1 || m > 12 || d < 1 || d > 31) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                              std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok()) {
        return std::nullopt;
    }
    return DateTime::fromDate(date);
}

// Appends a number of at most `width` digits, zero-padded; dates are formatted very often (every
// stored date and every date comparison), so this avoids the printf machinery.
void appendPadded(std::string& text, long value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    text.append(digits, static_cast<std::size_t>(width));
}

// Four digits for the years the program meets; others as they are, with their sign.
void appendYear(std::string& text, int year) {
    if (year >= 0 && year <= 9999) {
        appendPadded(text, year, 4);
    } else {
        text += std::to_string(year);
    }
}

// " hh:mm:ss" for a value with a time, nothing for a pure date.
std::string timeSuffix(const DateTime& value) {
    if (!value.hasTime()) {
        return {};
    }
    const hh_mm_ss clock{value.time};
    std::string text = " ";
    appendPadded(text, static_cast<long>(clock.hours().count()), 2);
    text += ':';
    appendPadded(text, static_cast<long>(clock.minutes().count()), 2);
    text += ':';
    appendPadded(text, static_cast<long>(clock.seconds().count()), 2);
    return text;
}

}  // namespace

DateTime DateTime::fromDate(int y, unsigned m, unsigned d) {
    return fromDate(year_month_day{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)});
}

std::optional<DateTime> parseDate(std::string_view text) {
    const auto firstSlash = text.find('/');
    const auto secondSlash = text.find('/', firstSlash == std::string_view::npos ? 0 : firstSlash + 1);
    if (firstSlash == std::string_view::npos || secondSlash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto d = readNumber(text.substr(0, firstSlash), 1, 2);
    const auto m = readNumber(text.substr(firstSlash + 1, secondSlash - firstSlash - 1), 1, 2);
    const auto y = readNumber(text.substr(secondSlash + 1), 4, 4);
    if (!d || !m || !y) {
        return std::nullopt;
    }
    return makeValid(*y, *m, *d);
}

std::string formatDate(const DateTime& value) {
    const auto date = value.date();
    std::string text;
    appendPadded(text, static_cast<long>(static_cast<unsigned>(date.day())), 2);
    text += '/';
    appendPadded(text, static_cast<long>(static_cast<unsigned>(date.month())), 2);
    text += '/';
    appendYear(text, static_cast<int>(date.year()));
    return text + timeSuffix(value);
}

std::string formatCompactTime(const DateTime& value) {
    const hh_mm_ss clock{value.time};
    std::string text;
    appendPadded(text, static_cast<long>(clock.hours().count()), 2);
    appendPadded(text, static_cast<long>(clock.minutes().count()), 2);
    appendPadded(text, static_cast<long>(clock.seconds().count()), 2);
    return text;
}

std::string toIso(const DateTime& value) {
    const auto date = value.date();
    std::string text;
    appendYear(text, static_cast<int>(date.year()));
    text += '-';
    appendPadded(text, static_cast<long>(static_cast<unsigned>(date.month())), 2);
    text += '-';
    appendPadded(text, static_cast<long>(static_cast<unsigned>(date.day())), 2);
    return text + timeSuffix(value);
}

std::optional<DateTime> fromIso(std::string_view text) {
    if (text.size() != 10 && text.size() != 19) {
        return std::nullopt;
    }
    if (text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const auto y = readNumber(text.substr(0, 4), 4, 4);
    const auto m = readNumber(text.substr(5, 2), 2, 2);
    const auto d = readNumber(text.substr(8, 2), 2, 2);
    if (!y || !m || !d) {
        return std::nullopt;
    }
    auto result = makeValid(*y, *m, *d);
    if (!result || text.size() == 10) {
        return result;
    }
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const auto hh = readNumber(text.substr(11, 2), 2, 2);
    const auto mm = readNumber(text.substr(14, 2), 2, 2);
    const auto ss = readNumber(text.substr(17, 2), 2, 2);
    if (!hh || !mm || !ss || *hh > 23 || *mm > 59 || *ss > 59) {
        return std::nullopt;
    }
    result->time = hours(*hh) + minutes(*mm) + seconds(*ss);
    return result;
}

double toSerial(const DateTime& value) {
    const auto days = (value.day - kSerialEpoch).count();
    return static_cast<double>(days) + static_cast<double>(value.time.count()) / 86400.0;
}

std::optional<DateTime> fromSerial(double serial) {
    // The old platform's range: years 100 to 9999.
    if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0) {
        return std::nullopt;
    }
    const double whole = std::floor(serial);
    auto secondsOfDay = static_cast<long>(std::lround((serial - whole) * 86400.0));
    auto dayNumber = static_cast<long>(whole);
    if (secondsOfDay >= 86400) {
        secondsOfDay -= 86400;
        ++dayNumber;
    }
    return DateTime{kSerialEpoch + days(dayNumber), seconds(secondsOfDay)};
}

std::ostream& operator<<(std::ostream& out, const DateTime& value) {
    return out << toIso(value);
}

}  // namespace kapred
