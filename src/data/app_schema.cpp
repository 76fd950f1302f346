#include "data/app_database.h"

namespace kapred {

namespace {

using db::DataType;
using db::FieldDef;
using db::IndexDef;
using db::TableDef;

// Numbers and dates have a fixed size and numbers default to 0; texts have a variable size,
// accept the empty text and default to it; dates have no default.
FieldDef field(const std::string& name, DataType type, bool required = false, int size = 0) {
    FieldDef f;
    f.name = name;
    f.type = type;
    f.size = db::storageSize(type, size);
    f.required = required;
    if (type == DataType::Text) {
        f.attributes = db::kVariableField;
        f.allowZeroLength = true;
        f.defaultValue.emplace();
    } else {
        f.attributes = db::kFixedField;
        if (type != DataType::Date) {
            f.defaultValue = "0";
        }
    }
    return f;
}

IndexDef primaryKey(std::vector<std::string> fields) {
    return IndexDef{"PK", std::move(fields), true, true, true, false, false};
}

IndexDef listIndex(std::vector<std::string> fields) {
    return IndexDef{"IDX_LIST", std::move(fields), false, false, false, false, false};
}

// Every table starts with the declaration key.
TableDef keyedTable(const std::string& name) {
    TableDef table;
    table.name = name;
    table.fields = {field("CUIT", DataType::Double), field("CodDJ", DataType::Long, true)};
    return table;
}

TableDef amountsTable(const std::string& name, const std::vector<std::string>& amounts) {
    TableDef table = keyedTable(name);
    for (const auto& amount : amounts) {
        table.fields.push_back(field(amount, DataType::Currency));
    }
    table.indexes = {primaryKey({"CUIT", "CodDJ"})};
    return table;
}

// Advances and payments on account: several numbered rows per declaration.
TableDef listTable(const std::string& name) {
    TableDef table = keyedTable(name);
    table.fields.push_back(field("ID", DataType::Long));
    table.fields.push_back(field("fFecha", DataType::Date));
    table.fields.push_back(field("cImporte", DataType::Currency));
    table.indexes = {listIndex({"CUIT", "CodDJ"}), primaryKey({"CUIT", "CodDJ", "ID"})};
    return table;
}

TableDef headerTable() {
    TableDef table = keyedTable("DDJJ");
    table.fields.push_back(field("iTipoEjercicioFiscal", DataType::Integer));
    table.fields.push_back(field("lPeriodo", DataType::Long, true));
    table.fields.push_back(field("fPeriodoFiscalDesde", DataType::Date));
    table.fields.push_back(field("fPeriodoFiscalHasta", DataType::Date));
    table.fields.push_back(field("iEjercicioEconomico", DataType::Integer));
    table.fields.push_back(field("CODIGO_T_SECUENCIAS", DataType::Long, true));
    table.fields.push_back(field("iEstablecimiento", DataType::Integer));
    table.fields.push_back(field("sFormulario", DataType::Text, false, 4));
    table.fields.push_back(field("sVersion", DataType::Text, false, 5));
    table.fields.push_back(field("sVersionEXE", DataType::Text, false, 7));
    table.fields.push_back(field("hora", DataType::Date, true));
    table.indexes = {listIndex({"CUIT"}), primaryKey({"CUIT", "CodDJ"})};
    return table;
}

TableDef liabilitiesTable() {
    TableDef table = keyedTable("Pasivo");
    table.fields.push_back(field("iCooperativaSegurosCapitalizacion", DataType::Integer));
    table.fields.push_back(field("iCooperativaAseguradoresVida", DataType::Integer));
    for (const char* amount :
         {"cDeudas", "cProvisiones", "cReservasTecnicas", "cFondosBeneficioSeguroVida", "cBeneficios"}) {
        table.fields.push_back(field(amount, DataType::Currency));
    }
    table.indexes = {primaryKey({"CUIT", "CodDJ"})};
    return table;
}

TableDef previousBalanceTable() {
    TableDef table = keyedTable("SaldoFavorPeriodoAnt");
    table.fields.push_back(field("lPeriodo", DataType::Long));
    table.fields.push_back(field("cImporte", DataType::Currency));
    table.indexes = {primaryKey({"CUIT", "CodDJ"})};
    return table;
}

}  // namespace

std::vector<TableDef> appTableDefs() {
    return {
        amountsTable("ActivoComputable",
                     {"cDineroEfectivoNac", "cDineroEfectivoExt", "cDepositosNac", "cDepositosExt", "cCreditosNac",
                      "cCreditosExt", "cIntereses", "cTitulosPublicos", "cParticipacionesCapital", "cBienesCambio",
                      "cBienesAdquiridos", "cBienesElaborados", "cBienesEnCurso", "cInmueblesNoBienesCambio",
                      "cInmueblesActForestales", "cBienesInmateriales", "cOtrosBienes"}),
        amountsTable("ActivoExento", {"cBienesTierraDelFuego", "cAccionesParticipaciones", "cCuotasSociales"}),
        amountsTable("ActivoNoComputable", {"cBienesExterior"}),
        listTable("Anticipos"),
        headerTable(),
        amountsTable("LiqDeduccionesAlCapital", {"cReembolsoGastos", "cGratificacioneAlPersonal", "cRetornoExcedente",
                                                 "cTotalRetribucionesLey23427"}),
        listTable("PagosCuenta"),
        liabilitiesTable(),
        previousBalanceTable(),
    };
}

std::vector<db::RelationDef> appRelations() {
    const char* foreignTables[] = {"ActivoComputable", "ActivoExento",         "ActivoNoComputable",      "Anticipos",
                                   "PagosCuenta",      "SaldoFavorPeriodoAnt", "LiqDeduccionesAlCapital", "Pasivo"};
    std::vector<db::RelationDef> relations;
    for (int i = 0; i < 8; ++i) {
        relations.push_back(db::RelationDef{
            "Relacion" + std::to_string(i), "DDJJ", foreignTables[i], db::kRelationDontEnforce, {{"CUIT", "CUIT"}}});
    }
    return relations;
}

}  // namespace kapred
