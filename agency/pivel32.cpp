// Stand-in for the tax agency's verification-number library.
//
// Entry: pivel_numero_verificacion(cuit, declaration, amount, timeStamp), four texts of 15
// digits, returning a signed 16-bit value. The value is the CRC-16/CCITT-FALSE checksum
// (polynomial 0x1021, initial value 0xFFFF, no reflection, no final XOR) over the characters of
// the four texts one after the other, 60 characters when each has its 15 digits; it is returned
// as the signed 16-bit integer with the same bits (0xFFFF gives -1). Each text is read up to its
// terminating NUL and a null pointer counts as an empty text, so the result depends only on the
// four texts and the call cannot fail.

#include <cstddef>
#include <cstdint>

#include "generation/agency_interface.h"

namespace {

std::uint16_t crcUpdate(std::uint16_t crc, const char* text) {
    if (text == nullptr) {
        return crc;
    }
    for (const char* next = text; *next != '\0'; ++next) {
        crc = static_cast<std::uint16_t>(crc ^ (static_cast<unsigned char>(*next) << 8));
        for (int bit = 0; bit < 8; ++bit) {
            const bool high = (crc & 0x8000U) != 0;
            crc = static_cast<std::uint16_t>(crc << 1);
            if (high) {
                crc = static_cast<std::uint16_t>(crc ^ 0x1021U);
            }
        }
    }
    return crc;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int16_t pivel_numero_verificacion(const char* cuit,
                                                                                         const char* declaration,
                                                                                         const char* amount,
                                                                                         const char* timeStamp) {
    std::uint16_t crc = 0xFFFF;
    for (const char* text : {cuit, declaration, amount, timeStamp}) {
        crc = crcUpdate(crc, text);
    }
    return static_cast<std::int16_t>(crc);
}

// The entry keeps the signature the program calls it with.
[[maybe_unused]] static constexpr KapredVerificationEntry kEntry = &pivel_numero_verificacion;
