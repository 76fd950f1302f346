#include "support/program_dir.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "data/app_database.h"
#include "data/engine/database.h"

namespace kapred::test {

namespace fs = std::filesystem;

namespace {

// The shared empty database lives beside the demo installation; a test program built after it
// was made makes it again, in case the schema changed.
fs::path emptyAppDatabase() {
    const fs::path shared = fs::path(KAPRED_DEMO_DIR) / "vacia" / "Kapred.mdb";
    std::error_code error;
    const auto made = fs::last_write_time(shared, error);
    if (!error && made >= fs::last_write_time("/proc/self/exe")) {
        return shared;
    }
    const ProgramDir work;
    db::Engine engine;
    CreateAppDatabase(engine, work.home());
    // Written aside and renamed, so that tests running at the same time never see half a file.
    const fs::path aside = shared.string() + "." + std::to_string(::getpid());
    fs::create_directories(shared.parent_path());
    fs::copy_file(work.appDatabase(), aside, fs::copy_options::overwrite_existing);
    fs::rename(aside, shared);
    return shared;
}

}  // namespace

ProgramDir::ProgramDir() : home_(root_ / "Kapred") {
    fs::create_directories(home_);
    const fs::path demo = KAPRED_DEMO_DIR;
    for (const auto& entry : fs::directory_iterator(demo / "Kapred")) {
        if (entry.path().extension() == ".mdb" && entry.path().filename() != "Kapred.mdb") {
            fs::copy_file(entry.path(), home_ / entry.path().filename());
        }
    }
    fs::copy(demo / "Kapred" / "sistema", systemDir());
    fs::copy_file(demo / "rexa.mdb", root() / "rexa.mdb");
    fs::copy_file(demo / "sistema.mdb", root() / "sistema.mdb");
}

void ProgramDir::addEmptyAppDatabase(int advances) const {
    static const fs::path empty = emptyAppDatabase();
    fs::copy_file(empty, appDatabase());
    if (advances == 0) {
        return;
    }
    db::Engine engine;
    auto database = engine.openDatabase(appDatabase(), false, false, kConnect);
    db::Transaction transaction(*database);
    for (int id = 1; id <= advances; ++id) {
        database->execute("INSERT INTO Anticipos (CUIT, CodDJ, ID, cImporte) VALUES (20123456789, 20040, " +
                          std::to_string(id) + ", CCur(1))");
    }
    transaction.commit();
}

std::string readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace kapred::test
