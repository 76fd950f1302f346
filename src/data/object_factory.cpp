#include "data/object_factory.h"

namespace kapred {

std::unique_ptr<ModelObject> ObjectFactory::createBusiness(const std::string& name) const {
    const auto maker = business_.find(name);
    return maker == business_.end() ? nullptr : maker->second();
}

std::shared_ptr<EntryWindow> ObjectFactory::window(const std::string& name) {
    if (const auto existing = windows_.find(name); existing != windows_.end()) {
        return existing->second;
    }
    const auto maker = windowMakers_.find(name);
    if (maker == windowMakers_.end()) {
        return nullptr;
    }
    auto created = maker->second();
    windows_[name] = created;
    return created;
}

}  // namespace kapred
