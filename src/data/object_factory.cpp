#include "data/object_factory.h"

namespace kapred {

std::unique_ptr<ModelObject> ObjectFactory::createBusiness(const std::string& name) const {
    const auto maker = business_.find(name);
    return maker == business_.end() ? nullptr : maker->second();
}

}  // namespace kapred
