#include "model/sections.h"

#include <limits>

#include "data/engine/dialect.h"
#include "data/engine/progress_hook.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "model/tables/captions.h"

namespace kapred {

namespace {

bool assignedBySystem(const tables::Column& column) {
    using tables::ListSection;
    return column.name == ListSection::CUIT.name || column.name == ListSection::CodDJ.name ||
           column.name == ListSection::ID.name;
}

std::string withoutAccessKey(std::string caption) {
    std::erase(caption, '&');
    return caption;
}

SectionInfo describe(const SectionDescription& section) {
    const std::string name(section.name);
    SectionInfo info{name, windowCaption(name).value_or(name), {}, &section};
    for (const auto& column : section.columns) {
        if (!assignedBySystem(column)) {
            const std::string field(column.name);
            info.fields.push_back({field, withoutAccessKey(fieldLabel(name, field).value_or(field)), column.type});
        }
    }
    return info;
}

}  // namespace

std::vector<SectionInfo> declarationSections() {
    std::vector<SectionInfo> sections;
    for (const auto& section : sectionDescriptions()) {
        sections.push_back(describe(section));
    }
    return sections;
}

std::optional<SectionInfo> findSection(const std::string& name) {
    for (const auto& section : sectionDescriptions()) {
        if (db::equalsIgnoreCase(section.name, name)) {
            return describe(section);
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
    const SqlText select = sBuildSelect(database, *section.Entity, kListIndex, "Select ID, fFecha, cImporte ",
                                        std::string(tables::ListSection::ID.name), context.numberFormat());
    auto rows = database.openForwardOnly(select.text, select.values);
    using tables::ListSection;
    const std::size_t id = rows->fieldIndex(ListSection::ID);
    const std::size_t date = rows->fieldIndex(ListSection::fFecha);
    const std::size_t amount = rows->fieldIndex(ListSection::cImporte);
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
    section.Entity->SetFieldValue(tables::ListSection::ID, Variant(static_cast<std::int32_t>(id)));
    return section.bFind();
}

bool deleteListRows(SectionObject& section, const std::function<void()>& tick) {
    // SQLite steps between two ticks: a few milliseconds' work.
    constexpr int kStepsPerTick = 50000;
    const db::ProgressHook hook(*section.context().g_dbAplicativo, kStepsPerTick, tick);
    return section.bDelete(kListIndex);
}

bool declarationHasRows(Context& context, const std::string& table) {
    db::Database& database = *context.g_dbAplicativo;
    if (!context.currentDeclaration || !database.hasTable(table)) {
        return false;
    }
    auto rows = database.openRecordset(
        "SELECT COUNT(*) AS Records FROM " + table + " WHERE CUIT = ? AND CODDJ = ?",
        {currentHeaderValue(context, tables::DDJJ::CUIT), currentHeaderValue(context, tables::DDJJ::CodDJ)});
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
