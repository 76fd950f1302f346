#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/engine/schema.h"
#include "model/section_object.h"
#include "model/tables/declaration_sections.h"

namespace kapred {

struct SectionField {
    std::string name;     // its column
    std::string caption;  // the label of its input, without the access-key "&"
    db::DataType type;
};

struct SectionInfo {
    std::string name;                  // its table, entity and business object
    std::string caption;               // the window's caption
    std::vector<SectionField> fields;  // what the user types: the key columns are left out
    const SectionDescription* description;

    SectionKind kind() const { return description->kind; }
};

// The eight sections in the order of the declaration: assets, liabilities, advances, payments,
// previous balance, deductions.
std::vector<SectionInfo> declarationSections();
// A section named in any letter case; nothing when there is none of that name.
std::optional<SectionInfo> findSection(const std::string& name);
// A fresh business object of the section (whose entity follows the current declaration).
std::unique_ptr<SectionObject> createSection(Context& context, const std::string& name);

// A field of the section named in any letter case, or by its caption; nothing when there is
// none, or when the system assigns it (the declaration's key and the row number).
std::optional<SectionField> findEntryField(const SectionInfo& section, const std::string& given);

// One row of a list section of the current declaration.
struct ListRow {
    long id;
    Variant date;
    Currency amount;
};
// The rows, by number.
std::vector<ListRow> listRows(Context& context, const SectionObject& section);
// Loads the row of that number into the list section's entity, as selecting it in the grid
// does; false when the declaration has no such row.
bool findListRow(SectionObject& section, long id);

// Whether the current declaration has a row in the section's table (the tree shows the
// liabilities node "full" or "empty" by it).
bool declarationHasRows(Context& context, const std::string& table);

// Aceptar on the window of a single-row section: modifies the declaration's row when it has
// one, else adds it. The code and inconsistencies are those of SectionObject::Aceptar.
int acceptSingleRow(SectionObject& section, const EntryValues& values);

// Deletes every row of the list section of the current declaration, as Eliminar Todos does;
// while the database works on a long list, tick is called every few milliseconds (a window
// repaints in it; it must not use the database). False when the database refused.
bool deleteListRows(SectionObject& section, const std::function<void()>& tick);

// The reasons the object's last operation gave, one sentence after the other (empty when none).
std::string failureReasons(const BusinessObject& object);

}  // namespace kapred
