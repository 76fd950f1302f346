#include "calc/computed_windows.h"

#include "calc/determination.h"
#include "data/captions.h"
#include "data/engine/dialect.h"
#include "model/assets.h"

namespace kapred {

const std::vector<std::string>& computedWindowNames() {
    static const std::vector<std::string> names{"Activo", "Liquidacion", "Determinacion"};
    return names;
}

std::optional<WindowFigures> computeWindowFigures(Context& context, const std::string& name) {
    const auto captioned = [](const std::string& window, std::vector<Figure> figures,
                              std::optional<std::string> problem) {
        return WindowFigures{windowCaption(window).value_or(window), std::move(figures), std::move(problem), {}};
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
        calculateLiquidationForDisplay(liquidation);
        return captioned("Liquidacion", liquidation.figures(), liquidation.rateProblem());
    }
    if (db::equalsIgnoreCase(name, "Determinacion")) {
        BDeterminacion determination(context);
        determination.CalculateLocalTotals(kListIndex);
        return captioned("Determinacion", determination.figures(), determination.rateProblem());
    }
    return std::nullopt;
}

}  // namespace kapred
