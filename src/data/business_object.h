#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/engine/recordset.h"
#include "data/entity.h"

namespace kapred {

// The inconsistencies collected by a validation run, in the order they were found. Empty means
// none (the old Null). Each entry names the field it concerns (empty for a message about no
// field) and the message part; the generation run keeps plain lines instead, in the same
// list ("one-dimensional" form), added with addLine.
struct Inconsistency {
    std::string field;
    std::string message;
};

class InconsistencyList {
public:
    bool isNull() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    const std::vector<Inconsistency>& entries() const { return entries_; }
    void add(std::string field, std::string message) { entries_.push_back({std::move(field), std::move(message)}); }
    void addLine(std::string line) { entries_.push_back({std::string(), std::move(line)}); }
    void clear() { entries_.clear(); }

private:
    std::vector<Inconsistency> entries_;
};

// Anything the object factory makes: business objects with an entity, and the computations
// and summaries that have none.
class ModelObject {
public:
    virtual ~ModelObject() = default;
};

// What every business object offers the generic operations: its entity, its inconsistency
// list, whether its row exists in the database, and its reset.
class BusinessObject : public ModelObject {
public:
    explicit BusinessObject(std::unique_ptr<EntityBase> entity) : Entity(std::move(entity)) {}

    // Resets the entity (and whatever state the object keeps besides).
    virtual void Reset() { Entity->Reset(); }

    std::unique_ptr<EntityBase> Entity;
    InconsistencyList g_vecErroresInconsistencia;
    bool g_bEdit = false;  // true when the entity's row exists, so that a save updates it

    // The recordset new rows are added through, kept from one save to the next (an entry window
    // or an import adds many): it serves while the same database is open with the same tables.
    struct Appender {
        std::unique_ptr<db::Recordset> recordset;
        std::uint64_t database = 0;  // the database's serial
        unsigned long schemaVersion = 0;
    };
    Appender appender;
};

}  // namespace kapred
