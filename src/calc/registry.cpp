#include "calc/registry.h"

#include "calc/determination.h"
#include "model/declaration.h"

namespace kapred {

namespace {

template <typename Object>
void add(Context& context, std::string_view name) {
    context.factory.registerBusiness(std::string(name), [&context] { return std::make_unique<Object>(context); });
}

}  // namespace

void registerBusinessObjects(Context& context) {
    add<BActivo>(context, "Activo");
    add<BActivoComputable>(context, tables::ActivoComputable::table);
    add<BActivoExento>(context, tables::ActivoExento::table);
    add<BActivoNoComputable>(context, tables::ActivoNoComputable::table);
    add<BAnticipos>(context, tables::Anticipos::table);
    add<BDDJJ>(context, tables::DDJJ::table);
    add<BLiquidacion>(context, "Liquidacion");
    add<BLiqDeduccionesAlCapital>(context, tables::LiqDeduccionesAlCapital::table);
    add<BPagosCuenta>(context, tables::PagosCuenta::table);
    add<BPasivo>(context, tables::Pasivo::table);
    add<BSaldoFavorPeriodoAnt>(context, tables::SaldoFavorPeriodoAnt::table);
    add<BDeterminacion>(context, "Determinacion");
}

}  // namespace kapred
