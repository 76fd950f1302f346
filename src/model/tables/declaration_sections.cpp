#include "model/tables/declaration_sections.h"

#include <algorithm>

namespace kapred {

using namespace tables;

const std::vector<SectionDescription>& sectionDescriptions() {
    using AC = ActivoComputable;
    static const std::vector<SectionDescription> sections{
        {AC::table,
         SectionKind::SingleRow,
         AC::columns,
         7,
         {{"Disponibilidades, créditos y títulos",
           {{"Dinero en Efectivo", {AC::cDineroEfectivoNac, AC::cDineroEfectivoExt}, "ccDineroEfectivo"},
            {"Depósitos", {AC::cDepositosNac, AC::cDepositosExt}, "ccDepositos"},
            {"Créditos", {AC::cCreditosNac, AC::cCreditosExt}, "ccCreditos"},
            {{}, {AC::cIntereses, AC::cTitulosPublicos, AC::cParticipacionesCapital, AC::cBienesCambio}, {}}}},
          {"Bienes muebles, inmuebles y otros",
           {{"Bienes Muebles Amortizables Neto de Amortización",
             {AC::cBienesAdquiridos, AC::cBienesElaborados, AC::cBienesEnCurso},
             "ccBienesMueblesAmortizables"},
            {"Inmuebles Neto de Amortización",
             {AC::cInmueblesNoBienesCambio, AC::cInmueblesActForestales},
             "ccInmuebles"},
            {{}, {AC::cBienesInmateriales, AC::cOtrosBienes}, {}}}}},
         {"ccActivoComputable"},
         {}},
        {ActivoExento::table, SectionKind::SingleRow, ActivoExento::columns, 8, {}, {"ccActivoExento"}, {}},
        {ActivoNoComputable::table,
         SectionKind::SingleRow,
         ActivoNoComputable::columns,
         9,
         {},
         {"ccActivoExento"},
         {{"ccActivoExento", ActivoExento::table}}},
        {Pasivo::table, SectionKind::SingleRow, Pasivo::columns, 10, {}, {"ccPasivo"}, {}},
        {Anticipos::table, SectionKind::List, Anticipos::columns, 11, {}, {"ccImporte"}, {}},
        {PagosCuenta::table, SectionKind::List, PagosCuenta::columns, 12, {}, {"ccImporte"}, {}},
        {SaldoFavorPeriodoAnt::table, SectionKind::SingleRow, SaldoFavorPeriodoAnt::columns, 13, {}, {}, {}},
        {LiqDeduccionesAlCapital::table,
         SectionKind::SingleRow,
         LiqDeduccionesAlCapital::columns,
         14,
         {},
         {"ccDeduccionPorRetribucion", "ccDeduccionesAlCierre"},
         {}},
    };
    return sections;
}

const SectionDescription* sectionDescription(std::string_view name) {
    const auto& sections = sectionDescriptions();
    const auto it = std::ranges::find(sections, name, &SectionDescription::name);
    return it == sections.end() ? nullptr : &*it;
}

}  // namespace kapred
