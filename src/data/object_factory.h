#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "data/business_object.h"

namespace kapred {

// Maps an entity name to its business object; the model registers them. The desktop program
// opens a section's window from the section's description. Names are compared exactly.
class ObjectFactory {
public:
    using BusinessMaker = std::function<std::unique_ptr<ModelObject>()>;

    void registerBusiness(const std::string& name, BusinessMaker maker) { business_[name] = std::move(maker); }

    // A new business object, or nothing for a name without one.
    std::unique_ptr<ModelObject> createBusiness(const std::string& name) const;

private:
    std::map<std::string, BusinessMaker> business_;
};

}  // namespace kapred
