#include "model/system_tables.h"

#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "model/tables/captions.h"
#include "model/tables/tables.h"

namespace kapred {

const std::vector<SystemTableEntry>& consultableSystemTables() {
    static const std::vector<SystemTableEntry> consultable = [] {
        std::vector<SystemTableEntry> list;
        for (const std::string_view table :
             {tables::T_ALICUOTAS_Y_TOPES::table, tables::T_DEDUC_DISCAPACITADO::table, tables::T_SECUENCIAS::table}) {
            const std::string name(table);
            list.push_back({windowCaption(name).value_or(name), name});
        }
        return list;
    }();
    return consultable;
}

std::optional<SystemTableView> systemTable(Context& context, const std::string& table) {
    for (const auto& entry : consultableSystemTables()) {
        if (entry.table != table) {
            continue;
        }
        auto rows = context.g_dbTablas->openRecordset("Select * From " + table + " ORDER BY CODIGO_" + table,
                                                      db::RecordsetType::Snapshot);
        SystemTableView view{"Datos : " + entry.caption, {}, {}};
        std::vector<std::size_t> shown;
        for (std::size_t i = 0; i < rows->fields().size(); ++i) {
            if (db::upperCase(rows->fields()[i].name) != "CHK") {
                shown.push_back(i);
                view.columns.push_back(view.columns.empty() ? "Código" : rows->fields()[i].name);
            }
        }
        for (long r = 0; r < rows->recordCount(); ++r) {
            r == 0 ? rows->moveFirst() : rows->moveNext();
            std::vector<Variant> row;
            for (std::size_t i : shown) {
                row.push_back(rows->value(i));
            }
            view.rows.push_back(std::move(row));
        }
        return view;
    }
    return std::nullopt;
}

}  // namespace kapred
