#include "generation/delivery_receipts.h"

#include <filesystem>

#include "app/context.h"
#include "app/file_hash.h"
#include "data/engine/database.h"
#include "data/engine/recordset.h"
#include "data/values/error.h"
#include "generation/declaration_records.h"
#include "generation/directories.h"
#include "generation/generator.h"
#include "model/section_object.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

namespace fs = std::filesystem;

// The table takes the engine's prefix of tables that belong to no declaration: the loops that
// delete or copy a declaration's rows from every table leave it alone, and so a receipt
// outlives the declaration it was made for.
constexpr const char* kReceiptsTable = "kp_Entregas";

db::FieldDef column(const std::string& name, db::DataType type, int size = 0) {
    db::FieldDef field;
    field.name = name;
    field.type = type;
    field.size = db::storageSize(type, size);
    field.attributes = type == db::DataType::Text ? db::kVariableField : db::kFixedField;
    return field;
}

// A column the receipt keeps as the declaration's table has it.
db::FieldDef column(const tables::Column& kept) {
    return column(std::string(kept.name), kept.type, kept.size);
}

// What a receipt tells of the declaration besides its code; a table made before they were kept
// gets them, empty for its older receipts.
std::vector<db::FieldDef> declarationColumns() {
    return {column(tables::DDJJ::lPeriodo), column("iSecuencia", db::DataType::Long),
            column("cSaldoRexa", db::DataType::Currency), column("cSaldoContrib", db::DataType::Currency)};
}

void ensureTable(db::Database& database) {
    if (database.hasTable(kReceiptsTable)) {
        for (const db::FieldDef& field : declarationColumns()) {
            if (!database.tableDef(kReceiptsTable).field(field.name)) {
                // Names and types of the program's own columns: a definition takes no parameters.
                database.execute(std::string("ALTER TABLE ") + kReceiptsTable + " ADD COLUMN " + field.name + " " +
                                 db::declarationOf(field));
            }
        }
        return;
    }
    db::TableDef table;
    table.name = kReceiptsTable;
    table.fields = {column("ID", db::DataType::Long),
                    column(tables::DDJJ::CUIT),
                    column(tables::DDJJ::CodDJ),
                    column("horaDJ", db::DataType::Date),
                    column("sArchivo", db::DataType::Text, 255),
                    column("sCarpeta", db::DataType::Text, 255),
                    column("dTamano", db::DataType::Double),
                    column("sSha256", db::DataType::Text, 64),
                    column("sNumeroVerificacion", db::DataType::Text, 6),
                    column("fEntrega", db::DataType::Date)};
    for (db::FieldDef& field : declarationColumns()) {
        table.fields.push_back(std::move(field));
    }
    table.indexes = {db::IndexDef{"PK", {"ID"}, true, true, true, false, false}};
    database.appendTableDef(table);
}

long nextId(db::Database& database) {
    auto rows = database.openRecordset(std::string("Select Max(ID) as Ultimo from ") + kReceiptsTable);
    rows->moveFirst();
    const auto last = rows->value("Ultimo").toWholeNumber();
    return last ? static_cast<long>(*last) + 1 : 1;
}

// The declaration the receipt was made for still exists, stamped as it was then.
bool declarationExists(Context& context, const Variant& codDJ, const Variant& stamp) {
    auto rows = context.g_dbAplicativo->openRecordset("Select hora from DDJJ Where CUIT=? AND CodDJ=?",
                                                      {commandLineCuitValue(context), codDJ});
    if (rows->recordCount() == 0) {
        return false;
    }
    rows->moveFirst();
    return rows->value(tables::DDJJ::hora).toDate() == stamp.toDate();
}

std::optional<long> wholeNumber(const Variant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    const auto number = value.toWholeNumber();
    return number ? std::optional<long>(static_cast<long>(*number)) : std::nullopt;
}

}  // namespace

bool registrarEntrega(Context& context, const BGenerarDJs& generator) {
    using Header = tables::DDJJ;
    const fs::path delivered = fs::path(generator.Destino) / generator.encryptedFile();
    try {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(delivered, error);
        const auto hash = sha256OfFile(delivered);
        if (error || !hash) {
            throw Error(err::kNoSuchFile, "registrarEntrega", "no se puede leer " + delivered.string());
        }
        db::Database& database = *context.g_dbAplicativo;
        ensureTable(database);
        auto receipt = database.openForAppend(kReceiptsTable);
        receipt->addNew();
        receipt->setValue("ID", Variant(static_cast<std::int32_t>(nextId(database))));
        receipt->setValue(Header::CUIT, commandLineCuitValue(context));
        receipt->setValue(Header::CodDJ, currentHeaderValue(context, Header::CodDJ));
        receipt->setValue("horaDJ", currentHeaderValue(context, Header::hora));
        receipt->setValue("sArchivo", Variant(generator.encryptedFile()));
        receipt->setValue("sCarpeta", Variant(generator.Destino));
        receipt->setValue("dTamano", Variant(static_cast<double>(size)));
        receipt->setValue("sSha256", Variant(*hash));
        const CifrasDeclaracion& figures = generator.cifras();
        receipt->setValue("sNumeroVerificacion", Variant(figures.numeroVerificacion));
        receipt->setValue(Header::lPeriodo, currentHeaderValue(context, Header::lPeriodo));
        receipt->setValue("iSecuencia", currentHeaderValue(context, Header::CODIGO_T_SECUENCIAS));
        receipt->setValue("cSaldoRexa", Variant(figures.saldoRexa));
        receipt->setValue("cSaldoContrib", Variant(figures.saldoContrib));
        receipt->setValue("fEntrega", Variant(context.clock()));
        receipt->update();
        return true;
    } catch (const Error& error) {
        MsgError(context.ui,
                 "El archivo se entregó, pero no se pudo registrar su comprobante de entrega: " + error.description());
    }
    return false;
}

std::vector<DeliveryReceipt> entregas(Context& context, std::optional<long> codDJ) {
    using Header = tables::DDJJ;
    std::vector<DeliveryReceipt> receipts;
    db::Database& database = *context.g_dbAplicativo;
    if (!database.hasTable(kReceiptsTable)) {
        return receipts;
    }
    std::string sql = std::string("Select * from ") + kReceiptsTable + " Where CUIT=?";
    db::Parameters values{commandLineCuitValue(context)};
    if (codDJ) {
        sql += " AND CodDJ=?";
        values.emplace_back(*codDJ);
    }
    auto rows = database.openRecordset(sql + " Order By ID", values);
    for (long row = 0; row < rows->recordCount(); ++row) {
        row == 0 ? rows->moveFirst() : rows->moveNext();
        DeliveryReceipt each;
        each.id = static_cast<long>(rows->value("ID").toWholeNumber().value_or(0));
        each.codDJ = static_cast<long>(rows->value(Header::CodDJ).toWholeNumber().value_or(0));
        each.fileName = rows->value("sArchivo").toText();
        each.folder = rows->value("sCarpeta").toText();
        each.size = static_cast<std::uintmax_t>(rows->value("dTamano").toWholeNumber().value_or(0));
        each.sha256 = rows->value("sSha256").toText();
        each.verificationNumber = rows->value("sNumeroVerificacion").toText();
        each.deliveredAt = rows->value("fEntrega").toDate().value_or(DateTime{});
        each.declarationDeleted = !declarationExists(context, rows->value(Header::CodDJ), rows->value("horaDJ"));
        each.period = wholeNumber(rows->value(Header::lPeriodo));
        each.sequence = wholeNumber(rows->value("iSecuencia"));
        if (const auto toPay = rows->value("cSaldoRexa").toCurrency(),
            inFavour = rows->value("cSaldoContrib").toCurrency();
            toPay && inFavour) {
            each.balance = *toPay - *inFavour;
        }
        receipts.push_back(std::move(each));
    }
    return receipts;
}

}  // namespace kapred
