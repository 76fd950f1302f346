#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "calc/registry.h"
#include "data/engine/recordset.h"
#include "import/import_engine.h"
#include "import/import_formats.h"
#include "support/opened_program.h"
#include "support/temp_dir.h"

namespace kapred::test {

// The standard formats of the shipped system tables.
inline constexpr long kComputableFormat = 1;
inline constexpr long kLiabilitiesFormat = 2;
inline constexpr long kAdvancesFormat = 3;
inline constexpr long kPaymentsFormat = 4;
inline constexpr long kExemptFormat = 5;

// Section codes of the shipped system tables.
inline constexpr long kAdvancesSection = 3;

// The program opened on a 2004 declaration (01/01/2004 to 31/12/2004, so advances may be dated
// up to 31/05/2005 and payments up to 31/12/2004), with the business objects registered as at
// start-up.
class ImportFixture : public ::testing::Test {
protected:
    ImportFixture() {
        registerBusinessObjects(program.context);
        declaration = program.createDeclaration();
    }

    Context& context() { return program.context; }
    std::filesystem::path file(const std::string& name, const std::string& bytes) {
        const auto path = files / name;
        writeBytes(path, bytes);
        return path;
    }

    // A run of the engine over the bytes with the format, as the import window starts it.
    struct Run {
        bool result = false;
        ImportRun::State state = ImportRun::State::Idle;
        long linesRead = 0;
        long errors = 0;
        std::string errorFile;
    };
    Run importBytes(long formatId, const std::string& bytes, ImportRun* given = nullptr) {
        ImportRun own(context());
        ImportRun& run = given != nullptr ? *given : own;
        const auto format = findFormat(context(), formatId);
        EXPECT_TRUE(format.has_value());
        run.LimpiarImportacion();
        run.formatId = formatId;
        run.importCode = format ? format->section : 0;
        run.inputPath = file("entrada.txt", bytes);
        run.errorFileName = kImportErrorFile;
        Run outcome;
        outcome.result = run.ImportarArchivo();
        tell(program.ui, run.outcome());
        outcome.state = run.state();
        outcome.linesRead = run.linesRead();
        outcome.errors = run.errors();
        outcome.errorFile = readBytes(run.errorFilePath());
        return outcome;
    }

    // A user format of the advances with the given ranges for fFecha and cImporte.
    long advancesFormat(const std::string& name, const std::string& dateFrom, const std::string& dateTo,
                        const std::string& amountFrom, const std::string& amountTo, bool point = false) {
        const auto id = createFormat(context(), kAdvancesSection, name);
        EXPECT_TRUE(id.has_value());
        FieldGrid grid = fieldGrid(context(), *findFormat(context(), *id));
        EXPECT_EQ(grid.rows.size(), 2u);
        grid.rows[0].from = dateFrom;
        grid.rows[0].to = dateTo;
        grid.rows[1].from = amountFrom;
        grid.rows[1].to = amountTo;
        grid.point = point;
        EXPECT_EQ(savePositions(context(), grid), SaveOutcome::Saved);
        return id.value_or(0);
    }

    // The rows of a table for a declaration, each as "column=value" texts (all but the key), in
    // storage order.
    std::vector<std::vector<std::string>> rows(const std::string& table, long codDJ = 20040) {
        auto found = context().g_dbAplicativo->openRecordset("SELECT * FROM " + table +
                                                             " WHERE CodDJ = " + std::to_string(codDJ));
        std::vector<std::vector<std::string>> result;
        for (found->eof() ? void() : found->moveFirst(); !found->eof(); found->moveNext()) {
            std::vector<std::string> row;
            for (const auto& field : found->fields()) {
                if (field.name != "CUIT" && field.name != "CodDJ") {
                    row.push_back(field.name + "=" + found->value(field.name).toText(context().numberFormat()));
                }
            }
            result.push_back(row);
        }
        return result;
    }

    OpenedProgram program;
    std::shared_ptr<BDDJJ> declaration;
    TempDir files;
};

}  // namespace kapred::test
