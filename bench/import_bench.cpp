// Importing 100,000 advances into one declaration, end to end through the business objects, set
// against SQLite inserting the same 100,000 rows into the same table in one transaction. Both
// run in the same process on a fresh installation each time; the ratio and the rows per second
// are printed at the end.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <string>

#include "calc/registry.h"
#include "import/import_engine.h"
#include "support/opened_program.h"

namespace {

using namespace kapred;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 100000;
constexpr long kAdvancesFormat = 3;

double g_importBest = std::numeric_limits<double>::max();
double g_sqliteBest = std::numeric_limits<double>::max();

// Row i of the file: a date from 01/01/2005 to 28/05/2005 and an amount of i,25.
std::string date(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/2005", i % 28 + 1, i % 5 + 1);
    return text;
}

const std::string& advancesFile() {
    static const std::string text = [] {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(kRows) * 27);
        char amount[32];
        for (int i = 1; i <= kRows; ++i) {
            std::snprintf(amount, sizeof amount, "0%011d,25", i);
            bytes += date(i) + amount + "\r\n";
        }
        return bytes;
    }();
    return text;
}

long storedRows(test::OpenedProgram& program) {
    return program.countRows("Anticipos", 20040);
}

void BM_ImportAdvances(benchmark::State& state) {
    for (auto _ : state) {
        test::OpenedProgram program;
        registerBusinessObjects(program.context);
        program.createDeclaration();
        const auto file = program.dir.root() / "anticipos.txt";
        test::writeBytes(file, advancesFile());

        const auto start = Clock::now();
        const ImportResult result = importFile(program.context, kAdvancesFormat, file);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

        if (result.outcome != ImportOutcome::Finished || result.errors != 0 || storedRows(program) != kRows) {
            state.SkipWithError("the import did not store every row");
            return;
        }
        state.SetIterationTime(seconds);
        g_importBest = std::min(g_importBest, seconds);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ImportAdvances)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SqliteInsertAdvances(benchmark::State& state) {
    for (auto _ : state) {
        test::OpenedProgram program;
        program.createDeclaration();
        sqlite3* connection = program.context.g_dbAplicativo->handle();
        const double cuit = 20123456789.0;

        const auto start = Clock::now();
        sqlite3_exec(connection, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(connection,
                           "INSERT INTO Anticipos (CUIT, CodDJ, ID, fFecha, cImporte) VALUES (?1, ?2, ?3, ?4, ?5)", -1,
                           &insert, nullptr);
        for (int i = 1; i <= kRows; ++i) {
            const std::string day = date(i);
            const std::string iso = day.substr(6, 4) + "-" + day.substr(3, 2) + "-" + day.substr(0, 2);
            sqlite3_bind_double(insert, 1, cuit);
            sqlite3_bind_int(insert, 2, 20040);
            sqlite3_bind_int(insert, 3, i);
            sqlite3_bind_text(insert, 4, iso.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 5, static_cast<sqlite3_int64>(i) * 10000 + 2500);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        const bool committed = sqlite3_exec(connection, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

        if (!committed || storedRows(program) != kRows) {
            state.SkipWithError("SQLite did not store every row");
            return;
        }
        state.SetIterationTime(seconds);
        g_sqliteBest = std::min(g_sqliteBest, seconds);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SqliteInsertAdvances)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_importBest < std::numeric_limits<double>::max() && g_sqliteBest < std::numeric_limits<double>::max()) {
        std::printf("\nImport through the business objects: %.0f rows/s (best %.3f s)\n", kRows / g_importBest,
                    g_importBest);
        std::printf("SQLite alone, one transaction:      %.0f rows/s (best %.3f s)\n", kRows / g_sqliteBest,
                    g_sqliteBest);
        std::printf("Ratio import / SQLite: %.1f (the goal is at most 3)\n", g_importBest / g_sqliteBest);
    }
    return 0;
}
