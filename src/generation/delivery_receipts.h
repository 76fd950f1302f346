#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/values/currency.h"
#include "data/values/datetime.h"

namespace kapred {

struct Context;
class BGenerarDJs;

// The receipts of the delivered declaration files: what was handed in, where and when, with the
// SHA-256 of the encrypted file, so that the user can prove which file it was.

struct DeliveryReceipt {
    long id = 0;
    long codDJ = 0;
    std::string fileName;  // the encrypted file's name
    std::string folder;    // where it was delivered
    std::uintmax_t size = 0;
    std::string sha256;
    std::string verificationNumber;
    DateTime deliveredAt;
    // The declaration was deleted (or replaced by a new one of the same code) after the delivery.
    bool declarationDeleted = false;
    // The declaration's period and sequence, and its balance when delivered: to pay when positive,
    // in favour of the taxpayer when negative. Nothing on a receipt recorded before they were kept.
    std::optional<long> period;
    std::optional<long> sequence;
    std::optional<Currency> balance;
};

// Records the delivery the generator has just made of the current declaration. A receipt that
// cannot be recorded is told to the user under "Error"; the delivered file stays delivered.
bool registrarEntrega(Context& context, const BGenerarDJs& generator);

// The taxpayer's receipts, the oldest first; only those of one declaration code when given.
std::vector<DeliveryReceipt> entregas(Context& context, std::optional<long> codDJ = std::nullopt);

}  // namespace kapred
