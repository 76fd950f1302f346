#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "app/context.h"
#include "model/declaration.h"
#include "model/liabilities.h"
#include "model/sections.h"
#include "support/header_input.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred::test {

// Field values typed into a window, in the order given.
using FieldValues = EntryValues;

// The moment the program's clock always tells in these tests: 10/03/2005 10:20:30.
DateTime fixedNow();

// The program as the start-up leaves it for the demo taxpayer, without any window: a fresh
// installation with an empty Kapred.mdb (the schema CreateAppDatabase makes), the four databases
// open, the program's separators (decimal comma, thousands point) in force, a scripted user and
// a fixed clock.
//
// The helpers that store data go through the business objects the way the entry windows do
// (validate, then save) and throw std::runtime_error, with the inconsistencies, when the data
// is refused: they prepare a test, they are not what it checks.
class OpenedProgram {
public:
    explicit OpenedProgram(const std::string& commandLine = "20-12345678-9");
    OpenedProgram(const OpenedProgram&) = delete;
    OpenedProgram& operator=(const OpenedProgram&) = delete;

    // A new declaration, validated and saved through BDDJJ, made the current one.
    std::shared_ptr<BDDJJ> createDeclaration(const HeaderInput& input = {});
    void makeCurrent(std::shared_ptr<BDDJJ> header) { context.currentDeclaration = std::move(header); }

    // Sets the fields of the one-row section of the current declaration (its stored row, when
    // there is one, is modified) and saves it.
    template <typename Section>
    void setSection(const FieldValues& values) {
        Section section(context);
        accepted(section, acceptSingleRow(section, values));
    }

    // Adds a row to a list section of the current declaration through the given object (which
    // numbers the rows it saves) and returns the number the row got.
    long addRow(BListSection& list, const std::string& date, const std::string& amount);
    template <typename List>
    long addRow(const std::string& date, const std::string& amount) {
        List list(context);
        return addRow(list, date, amount);
    }

    // Rows of a table of Kapred.mdb: all of them, or those of one declaration of the taxpayer.
    long countRows(const std::string& table);
    long countRows(const std::string& table, long codDJ);

    // Throws with the inconsistencies when Aceptar gave a non-zero code.
    void accepted(const SectionObject& object, int code);

    ProgramDir dir;
    ScriptedUi ui;
    Context context;
};

}  // namespace kapred::test
