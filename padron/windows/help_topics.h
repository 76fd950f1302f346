#pragma once

namespace kapred::padron {

// The help context numbers of the registry's windows, beside the desktop program's own.
inline constexpr int kHelpRegistry = 45;
inline constexpr int kHelpTaxpayer = 46;

}  // namespace kapred::padron
