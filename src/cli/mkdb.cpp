// Builds one of the shipped databases (system tables, demo host data) from SQL scripts, with the
// program's password, so that the program opens it like any other of its files.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "data/app_database.h"
#include "data/values/error.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 3) {
        std::cerr << "uso: kapred-mkdb SALIDA.mdb GUION.sql...\n";
        return 2;
    }
    const fs::path output = argv[1];
    const fs::path work = output.string() + ".tmp";
    try {
        std::error_code ignored;
        fs::remove(work, ignored);
        kapred::db::Engine engine;
        auto database = engine.defaultWorkspace().createDatabase(work, kapred::kConnect);
        for (int i = 2; i < argc; ++i) {
            std::ifstream script(argv[i]);
            if (!script) {
                throw std::runtime_error(std::string("no se puede leer ") + argv[i]);
            }
            std::stringstream text;
            text << script.rdbuf();
            database->executeScript(text.str(), argv[i]);
        }
        database->close();
        fs::rename(work, output);
    } catch (const std::exception& error) {
        const auto* engineError = dynamic_cast<const kapred::Error*>(&error);
        std::cerr << "kapred-mkdb: "
                  << (engineError ? engineError->source() + ": " + engineError->description() : error.what()) << "\n";
        std::error_code ignored;
        fs::remove(work, ignored);
        return 1;
    }
    return 0;
}
