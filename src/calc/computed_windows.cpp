#include "calc/computed_windows.h"

#include "calc/determination.h"
#include "data/engine/dialect.h"
#include "data/values/numeric_text.h"
#include "model/assets.h"
#include "model/tables/captions.h"

namespace kapred {

const std::vector<std::string>& computedWindowNames() {
    static const std::vector<std::string> names{"Activo", "Liquidacion", "Determinacion"};
    return names;
}

std::optional<WindowFigures> computeWindowFigures(Context& context, const std::string& name) {
    const auto captioned = [](const std::string& window, std::vector<Figure> figures,
                              std::optional<std::string> problem) {
        return WindowFigures{
            windowCaption(window).value_or(window), std::move(figures), std::move(problem), std::nullopt, {}};
    };
    if (db::equalsIgnoreCase(name, "Activo")) {
        BActivo assets(context);
        assets.CalculateLocalTotals(kPrimaryKey);
        WindowFigures shown = captioned("Activo", assets.figures(), std::nullopt);
        if (assets.g_BActivoNoComputable && assets.g_BActivoExento) {
            const Currency nonComputable = assets.g_BActivoNoComputable->ccActivoNoComputable();
            const Currency exempt = assets.g_BActivoExento->ccActivoExento();
            shown.apart = {{"ccActivoNoComputable", nonComputable},
                           {"ccActivoExento", exempt},
                           {"ccActivoNoComputableYExento", nonComputable + exempt}};
        }
        return shown;
    }
    if (db::equalsIgnoreCase(name, "Liquidacion")) {
        BLiquidacion liquidation(context);
        const auto deleted = calculateLiquidationForDisplay(liquidation);
        auto shown = captioned("Liquidacion", liquidation.figures(), liquidation.rateProblem());
        if (deleted) {
            const NumberFormat format = context.numberFormat();
            shown.notice = "El Capital al Cierre del Ejercicio es de " +
                           formatAmount(liquidation.ccCapitalAlCierre(), 2, true, format) +
                           ": sin capital no corresponden Deducciones al Capital. Se eliminaron las deducciones "
                           "cargadas en la declaración, por un total de " +
                           formatAmount(*deleted, 2, true, format) + ".";
        }
        return shown;
    }
    if (db::equalsIgnoreCase(name, "Determinacion")) {
        BDeterminacion determination(context);
        determination.CalculateLocalTotals(kListIndex);
        return captioned("Determinacion", determination.figures(), determination.rateProblem());
    }
    return std::nullopt;
}

}  // namespace kapred
