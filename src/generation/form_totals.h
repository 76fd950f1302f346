#pragma once

#include <ostream>

namespace kapred {

struct Context;

// The printed form 369 of the current declaration. Its totals also go into the declaration
// file, as the records 90 of its nine boxes.
class BPrintDDJJ {
public:
    explicit BPrintDDJJ(Context& context) : context_(context) {}

    // Computes a fresh liquidation ("PK") and determination ("IDX_LIST") and writes the nine
    // records 90, each the box's code, its amount and a line feed, without a length check.
    // Returns 9. A database error raises.
    long sGenerarRegistrointerfaceF369(std::ostream& file);

private:
    Context& context_;
};

}  // namespace kapred
