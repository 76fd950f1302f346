#pragma once

#include <QFont>

namespace kapred::ui {

// A font whose characters are all as wide, for texts whose columns must align (the import's error
// summary, a file's records, a hash): the family the package installs, whichever monospaced
// family the desktop has otherwise.
QFont fixedPitchFont();

}  // namespace kapred::ui
