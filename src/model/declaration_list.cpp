#include "model/declaration_list.h"

#include "model/declaration_ops.h"
#include "model/tables/tables.h"

namespace kapred {

std::vector<DeclarationSummary> taxpayerDeclarations(Context& context) {
    using H = tables::DDJJ;
    std::vector<DeclarationSummary> list;
    for (const auto& header : declarationsOfTaxpayer(context)) {
        const auto number = [&header](const tables::Column& column) {
            return header.vGetFieldValue(column).toWholeNumber().value_or(0);
        };
        list.push_back({number(H::CodDJ), number(H::lPeriodo), number(H::CODIGO_T_SECUENCIAS),
                        sequenceDescription(header.vGetFieldValue(H::CODIGO_T_SECUENCIAS)),
                        fiscalYearKindName(header.vGetFieldValue(H::iTipoEjercicioFiscal)),
                        header.vGetFieldValue(H::fPeriodoFiscalDesde).toDate(),
                        header.vGetFieldValue(H::fPeriodoFiscalHasta).toDate(), number(H::iEjercicioEconomico)});
    }
    return list;
}

std::vector<PresentationSequence> presentationSequences(BDDJJ& header) {
    using S = tables::T_SECUENCIAS;
    db::Recordset& rows = header.secuencias();
    std::vector<PresentationSequence> list;
    for (long r = 0; r < rows.recordCount(); ++r) {
        r == 0 ? rows.moveFirst() : rows.moveNext();
        list.push_back(
            {rows.value(S::CODIGO_T_SECUENCIAS).toWholeNumber().value_or(0), rows.value(S::DESCRIPCION).toText()});
    }
    return list;
}

}  // namespace kapred
