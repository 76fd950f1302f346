#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "data/business_object.h"

namespace kapred {

// An entry window as the core sees it; the desktop program gives it a body.
class EntryWindow {
public:
    virtual ~EntryWindow() = default;
};

// Maps an entity name to its business object and its entry window. The model registers the
// business objects, the desktop program its windows. Names are compared exactly.
class ObjectFactory {
public:
    using BusinessMaker = std::function<std::unique_ptr<ModelObject>()>;
    using WindowMaker = std::function<std::shared_ptr<EntryWindow>()>;

    void registerBusiness(const std::string& name, BusinessMaker maker) { business_[name] = std::move(maker); }
    void registerWindow(const std::string& name, WindowMaker maker) { windowMakers_[name] = std::move(maker); }

    // A new business object, or nothing for a name without one.
    std::unique_ptr<ModelObject> createBusiness(const std::string& name) const;
    // The single shared window of that name, created on first use; nothing for an unknown name.
    std::shared_ptr<EntryWindow> window(const std::string& name);

private:
    std::map<std::string, BusinessMaker> business_;
    std::map<std::string, WindowMaker> windowMakers_;
    std::map<std::string, std::shared_ptr<EntryWindow>> windows_;
};

}  // namespace kapred
