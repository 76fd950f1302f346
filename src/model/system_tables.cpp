#include "model/system_tables.h"

#include "data/engine/dialect.h"
#include "data/engine/recordset.h"

namespace kapred {

const std::vector<SystemTableEntry>& consultableSystemTables() {
    static const std::vector<SystemTableEntry> tables{
        {"Tabla de Alicuotas y Topes", "T_ALICUOTAS_Y_TOPES"},
        {"Deducción s/Remuneraciones abonadas a Personal Discapacitado", "T_DEDUC_DISCAPACITADO"},
        {"Secuencias", "T_SECUENCIAS"},
    };
    return tables;
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
