#include "data/engine/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <utility>

#include "data/engine/dialect.h"
#include "data/engine/engine.h"
#include "data/engine/recordset.h"
#include "data/engine/statement_cache.h"
#include "data/engine/storage.h"
#include "data/values/error.h"
#include "data/values/text.h"

namespace kapred::db {

namespace {

constexpr std::string_view kBookkeepingPrefix = "kp_";
constexpr std::string_view kRowIdColumn = "__kp_rowid__";

std::string sqliteIndexName(std::string_view table, std::string_view index) {
    return std::string(table) + ":" + std::string(index);
}

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* connection, std::string_view sql, const std::string& source) : connection_(connection) {
        const int rc = sqlite3_prepare_v2(connection, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
        if (rc != SQLITE_OK) {
            raiseSqliteError(connection, rc, source);
        }
    }
    // Takes over a statement prepared elsewhere.
    Statement(sqlite3* connection, sqlite3_stmt* prepared) : connection_(connection), statement_(prepared) {}
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return statement_; }
    sqlite3_stmt* release() { return std::exchange(statement_, nullptr); }
    bool step(const std::string& source) {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc != SQLITE_DONE) {
            raiseSqliteError(connection_, rc, source);
        }
        return false;
    }
    std::string text(int column) const {
        const auto* value = sqlite3_column_text(statement_, column);
        return value == nullptr ? std::string() : reinterpret_cast<const char*>(value);
    }
    long long integer(int column) const { return sqlite3_column_int64(statement_, column); }
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

private:
    sqlite3* connection_;
    sqlite3_stmt* statement_ = nullptr;
};

// Select lists whose rows are not rows of one table: the result cannot be changed.
bool readOnlyShape(std::string_view sql) {
    for (const char* keyword : {"GROUP", "DISTINCT", "UNION", "HAVING"}) {
        if (hasTopLevelKeyword(sql, keyword)) {
            return true;
        }
    }
    return false;
}

// The statement with each row's identity as its first column; empty when it is no SELECT.
std::string withRowId(const std::string& sql) {
    if (!startsWithKeyword(sql, "SELECT")) {
        return {};
    }
    const auto afterSelect = sql.find_first_not_of(" \t\r\n") + 6;
    return sql.substr(0, afterSelect) + " rowid AS " + std::string(kRowIdColumn) + "," + sql.substr(afterSelect);
}

// A table name alone ("Clientes", "[Clientes]") opens the whole table.
std::optional<std::string> bareTableName(std::string_view sql) {
    std::string name = trimmed(sql);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    if (name.empty() || !std::all_of(name.begin(), name.end(), isWordChar)) {
        return std::nullopt;
    }
    return name;
}

}  // namespace

bool isBookkeeping(std::string_view table) {
    return table.size() > kBookkeepingPrefix.size() &&
           equalsIgnoreCase(table.substr(0, kBookkeepingPrefix.size()), kBookkeepingPrefix);
}

[[noreturn]] void raiseSqliteError(sqlite3* connection, int code, const std::string& source) {
    const std::string detail = connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(code);
    switch (code & 0xFF) {
        case SQLITE_CONSTRAINT:
            if (code == SQLITE_CONSTRAINT_NOTNULL) {
                const auto dot = detail.rfind('.');
                const std::string field = dot == std::string::npos ? detail : detail.substr(dot + 1);
                throw Error(err::kRequiredNull, source,
                            "El campo '" + field +
                                "' no puede contener un valor nulo porque la propiedad Required para "
                                "este campo está establecida a True. Escriba un valor en este campo.");
            }
            throw Error(err::kDuplicateKey, source,
                        "Los cambios solicitados en la tabla no se realizaron correctamente porque "
                        "crearían valores duplicados en el índice, clave principal o relación.");
        case SQLITE_NOTADB:
            throw Error(err::kUnrecognisedFormat, source, "Formato de base de datos no reconocido.");
        case SQLITE_CORRUPT:
            throw Error(err::kCannotOpen, source,
                        "No se puede abrir la base de datos. Puede que no sea una base de datos "
                        "reconocida por su aplicación o que el archivo esté dañado.");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw Error(err::kLocked, source,
                        "No se pudo actualizar; la base de datos está bloqueada por otro proceso.");
        case SQLITE_FULL:
            throw Error(err::kDiskFull, source, "No hay espacio suficiente en el disco.");
        case SQLITE_IOERR: {
            const int number = connection != nullptr ? sqlite3_system_errno(connection) : 0;
            throw Error(err::kDiskOrNetwork, source,
                        number != 0 ? "Error de disco o de red: " + systemError(number) + "."
                                    : std::string("Error de disco o de red."));
        }
        case SQLITE_READONLY:
            throw Error(err::kReadOnly, source,
                        "No se puede actualizar. La base de datos o el objeto es de sólo lectura.");
        case SQLITE_AUTH:
            throw Error(3043, source, "Error de disco o de red: no se pudo preparar el disco para este cambio.");
        case SQLITE_CANTOPEN:
            throw Error(err::kFileNotFound, source, "No se puede abrir el archivo de la base de datos.");
        default:
            throw Error(err::kSyntax, source, "Error en la instrucción SQL: " + detail);
    }
}

namespace {
std::atomic<std::uint64_t> nextSerial{0};
}  // namespace

Database::Database(sqlite3* connection, std::string path, Workspace* workspace)
    : connection_(connection),
      statements_(std::make_unique<StatementCache>(connection)),
      path_(std::move(path)),
      workspace_(workspace),
      serial_(nextSerial.fetch_add(1) + 1) {}

Database::~Database() {
    statements_.reset();
    if (connection_ != nullptr) {
        sqlite3_close_v2(connection_);
    }
}

sqlite3_stmt* Database::prepared(const std::string& sql, const std::string& source) {
    sqlite3* connection = handle();
    if (sqlite3_stmt* statement = statements_->find(sql)) {
        return statement;
    }
    // Prepared again only to tell why SQLite refuses it.
    Statement refused(connection, sql, source);
    throw Error(err::kSyntax, source, "Error en la instrucción SQL.");
}

void Database::close() {
    if (connection_ == nullptr) {
        return;
    }
    if (transactionDepth_ > 0) {
        sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
        transactionDepth_ = 0;
    }
    statements_->clear();
    sqlite3_close_v2(connection_);
    connection_ = nullptr;
    tableCache_.clear();
    newRowValues_.clear();
    ++schemaVersion_;
    if (workspace_ != nullptr) {
        auto* workspace = workspace_;
        workspace_ = nullptr;
        workspace->forget(this);
    }
}

void Database::reopen(std::string_view connect) {
    if (transactionDepth_ > 0 || inTransaction()) {
        throw Error(err::kTransaction, "OpenDatabase",
                    "No se puede volver a abrir la base de datos durante una transacción.");
    }
    sqlite3* fresh = openCheckedConnection(path_, false, false, connect);
    statements_.reset();
    sqlite3_close_v2(connection_);
    connection_ = fresh;
    statements_ = std::make_unique<StatementCache>(connection_);
    installWriteGuard();
    tableCache_.clear();
    readOnlyShapes_.clear();
    newRowValues_.clear();
    passResults_.clear();
    ++schemaVersion_;
}

void Database::guardFirstWrite(std::function<bool()> guard) {
    writeGuard_ = std::move(guard);
    installWriteGuard();
}

void Database::installWriteGuard() {
    if (writeGuard_ && connection_ != nullptr) {
        sqlite3_set_authorizer(connection_, &Database::authorize, this);
    }
}

// Called by SQLite for each action of a statement being prepared; statements are kept prepared,
// so this runs about once per statement text.
int Database::authorize(void* self, int action, const char* table, const char*, const char*, const char*) {
    auto& database = *static_cast<Database*>(self);
    if (!database.writeGuard_) {
        return SQLITE_OK;
    }
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
        case SQLITE_TRANSACTION:
        case SQLITE_SAVEPOINT:
        // The settings are made when the file is opened; afterwards pragmas only read.
        case SQLITE_PRAGMA:
            return SQLITE_OK;
        case SQLITE_UPDATE:
            // Reading the schema is told as changes of SQLite's own table; a real change of the
            // schema comes with its own action as well.
            if (table != nullptr && std::string_view(table).starts_with("sqlite_")) {
                return SQLITE_OK;
            }
            break;
        default:
            break;
    }
    if (!database.writeGuard_()) {
        return SQLITE_DENY;
    }
    database.writeGuard_ = nullptr;
    return SQLITE_OK;
}

bool Database::passesQuickCheck() {
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(handle(), "PRAGMA quick_check", -1, &statement, nullptr);
    bool sound = rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW &&
                 std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) == "ok" &&
                 (rc = sqlite3_step(statement)) == SQLITE_DONE;
    sqlite3_finalize(statement);
    // Damage shows as rows of findings or as an error of the check itself; any other error is no
    // finding about the file.
    if (!sound && rc != SQLITE_ROW && (rc & 0xFF) != SQLITE_CORRUPT && (rc & 0xFF) != SQLITE_NOTADB) {
        raiseSqliteError(connection_, rc, "QuickCheck");
    }
    return sound;
}

sqlite3* Database::handle() {
    if (connection_ == nullptr) {
        throw Error(err::kObjectClosed, "Database", "El objeto no es válido o ya no está establecido.");
    }
    return connection_;
}

double Database::freePageShare() {
    const auto pragma = [this](const char* sql) {
        Statement statement(handle(), sql, "FreePageShare");
        return statement.step("FreePageShare") ? statement.integer(0) : 0;
    };
    const long long pages = pragma("PRAGMA page_count");
    return pages > 0 ? static_cast<double>(pragma("PRAGMA freelist_count")) / static_cast<double>(pages) : 0.0;
}

bool Database::inTransaction() {
    return sqlite3_get_autocommit(handle()) == 0;
}

void Database::executeScript(const std::string& sql, const std::string& source) {
    const std::string script = "BEGIN;\n" + sql + "\nCOMMIT;";
    char* message = nullptr;
    if (sqlite3_exec(handle(), script.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string detail = message != nullptr ? message : "error";
        sqlite3_free(message);
        sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Error(err::kSyntax, source, detail);
    }
    tableCache_.clear();
    newRowValues_.clear();
    ++schemaVersion_;
}

long Database::execute(std::string_view sql, const Parameters& parameters) {
    const std::string translated = translate(sql);
    sqlite3* connection = handle();
    if (startsWithKeyword(translated, "CREATE") || startsWithKeyword(translated, "DROP") ||
        startsWithKeyword(translated, "ALTER")) {
        statements_->clear();
        tableCache_.clear();
        newRowValues_.clear();
        ++schemaVersion_;
        Statement statement(connection, translated, "Execute");
        bindParameters(statement.get(), parameters, "Execute");
        while (statement.step("Execute")) {
        }
        return sqlite3_changes(connection);
    }
    // Statements of one text share one prepared statement, whatever values they are given.
    sqlite3_stmt* cached = statements_->find(translated);
    std::unique_ptr<Statement> own;
    if (cached == nullptr) {
        own = std::make_unique<Statement>(connection, translated, "Execute");
    }
    StatementUse use(cached != nullptr ? cached : own->get(), parameters, "Execute");
    for (int rc = sqlite3_step(use.get()); rc != SQLITE_DONE; rc = sqlite3_step(use.get())) {
        if (rc != SQLITE_ROW) {
            raiseSqliteError(connection, rc, "Execute");
        }
    }
    return sqlite3_changes(connection);
}

std::unique_ptr<Recordset> Database::openRecordset(std::string_view sql, const Parameters& parameters,
                                                   RecordsetType type) {
    PassKey statement{translate(sql), parameters};
    std::string& translated = statement.first;
    if (const auto table = bareTableName(translated)) {
        translated = "SELECT * FROM " + quoteName(*table);
    }
    sqlite3* connection = handle();
    if (const PassResult* known = passResult(statement)) {
        return std::make_unique<Recordset>(*this, known->fields, known->rows, std::vector<long long>{}, false);
    }

    // A dynaset over one table also reads each row's identity so that it can be changed.
    bool updatable = false;
    sqlite3_stmt* chosen = nullptr;
    auto shape = readOnlyShapes_.find(translated);
    if (shape == readOnlyShapes_.end()) {
        if (readOnlyShapes_.size() > 256) {
            readOnlyShapes_.clear();
        }
        shape = readOnlyShapes_.emplace(translated, readOnlyShape(translated)).first;
    }
    if (type == RecordsetType::Dynaset && !shape->second) {
        chosen = statements_->find(withRowId(translated));
        updatable = chosen != nullptr;
    }
    if (chosen == nullptr) {
        chosen = statements_->find(translated);
    }
    std::unique_ptr<Statement> own;
    if (chosen == nullptr) {
        own = std::make_unique<Statement>(connection, translated, "OpenRecordset");
    }
    StatementUse use(chosen != nullptr ? chosen : own->get(), parameters, "OpenRecordset");
    sqlite3_stmt* raw = use.get();
    const int firstField = updatable ? 1 : 0;
    std::vector<FieldInfo> fields;
    std::vector<bool> typeKnown;
    if (!describeColumns(raw, firstField, translated, fields, typeKnown)) {
        updatable = false;
    }
    if (updatable) {
        for (const auto& field : fields) {
            if (field.table.empty() || !equalsIgnoreCase(field.table, fields.front().table)) {
                updatable = false;
            }
        }
    }

    std::vector<std::vector<Variant>> rows;
    std::vector<long long> rowIds;
    for (int rc = sqlite3_step(raw); rc != SQLITE_DONE; rc = sqlite3_step(raw)) {
        if (rc != SQLITE_ROW) {
            raiseSqliteError(connection, rc, "OpenRecordset");
        }
        rows.push_back(readRow(raw, firstField, fields, typeKnown));
        if (firstField == 1) {
            rowIds.push_back(sqlite3_column_int64(raw, 0));
        }
    }
    if (!updatable) {
        rowIds.clear();
        if (readPass_ && inTransaction() && rows.size() <= 1) {
            passResults_[std::move(statement)] = {fields, rows};
        }
    }
    return std::make_unique<Recordset>(*this, std::move(fields), std::move(rows), std::move(rowIds), updatable);
}

bool Database::describeColumns(sqlite3_stmt* raw, int firstField, const std::string& translated,
                               std::vector<FieldInfo>& fields, std::vector<bool>& typeKnown) {
    const int columnCount = sqlite3_column_count(raw);

    bool plain = true;
    // Only computed columns need the statement read: an aggregate keeps its column's type.
    std::optional<std::vector<std::optional<AggregateItem>>> aggregates;
    std::vector<std::string> tables;
    for (int c = firstField; c < columnCount; ++c) {
        FieldInfo info;
        info.name = sqlite3_column_name(raw, c);
        const char* declared = sqlite3_column_decltype(raw, c);
        const char* table = sqlite3_column_table_name(raw, c);
        const char* origin = sqlite3_column_origin_name(raw, c);
        info.table = table != nullptr ? table : "";
        info.column = origin != nullptr ? origin : "";
        bool known = declared != nullptr;
        if (known) {
            info.type = typeFromDeclaration(declared, &info.size);
        } else {
            if (!aggregates) {
                aggregates = selectAggregates(translated);
                tables = statementTables(translated);
            }
        }
        if (!known && aggregates->size() == static_cast<std::size_t>(columnCount - firstField) &&
            (*aggregates)[static_cast<std::size_t>(c - firstField)]) {
            const auto& item = *(*aggregates)[static_cast<std::size_t>(c - firstField)];
            if (item.function == "count") {
                info.type = DataType::Long;
                info.size = 4;
                known = true;
            } else {
                // A qualifier that is no table is an alias ("FROM Anticipos AS a"): the column
                // is then looked for in the statement's tables, or the sum of a currency column
                // would come back as a count of ten-thousandths.
                std::vector<std::string> candidates = tables;
                if (!item.table.empty() && hasTable(item.table)) {
                    candidates.assign(1, item.table);
                }
                for (const auto& candidate : candidates) {
                    if (!hasTable(candidate)) {
                        continue;
                    }
                    if (const FieldDef* source = tableDef(candidate).field(item.column)) {
                        info.type = source->type;
                        info.size = storageSize(source->type, source->size);
                        known = true;
                        break;
                    }
                }
            }
        }
        if (info.table.empty() || info.column.empty()) {
            plain = false;
        }
        fields.push_back(std::move(info));
        typeKnown.push_back(known);
    }
    return plain;
}

const Database::PassResult* Database::passResult(const PassKey& statement) {
    // Once the read transaction has ended (a write inside it committed) another connection may
    // change the file between statements.
    if (!readPass_ || !inTransaction()) {
        return nullptr;
    }
    // Anything written, or a table changed, since the results were kept makes them stale.
    const auto changes = sqlite3_total_changes64(connection_);
    if (changes != passChanges_ || schemaVersion_ != passSchema_) {
        passResults_.clear();
        passChanges_ = changes;
        passSchema_ = schemaVersion_;
        return nullptr;
    }
    const auto found = passResults_.find(statement);
    return found != passResults_.end() ? &found->second : nullptr;
}

std::unique_ptr<ForwardRecordset> Database::openForwardOnly(std::string_view sql, const Parameters& parameters) {
    std::string translated = translate(sql);
    if (const auto table = bareTableName(translated)) {
        translated = "SELECT * FROM " + quoteName(*table);
    }
    // A statement of its own, not a cached one: the pass may run other statements of the same
    // shape while it is open.
    Statement statement(handle(), translated, "OpenRecordset");
    bindParameters(statement.get(), parameters, "OpenRecordset");
    std::vector<FieldInfo> fields;
    std::vector<bool> typeKnown;
    describeColumns(statement.get(), 0, translated, fields, typeKnown);
    return std::make_unique<ForwardRecordset>(statement.release(), std::move(fields), std::move(typeKnown));
}

std::unique_ptr<Recordset> Database::openForAppend(std::string_view tableName) {
    const TableDef& table = tableDef(tableName);
    std::vector<FieldInfo> fields;
    fields.reserve(table.fields.size());
    for (const auto& field : table.fields) {
        fields.push_back({field.name, field.type, storageSize(field.type, field.size), table.name, field.name});
    }
    return Recordset::forAppending(*this, std::move(fields));
}

const std::vector<std::optional<Variant>>& Database::newRowValues(std::string_view tableName) {
    const TableDef& table = tableDef(tableName);
    if (const auto known = newRowValues_.find(table.name); known != newRowValues_.end()) {
        return known->second;
    }
    std::vector<std::optional<Variant>> values;
    for (const auto& field : table.fields) {
        values.push_back(field.defaultValue ? defaultValueOf(field) : std::nullopt);
    }
    return newRowValues_.emplace(table.name, std::move(values)).first->second;
}

std::vector<std::string> Database::tableNames() {
    Statement statement(handle(),
                        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                        "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                        "TableDefs");
    std::vector<std::string> names;
    while (statement.step("TableDefs")) {
        names.push_back(statement.text(0));
    }
    return names;
}

bool Database::hasTable(std::string_view tableName) {
    if (tableCache_.find(tableName) != tableCache_.end()) {
        return true;
    }
    for (const auto& name : tableNames()) {
        if (equalsIgnoreCase(name, tableName)) {
            return true;
        }
    }
    return false;
}

std::vector<TableDef> Database::tableDefs() {
    std::vector<TableDef> tables;
    for (const auto& name : tableNames()) {
        tables.push_back(tableDef(name));
    }
    return tables;
}

const TableDef& Database::tableDef(std::string_view tableName) {
    // A run over many rows asks for the same table again and again, spelt the same way.
    if (lastTable_ != nullptr && lastTableVersion_ == schemaVersion_ && lastTable_->name == tableName) {
        return *lastTable_;
    }
    auto cached = tableCache_.find(tableName);
    if (cached == tableCache_.end()) {
        std::string actualName;
        for (const auto& name : tableNames()) {
            if (equalsIgnoreCase(name, tableName)) {
                actualName = name;
            }
        }
        if (actualName.empty()) {
            throw Error(err::kItemNotFound, "TableDefs", "Elemento no encontrado en esta colección.");
        }
        cached = tableCache_.emplace(actualName, readTableDef(actualName)).first;
    }
    lastTable_ = &cached->second;
    lastTableVersion_ = schemaVersion_;
    return cached->second;
}

TableDef Database::readTableDef(const std::string& tableName) {
    sqlite3* connection = handle();
    TableDef table;
    table.name = tableName;
    table.attributes = isBookkeeping(tableName) ? kSystemObject : 0;

    Statement columns(connection, "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?1)", "TableDefs");
    sqlite3_bind_text(columns.get(), 1, tableName.c_str(), -1, SQLITE_TRANSIENT);
    while (columns.step("TableDefs")) {
        FieldDef field;
        field.name = columns.text(0);
        field.type = typeFromDeclaration(columns.text(1), &field.size);
        field.required = columns.integer(2) != 0;
        field.attributes = field.type == DataType::Text || field.type == DataType::Memo ? kVariableField : kFixedField;
        field.allowZeroLength = field.type == DataType::Text || field.type == DataType::Memo;
        if (!columns.isNull(3)) {
            std::string literal = columns.text(3);
            if (literal.size() >= 2 && literal.front() == '\'' && literal.back() == '\'') {
                literal = literal.substr(1, literal.size() - 2);
            } else if (field.type == DataType::Currency) {
                literal = Currency::fromScaled(std::stoll(literal)).toPlainString();
            }
            field.defaultValue = literal;
        }
        table.fields.push_back(std::move(field));
    }

    if (!isBookkeeping(tableName)) {
        Statement kept(connection,
                       "SELECT fld, attributes, allow_zero_length, required, validation_rule, "
                       "validation_text, foreign_name FROM kp_fields WHERE tbl = ?1",
                       "TableDefs");
        sqlite3_bind_text(kept.get(), 1, tableName.c_str(), -1, SQLITE_TRANSIENT);
        while (kept.step("TableDefs")) {
            for (auto& field : table.fields) {
                if (field.name == kept.text(0)) {
                    field.attributes = static_cast<long>(kept.integer(1));
                    field.allowZeroLength = kept.integer(2) != 0;
                    field.required = kept.integer(3) != 0;
                    field.validationRule = kept.text(4);
                    field.validationText = kept.text(5);
                    field.foreignName = kept.text(6);
                }
            }
        }
    }

    Statement indexes(connection, "SELECT name, \"unique\" FROM pragma_index_list(?1) ORDER BY seq DESC", "TableDefs");
    sqlite3_bind_text(indexes.get(), 1, tableName.c_str(), -1, SQLITE_TRANSIENT);
    const std::string prefix = tableName + ":";
    while (indexes.step("TableDefs")) {
        const std::string sqliteName = indexes.text(0);
        if (sqliteName.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        IndexDef index;
        index.name = sqliteName.substr(prefix.size());
        index.unique = indexes.integer(1) != 0;
        Statement parts(connection, "SELECT name FROM pragma_index_info(?1) ORDER BY seqno", "TableDefs");
        sqlite3_bind_text(parts.get(), 1, sqliteName.c_str(), -1, SQLITE_TRANSIENT);
        while (parts.step("TableDefs")) {
            index.fields.push_back(parts.text(0));
        }
        Statement flags(connection,
                        "SELECT is_primary, is_required, ignore_nulls, is_clustered FROM kp_indexes "
                        "WHERE tbl = ?1 AND idx = ?2",
                        "TableDefs");
        sqlite3_bind_text(flags.get(), 1, tableName.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(flags.get(), 2, index.name.c_str(), -1, SQLITE_TRANSIENT);
        if (flags.step("TableDefs")) {
            index.primary = flags.integer(0) != 0;
            index.required = flags.integer(1) != 0;
            index.ignoreNulls = flags.integer(2) != 0;
            index.clustered = flags.integer(3) != 0;
        }
        table.indexes.push_back(std::move(index));
    }
    // Indexes in the order they were appended.
    Statement order(connection, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 ORDER BY rowid",
                    "TableDefs");
    sqlite3_bind_text(order.get(), 1, tableName.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<IndexDef> ordered;
    while (order.step("TableDefs")) {
        const std::string sqliteName = order.text(0);
        for (auto& index : table.indexes) {
            if (sqliteIndexName(tableName, index.name) == sqliteName) {
                ordered.push_back(index);
            }
        }
    }
    table.indexes = std::move(ordered);
    return table;
}

void Database::appendTableDef(const TableDef& table) {
    sqlite3* connection = handle();
    if (hasTable(table.name)) {
        throw Error(err::kTableExists, "TableDefs", "La tabla '" + table.name + "' ya existe.");
    }
    if (table.fields.empty()) {
        throw Error(err::kNoFields, "TableDefs",
                    "No hay campos definidos: no se puede anexar la tabla '" + table.name + "'.");
    }
    auto inRequiredIndex = [&](const FieldDef& field) {
        for (const auto& index : table.indexes) {
            if (index.required || index.primary) {
                for (const auto& name : index.fields) {
                    if (equalsIgnoreCase(name, field.name)) {
                        return true;
                    }
                }
            }
        }
        return false;
    };
    std::string create = "CREATE TABLE " + quoteName(table.name) + " (";
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const auto& field = table.fields[i];
        create += (i == 0 ? "" : ", ") + quoteName(field.name) + " " + declarationOf(field);
        if (field.required || inRequiredIndex(field)) {
            create += " NOT NULL";
        }
        if (const auto literal = defaultLiteral(field); !literal.empty()) {
            create += " DEFAULT " + literal;
        }
    }
    create += ")";

    Transaction transaction(*this);
    Statement(connection, create, "TableDefs").step("TableDefs");
    for (const auto& index : table.indexes) {
        std::string columns;
        for (const auto& name : index.fields) {
            if (table.field(name) == nullptr) {
                throw Error(err::kItemNotFound, "Indexes", "Elemento no encontrado en esta colección.");
            }
            columns += (columns.empty() ? "" : ", ") + quoteName(name);
        }
        const std::string sql = std::string(index.unique || index.primary ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                                quoteName(sqliteIndexName(table.name, index.name)) + " ON " + quoteName(table.name) +
                                " (" + columns + ")";
        Statement(connection, sql, "Indexes").step("Indexes");
        Statement flags(connection,
                        "INSERT INTO kp_indexes (tbl, idx, is_primary, is_required, ignore_nulls, "
                        "is_clustered) VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                        "Indexes");
        sqlite3_bind_text(flags.get(), 1, table.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(flags.get(), 2, index.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(flags.get(), 3, index.primary);
        sqlite3_bind_int(flags.get(), 4, index.required);
        sqlite3_bind_int(flags.get(), 5, index.ignoreNulls);
        sqlite3_bind_int(flags.get(), 6, index.clustered);
        flags.step("Indexes");
    }
    for (const auto& field : table.fields) {
        Statement kept(connection,
                       "INSERT INTO kp_fields (tbl, fld, attributes, allow_zero_length, required, "
                       "validation_rule, validation_text, foreign_name) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
                       "Fields");
        sqlite3_bind_text(kept.get(), 1, table.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(kept.get(), 2, field.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(kept.get(), 3, field.attributes);
        sqlite3_bind_int(kept.get(), 4, field.allowZeroLength);
        sqlite3_bind_int(kept.get(), 5, field.required);
        sqlite3_bind_text(kept.get(), 6, field.validationRule.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(kept.get(), 7, field.validationText.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(kept.get(), 8, field.foreignName.c_str(), -1, SQLITE_TRANSIENT);
        kept.step("Fields");
    }
    transaction.commit();
    tableCache_.erase(table.name);
    newRowValues_.erase(table.name);
    ++schemaVersion_;
}

std::vector<RelationDef> Database::relations() {
    Statement statement(handle(), "SELECT name, tbl, foreign_tbl, attributes, fields FROM kp_relations ORDER BY rowid",
                        "Relations");
    std::vector<RelationDef> relations;
    while (statement.step("Relations")) {
        RelationDef relation{
            statement.text(0), statement.text(1), statement.text(2), static_cast<long>(statement.integer(3)), {}};
        // Pairs are kept as "primary=foreign;primary=foreign".
        const std::string pairs = statement.text(4);
        std::size_t start = 0;
        while (start < pairs.size()) {
            auto end = pairs.find(';', start);
            if (end == std::string::npos) {
                end = pairs.size();
            }
            const std::string pair = pairs.substr(start, end - start);
            const auto equals = pair.find('=');
            relation.fields.emplace_back(pair.substr(0, equals),
                                         equals == std::string::npos ? "" : pair.substr(equals + 1));
            start = end + 1;
        }
        relations.push_back(std::move(relation));
    }
    return relations;
}

void Database::appendRelation(const RelationDef& relation) {
    const TableDef primary = tableDef(relation.table);
    const TableDef foreign = tableDef(relation.foreignTable);
    std::string pairs;
    for (const auto& [primaryField, foreignField] : relation.fields) {
        if (primary.field(primaryField) == nullptr || foreign.field(foreignField) == nullptr) {
            throw Error(err::kItemNotFound, "Relations", "Elemento no encontrado en esta colección.");
        }
        pairs += (pairs.empty() ? "" : ";") + primaryField + "=" + foreignField;
    }
    for (const auto& existing : relations()) {
        if (equalsIgnoreCase(existing.name, relation.name)) {
            throw Error(err::kObjectExists, "Relations", "El objeto '" + relation.name + "' ya existe.");
        }
    }
    Statement statement(handle(),
                        "INSERT INTO kp_relations (name, tbl, foreign_tbl, attributes, fields) "
                        "VALUES (?1, ?2, ?3, ?4, ?5)",
                        "Relations");
    sqlite3_bind_text(statement.get(), 1, relation.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement.get(), 2, primary.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement.get(), 3, foreign.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement.get(), 4, relation.attributes);
    sqlite3_bind_text(statement.get(), 5, pairs.c_str(), -1, SQLITE_TRANSIENT);
    statement.step("Relations");
}

void Database::beginTrans() {
    // Inside a read transaction the first write takes the write lock by itself.
    if (transactionDepth_ == 0 && !inTransaction()) {
        const int rc = sqlite3_exec(handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            raiseSqliteError(connection_, rc, "BeginTrans");
        }
    }
    if (transactionDepth_ == 0) {
        rollbackOnly_ = false;
    }
    ++transactionDepth_;
}

void Database::commitTrans() {
    if (transactionDepth_ == 0) {
        throw Error(err::kTransaction, "CommitTrans",
                    "Ha intentado confirmar o deshacer una transacción sin antes iniciarla.");
    }
    if (--transactionDepth_ > 0) {
        return;
    }
    if (rollbackOnly_) {
        sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        tableCache_.clear();
        newRowValues_.clear();
        ++schemaVersion_;
        throw Error(err::kTransaction, "CommitTrans", "La transacción fue cancelada: no se guardó ningún cambio.");
    }
    const int rc = sqlite3_exec(handle(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
        tableCache_.clear();
        newRowValues_.clear();
        ++schemaVersion_;
        raiseSqliteError(connection_, rc, "CommitTrans");
    }
}

void Database::rollback() {
    if (transactionDepth_ == 0) {
        throw Error(err::kTransaction, "Rollback",
                    "Ha intentado confirmar o deshacer una transacción sin antes iniciarla.");
    }
    if (--transactionDepth_ > 0) {
        rollbackOnly_ = true;
        return;
    }
    sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    tableCache_.clear();
    newRowValues_.clear();
    ++schemaVersion_;
}

Transaction::Transaction(Database& database) : database_(database) {
    database_.beginTrans();
}

Transaction::~Transaction() {
    if (!done_ && database_.isOpen() && database_.transactionDepth_ > 0) {
        database_.rollback();
    }
}

void Transaction::commit() {
    done_ = true;
    database_.commitTrans();
}

ReadTransaction::ReadTransaction(Database& database) : database_(database) {
    if (!database_.inTransaction()) {
        const int rc = sqlite3_exec(database_.handle(), "BEGIN DEFERRED", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            raiseSqliteError(database_.connection_, rc, "BeginTrans");
        }
        began_ = true;
        database_.readPass_ = true;
        database_.passResults_.clear();
        database_.passChanges_ = sqlite3_total_changes64(database_.connection_);
        database_.passSchema_ = database_.schemaVersion_;
    }
}

ReadTransaction::~ReadTransaction() {
    if (began_) {
        database_.readPass_ = false;
        database_.passResults_.clear();
    }
    // After reads alone this ends the lock without touching the disk. A statement that wrote
    // under it outside a transaction of its own is committed here, as it would have been by itself.
    if (began_ && database_.isOpen() && database_.transactionDepth_ == 0 && database_.inTransaction()) {
        sqlite3_exec(database_.connection_, "COMMIT", nullptr, nullptr, nullptr);
    }
}

}  // namespace kapred::db
