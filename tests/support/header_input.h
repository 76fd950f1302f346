#pragma once

#include <string>

#include "model/section_object.h"

namespace kapred::test {

// A declaration header as the user types it in the declarations window.
struct HeaderInput {
    std::string period = "2004";
    std::string sequence = "0";
    std::string kind = "1";  // 1 Regular, 2 Irregular
    std::string from = "01/01/2004";
    std::string to = "31/12/2004";
    std::string economicYear = "1";
};

// The values the declarations window hands to BDDJJ for that header.
inline EntryValues typedHeader(const HeaderInput& input = {}) {
    return {{"lPeriodo", Variant(input.period)},           {"CODIGO_T_SECUENCIAS", Variant(input.sequence)},
            {"iTipoEjercicioFiscal", Variant(input.kind)}, {"fPeriodoFiscalDesde", Variant(input.from)},
            {"fPeriodoFiscalHasta", Variant(input.to)},    {"iEjercicioEconomico", Variant(input.economicYear)}};
}

}  // namespace kapred::test
