// What a script reads with --json: every command's standard output is JSON, and so is standard
// error when the command fails; a key has one type wherever it appears (null aside), and names
// are the program's field names or words without spaces.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_run.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

struct JsonCase {
    std::string command;    // the command the case is about
    std::string arguments;  // $ROOT and $SAMPLES stand for the installation's root and the samples
    int status = 0;
};

// In order: each case works on what the ones before it left.
const std::vector<JsonCase> kCases{
    {"status", "status"},
    {"message", "message --off"},
    {"new", test::kNewOriginal2004},
    {"declarations", "declarations"},
    {"modify", "modify 20040 --kind 1"},
    {"copy", "copy 20040 --period 2004 --sequence 1"},
    {"show", "show 20040"},
    {"sections", "sections"},
    {"fields", "fields Pasivo"},
    {"set", "set 20040 ActivoExento cCuotasSociales=300"},
    {"add-row", "add-row 20040 Anticipos fFecha=15/01/2005 cImporte=3.000"},
    {"rows", "rows 20040 Anticipos"},
    {"modify-row", "modify-row 20040 Anticipos 1 cImporte=4.000"},
    {"delete-row", "--yes delete-row 20040 Anticipos 1"},
    {"delete-all", "--yes delete-all 20040 Anticipos"},
    {"liquidation", "liquidation 20040"},
    {"determination", "determination 20040"},
    {"taxpayer", "taxpayer"},
    {"tables", "tables T_SECUENCIAS"},
    {"formats", "formats"},
    {"format-new", "format-new --section 3 Prueba"},
    {"format-rename", "format-rename Prueba Otra"},
    {"format-set", "format-set Otra fFecha=1-10 cImporte=11-25 --point"},
    {"format-fields", "format-fields Otra"},
    {"format-delete", "--yes format-delete Otra"},
    {"import", "import 20040 --format 3 --file $SAMPLES/anticipos.txt"},
    {"export", "export 20040 --format 3 --file $ROOT/exportado.txt"},
    {"generate", "--yes generate 20040 --dest $ROOT --keep-plain $ROOT/legible.txt"},
    {"clean", "clean"},
    {"check", "check 20040"},
    {"diff", "diff 20040 20041"},
    {"deliveries", "deliveries"},
    {"inspect", "inspect $ROOT/legible.txt"},
    {"print", "print 20040 --pdf $ROOT/f369.pdf"},
    {"workpaper", "workpaper 20040 DJ --pdf $ROOT/papeles.pdf"},
    {"format-print", "format-print 3 --pdf $ROOT/formato.pdf"},
    {"backup", "backup --to $ROOT/copia.kbk"},
    {"delete", "--yes delete 20041"},
    {"repair", "repair"},
    // Failures: a validation, a missing declaration, a command line that cannot be understood.
    {"set", "set 20040 Pasivo cDeudas=-5", 2},
    {"show", "show 20049", 3},
    {"declarations", "declaraciones", 2},
    {"declarations", "--cuit '' declarations", 2},
    {"compact", "--yes compact"},
    {"restore", "--yes restore $ROOT/copia.kbk"},
};

// The registry's commands; "open" starts the desktop program, which a test build has not beside it.
const std::vector<JsonCase> kRegistryCases{
    {"add", "add 30-71234567-1 --nombre \"Cooperativa de Trabajo\" --actividad 011111 --promovida si"},
    {"list", "list"},
    {"show", "show 30-71234567-1"},
    {"modify", "modify 30-71234567-1 --localidad Rafaela"},
    {"backup", "backup --to $ROOT/copias/padron.kbk"},
    {"open", "open 30-71234567-1", 3},
    {"delete", "--yes delete 30-71234567-1"},
    {"add", "add 30-71234567-0 --nombre Otra", 2},
    {"show", "show 30-71234567-1", 3},
    {"list", "lsit", 2},
    {"restore", "--yes restore $ROOT/copias/padron.kbk"},
};

std::string typeOf(const nlohmann::json& value) {
    return value.is_number() ? "number" : value.type_name();
}

// Each key's types, wherever it appears in the value, with the command that first gave each.
using KeyTypes = std::map<std::string, std::map<std::string, std::string>>;
void collectTypes(const nlohmann::json& value, const std::string& command, KeyTypes& types) {
    if (value.is_object()) {
        for (const auto& [key, member] : value.items()) {
            if (!member.is_null()) {
                types[key].emplace(typeOf(member), command);
            }
            collectTypes(member, command, types);
        }
    } else if (value.is_array()) {
        for (const auto& element : value) {
            collectTypes(element, command, types);
        }
    }
}

using Runner = test::CliResult (*)(const test::ProgramDir&, const std::string&);

// The commands a program has, as its manual lists them.
std::set<std::string> programCommands(const test::ProgramDir& dir, Runner run) {
    const auto manual = run(dir, "--manual-roff");
    std::set<std::string> names;
    static const std::regex heading("^\\.SS (\\S+)$");
    std::smatch match;
    std::istringstream lines(manual.out);
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, match, heading)) {
            names.insert(std::regex_replace(match[1].str(), std::regex("\\\\-"), "-"));
        }
    }
    return names;
}

// Runs the cases in order with --json, checks both outputs and gathers the keys' types.
void runCases(const test::ProgramDir& dir, Runner run, const std::vector<JsonCase>& cases, KeyTypes& types) {
    const std::set<std::string> commands = programCommands(dir, run);
    ASSERT_GE(commands.size(), 8u);
    std::set<std::string> covered;
    for (const JsonCase& each : cases) {
        if (commands.count(each.command) == 0) {
            continue;  // the print commands, in a build without Qt
        }
        std::string arguments = std::regex_replace(each.arguments, std::regex("\\$ROOT"), dir.root().string());
        arguments = std::regex_replace(arguments, std::regex("\\$SAMPLES"), KAPRED_RESOURCES_DIR "/samples");
        const auto result = run(dir, "--json " + arguments);
        SCOPED_TRACE(arguments + "\n" + result.out + result.err);
        EXPECT_EQ(result.status, each.status);
        covered.insert(each.command);
        if (!result.out.empty()) {
            const auto out = nlohmann::json::parse(result.out, nullptr, false);
            ASSERT_FALSE(out.is_discarded()) << "standard output is not JSON";
            collectTypes(out, each.command, types);
        }
        if (each.status != 0 || !result.err.empty()) {
            const auto err = nlohmann::json::parse(result.err, nullptr, false);
            ASSERT_TRUE(err.is_object()) << "standard error is not a JSON object";
            EXPECT_EQ(err.value("Estado", -1), each.status);
            if (each.status != 0) {
                EXPECT_TRUE(err.contains("Error") || !err["Mensajes"].empty()) << "a failure without its reason";
            }
            collectTypes(err, each.command, types);
        }
    }
    for (const auto& command : commands) {
        EXPECT_EQ(covered.count(command), 1u) << "no case for " << command;
    }
}

void expectOneTypePerKey(const KeyTypes& types) {
    for (const auto& [key, kinds] : types) {
        std::string given;
        for (const auto& [kind, command] : kinds) {
            given += " " + kind + " (" + command + ")";
        }
        EXPECT_EQ(kinds.size(), 1u) << key << ":" << given;
        EXPECT_EQ(key.find(' '), std::string::npos) << key;
    }
}

TEST(JsonOutput, EveryCommandGivesJsonWithOneTypePerKey) {
    test::ProgramDir dir;
    KeyTypes types;
    // The laid-out program, which has the printouts' layouts beside it.
    runCases(dir, test::runLaidOutCli, kCases, types);
    expectOneTypePerKey(types);
    EXPECT_EQ(types["CodDJ"].begin()->first, "number");
    EXPECT_EQ(types["SePuedeGenerar"].begin()->first, "boolean");
}

// The registry's command line has the same conventions.
TEST(JsonOutput, EveryCommandOfTheRegistryGivesJsonWithOneTypePerKey) {
    test::ProgramDir dir;
    fs::create_directories(dir.root() / "copias");
    KeyTypes types;
    runCases(dir, test::runPadron, kRegistryCases, types);
    expectOneTypePerKey(types);
    EXPECT_EQ(types["empProm"].begin()->first, "boolean");
}

// The asset summary adds the non-computable and the exempt assets in one box; a script reads
// each apart, and their sum under a name of its own.
TEST(JsonOutput, TheAssetSummaryGivesEachPartAndTheirSum) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    ASSERT_EQ(test::runCli(dir, "set 20040 ActivoNoComputable cBienesExterior=200").status, 0);
    ASSERT_EQ(test::runCli(dir, "set 20040 ActivoExento cCuotasSociales=300").status, 0);
    const auto result = test::runCli(dir, "--json show 20040 Activo");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto figures = nlohmann::json::parse(result.out);
    EXPECT_EQ(figures["ccActivoNoComputable"], "200.00");
    EXPECT_EQ(figures["ccActivoExento"], "300.00");
    EXPECT_EQ(figures["ccActivoNoComputableYExento"], "500.00");
    EXPECT_EQ(figures["ccActivo"], "500.00");
}

// The data to standard output, the summary apart on standard error, both whole.
TEST(JsonOutput, DataOnStandardOutputLeavesTheSummaryOnStandardError) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    ASSERT_EQ(test::runCli(dir, "import 20040 --format 3 --file " KAPRED_RESOURCES_DIR "/samples/anticipos.txt").status,
              0);
    for (const std::string command :
         {"--json export 20040 --format 3 --file -", "--json generate 20040 --dry-run --keep-plain -"}) {
        const auto result = test::runCli(dir, command);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(nlohmann::json::parse(result.out, nullptr, false).is_discarded()) << "the data, not JSON";
        const auto summary = nlohmann::json::parse(result.err);
        EXPECT_EQ(summary["Estado"], 0);
        EXPECT_TRUE(summary["Resultado"].is_object()) << result.err;
    }
}

}  // namespace
}  // namespace kapred
