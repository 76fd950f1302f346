#pragma once

#include <cstdint>
#include <string>

#include "data/engine/database.h"
#include "data/engine/recordset.h"
#include "data/values/currency.h"
#include "data/values/error.h"

namespace kapred::test {

// An amount in ten-thousandths, as it is stored.
inline Currency scaled(std::int64_t value) {
    return Currency::fromScaled(value);
}

// An amount of whole pesos and cents.
inline Currency pesos(std::int64_t units, std::int64_t cents = 0) {
    return Currency::fromScaled(units * 10000 + cents * 100);
}

// The number of the error the call raised; 0 when it raised none.
template <typename Call>
long errorNumber(Call&& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.number();
    }
    return 0;
}

// The rows of a table, or of "table WHERE condition".
inline long countRows(db::Database& database, const std::string& from) {
    return database.openRecordset("SELECT count(*) AS n FROM " + from)->value("n").longValue();
}

}  // namespace kapred::test
