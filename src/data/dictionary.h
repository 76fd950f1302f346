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
    // The same, trying the pair at position hint first: a caller walking the keys in the order
    // they were added finds each at once.
    const Variant& vGetElement(std::string_view key, std::size_t hint) const;
    // The position of the pair of that key, tried at hint first; raises as vGetElement.
    std::size_t position(std::string_view key, std::size_t hint) const;
    // Replaces the value at a position, keeping its key.
    void SetAt(std::size_t index, Variant element) { pairs_.at(index).second = std::move(element); }
    void SetElement(std::string_view key, Variant element);
    long Count() const { return static_cast<long>(pairs_.size()); }

    const std::vector<std::pair<std::string, Variant>>& pairs() const { return pairs_; }

private:
    std::vector<std::pair<std::string, Variant>>::const_iterator find(std::string_view key) const;
    std::vector<std::pair<std::string, Variant>> pairs_;
};

}  // namespace kapred
