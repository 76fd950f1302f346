#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/section_object.h"

namespace kapred {

// What a window that only computes shows for the current declaration: its figures, and the
// sentence that says they are not valid when no rate row covers the fiscal year.
struct WindowFigures {
    std::string caption;
    std::vector<Figure> figures;
    std::optional<std::string> rateProblem;
    // What the computation changed in the declaration, for the user to be told: the deductions
    // the liquidation deleted.
    std::optional<std::string> notice;
    // What a reader of the data gets apart where the window adds figures together: the asset
    // summary shows the non-computable and the exempt assets as one figure under the first one's
    // name; here each has its own, and so has their sum.
    std::vector<Figure> apart;
};

// The names of those windows, in the order of the declarations window's tree.
const std::vector<std::string>& computedWindowNames();

// Computes the figures of "Activo", "Liquidacion" or "Determinacion" (any letter case) as their
// windows do (the liquidation deletes the deductions row when the capital at close is 0 or
// less, and says so in the notice); nothing for another name.
std::optional<WindowFigures> computeWindowFigures(Context& context, const std::string& name);

}  // namespace kapred
