#include "data/dictionary.h"

#include "data/engine/schema.h"
#include "data/values/error.h"

namespace kapred {

void BDictionary::AddElement(std::string key, Variant element) {
    pairs_.emplace_back(std::move(key), std::move(element));
}

std::vector<std::pair<std::string, Variant>>::const_iterator BDictionary::find(std::string_view key) const {
    for (auto it = pairs_.begin(); it != pairs_.end(); ++it) {
        if (db::equalsIgnoreCase(it->first, key)) {
            return it;
        }
    }
    throw Error(err::kNoSuchElement, "BDictionary", "No se encontró el elemento");
}

const Variant& BDictionary::vGetElement(std::string_view key) const {
    return find(key)->second;
}

const Variant& BDictionary::vGetElement(std::string_view key, std::size_t hint) const {
    return pairs_[position(key, hint)].second;
}

std::size_t BDictionary::position(std::string_view key, std::size_t hint) const {
    if (hint < pairs_.size() && db::equalsIgnoreCase(pairs_[hint].first, key)) {
        return hint;
    }
    return static_cast<std::size_t>(find(key) - pairs_.begin());
}

void BDictionary::SetElement(std::string_view key, Variant element) {
    const auto at = find(key);
    pairs_[static_cast<std::size_t>(at - pairs_.begin())].second = std::move(element);
}

}  // namespace kapred
