#pragma once

#include "app/context.h"

namespace kapred {

// Registers the business object of every entity name in the context's object factory.
void registerBusinessObjects(Context& context);

}  // namespace kapred
