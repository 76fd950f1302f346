#include "support/opened_program.h"

#include <filesystem>
#include <stdexcept>

#include "data/app_database.h"
#include "data/engine/recordset.h"
#include "data/validation.h"
#include "support/checks.h"

namespace kapred::test {

namespace {

// A user whose own locale writes numbers the other way round, so that a test passes only with
// the separators the program imposes.
UserLocale pointDecimalUser() {
    return UserLocale{"en_US", {".", ",", ".", ","}};
}

std::shared_ptr<db::Database> open(Context& context, const std::filesystem::path& path) {
    auto database = context.engine.openDatabase(path, false, false, kConnect);
    // These tests never crash on purpose: waiting for the disk after every row buys them nothing.
    database->execute("PRAGMA synchronous = OFF");
    return database;
}

}  // namespace

DateTime fixedNow() {
    DateTime now = DateTime::fromDate(2005, 3, 10);
    now.time = std::chrono::hours(10) + std::chrono::minutes(20) + std::chrono::seconds(30);
    return now;
}

OpenedProgram::OpenedProgram(const std::string& commandLine)
    : context(dir.home(), commandLine, ui, RegionalSettings(pointDecimalUser())) {
    context.clock = fixedNow;
    dir.addEmptyAppDatabase();
    context.g_dbAplicativo = open(context, context.appDatabasePath());
    context.g_dbTablas = open(context, context.systemDatabasePath());
    context.g_dbOrel = open(context, context.hostDirectory() / kHostTaxpayerFile);
    context.g_dbSistema = open(context, context.hostDirectory() / kHostReferenceFile);
    context.regional.SetRegionalSettings();
}

std::shared_ptr<BDDJJ> OpenedProgram::createDeclaration(const HeaderInput& input) {
    auto header = std::make_shared<BDDJJ>(context);
    accepted(*header, header->Aceptar(EntryMode::Adding, typedHeader(input)));
    makeCurrent(header);
    return header;
}

void OpenedProgram::accepted(const SectionObject& object, int code) {
    if (code == 0) {
        return;
    }
    std::string text = object.Entity->sEntityName() + " refused with code " + std::to_string(code) + ":";
    for (const auto& line : BuildInconsistencyLines(object, code, context.numberFormat())) {
        text += "\n  " + line;
    }
    throw std::runtime_error(text);
}

long OpenedProgram::addRow(BListSection& list, const std::string& date, const std::string& amount) {
    accepted(list, list.Aceptar(EntryMode::Adding, {{"fFecha", Variant(date)}, {"cImporte", Variant(amount)}}));
    return static_cast<long>(list.Entity->vGetFieldValue("ID").toWholeNumber().value_or(0));
}

long OpenedProgram::countRows(const std::string& table) {
    return test::countRows(*context.g_dbAplicativo, table);
}

long OpenedProgram::countRows(const std::string& table, long codDJ) {
    return test::countRows(*context.g_dbAplicativo,
                           table + " WHERE CUIT = " + context.cuit() + " AND CodDJ = " + std::to_string(codDJ));
}

}  // namespace kapred::test
