#include "model/sections.h"

#include <limits>

#include "data/captions.h"
#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"

namespace kapred {

namespace {

struct SectionEntry {
    const char* name;
    SectionKind kind;
};

constexpr SectionEntry kSections[] = {
    {"ActivoComputable", SectionKind::SingleRow},
    {"ActivoExento", SectionKind::SingleRow},
    {"ActivoNoComputable", SectionKind::SingleRow},
    {"Pasivo", SectionKind::SingleRow},
    {"Anticipos", SectionKind::List},
    {"PagosCuenta", SectionKind::List},
    {"SaldoFavorPeriodoAnt", SectionKind::SingleRow},
    {"LiqDeduccionesAlCapital", SectionKind::SingleRow},
};

bool assignedBySystem(const std::string& field) {
    for (const char* key : {"CUIT", "CodDJ", "ID"}) {
        if (db::equalsIgnoreCase(field, key)) {
            return true;
        }
    }
    return false;
}

std::string withoutAccessKey(std::string caption) {
    std::erase(caption, '&');
    return caption;
}

SectionInfo describe(Context& context, const SectionEntry& entry) {
    SectionInfo info{entry.name, windowCaption(entry.name).value_or(entry.name), entry.kind, {}};
    for (const auto& field : context.g_dbAplicativo->tableDef(entry.name).fields) {
        if (!assignedBySystem(field.name)) {
            info.fields.push_back(
                {field.name, withoutAccessKey(fieldLabel(entry.name, field.name).value_or(field.name)), field.type});
        }
    }
    return info;
}

}  // namespace

std::vector<SectionInfo> declarationSections(Context& context) {
    std::vector<SectionInfo> sections;
    for (const auto& entry : kSections) {
        sections.push_back(describe(context, entry));
    }
    return sections;
}

std::optional<SectionInfo> findSection(Context& context, const std::string& name) {
    for (const auto& entry : kSections) {
        if (db::equalsIgnoreCase(entry.name, name)) {
            return describe(context, entry);
        }
    }
    return std::nullopt;
}

std::unique_ptr<SectionObject> createSection(Context& context, const std::string& name) {
    auto made = context.factory.createBusiness(name);
    auto* section = dynamic_cast<SectionObject*>(made.get());
    if (section == nullptr) {
        return nullptr;
    }
    made.release();
    return std::unique_ptr<SectionObject>(section);
}

std::optional<SectionField> findEntryField(const SectionInfo& section, const std::string& given) {
    for (const auto& field : section.fields) {
        if (db::equalsIgnoreCase(field.name, given) || db::equalsIgnoreCase(field.caption, given)) {
            return field;
        }
    }
    return std::nullopt;
}

std::vector<ListRow> listRows(Context& context, const SectionObject& section) {
    db::Database& database = *context.g_dbAplicativo;
    // Read one at a time: a declaration may hold a million rows, which a snapshot would hold twice.
    const SqlText select = sBuildSelect(database, *section.Entity, kListIndex, "Select ID, fFecha, cImporte ", "ID",
                                        context.numberFormat());
    auto rows = database.openForwardOnly(select.text, select.values);
    const std::size_t id = rows->fieldIndex("ID");
    const std::size_t date = rows->fieldIndex("fFecha");
    const std::size_t amount = rows->fieldIndex("cImporte");
    std::vector<ListRow> list;
    for (; !rows->eof(); rows->moveNext()) {
        list.push_back({static_cast<long>(rows->value(id).toWholeNumber().value_or(0)), rows->value(date),
                        rows->value(amount).toCurrency().value_or(Currency())});
    }
    return list;
}

bool findListRow(SectionObject& section, long id) {
    if (id <= 0 || id > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    section.Entity->SetFieldValue("ID", Variant(static_cast<std::int32_t>(id)));
    return section.bFind();
}

bool declarationHasRows(Context& context, const std::string& table) {
    db::Database& database = *context.g_dbAplicativo;
    if (!context.currentDeclaration || !database.hasTable(table)) {
        return false;
    }
    auto rows = database.openRecordset("SELECT COUNT(*) AS Records FROM " + table + " WHERE CUIT = ? AND CODDJ = ?",
                                       {currentHeaderValue(context, "CUIT"), currentHeaderValue(context, "CodDJ")});
    return rows->value("Records").toWholeNumber().value_or(0) > 0;
}

int acceptSingleRow(SectionObject& section, const EntryValues& values) {
    if (section.bFind()) {
        section.EDIT();
        return section.Aceptar(EntryMode::Modifying, values);
    }
    return section.Aceptar(EntryMode::Adding, values);
}

std::string failureReasons(const BusinessObject& object) {
    std::string reasons;
    for (const auto& entry : object.g_vecErroresInconsistencia.entries()) {
        reasons += (reasons.empty() ? "" : " ") + entry.message;
    }
    return reasons;
}

}  // namespace kapred
