#include "calc/registry.h"

#include "calc/determination.h"
#include "model/declaration.h"

namespace kapred {

namespace {

template <typename Object>
void add(Context& context, const std::string& name) {
    context.factory.registerBusiness(name, [&context] { return std::make_unique<Object>(context); });
}

}  // namespace

void registerBusinessObjects(Context& context) {
    add<BActivo>(context, "Activo");
    add<BActivoComputable>(context, "ActivoComputable");
    add<BActivoExento>(context, "ActivoExento");
    add<BActivoNoComputable>(context, "ActivoNoComputable");
    add<BAnticipos>(context, "Anticipos");
    add<BDDJJ>(context, "DDJJ");
    add<BLiquidacion>(context, "Liquidacion");
    add<BLiqDeduccionesAlCapital>(context, "LiqDeduccionesAlCapital");
    add<BPagosCuenta>(context, "PagosCuenta");
    add<BPasivo>(context, "Pasivo");
    add<BSaldoFavorPeriodoAnt>(context, "SaldoFavorPeriodoAnt");
    add<BDeterminacion>(context, "Determinacion");
}

}  // namespace kapred
