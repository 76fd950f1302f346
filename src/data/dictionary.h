#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/values/variant.h"

namespace kapred {

// An ordered table of (key, value) pairs. Pairs keep the order in which they were added; keys
// are compared without regard to case and a lookup finds the first match. Adding does not
// look for an existing key.
class BDictionary {
public:
    void AddElement(std::string key, Variant element);
    // Raise error 11 "No se encontró el elemento" when no key matches.
    const Variant& vGetElement(std::string_view key) const;
    void SetElement(std::string_view key, Variant element);
    long Count() const { return static_cast<long>(pairs_.size()); }

    const std::vector<std::pair<std::string, Variant>>& pairs() const { return pairs_; }

private:
    std::vector<std::pair<std::string, Variant>>::const_iterator find(std::string_view key) const;
    std::vector<std::pair<std::string, Variant>> pairs_;
};

}  // namespace kapred
