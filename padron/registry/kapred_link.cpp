#include "registry/kapred_link.h"

#include <stdlib.h>

#include "app/cuit.h"
#include "data/app_database.h"
#include "data/engine/files.h"
#include "data/values/error.h"

namespace kapred::padron {

namespace fs = std::filesystem;

namespace {

// A private folder for the copy, removed with everything in it when done.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "kapred-padron-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw Error(err::kPathAccess, "declarationsOf",
                        "No se puede crear una carpeta temporal: " + db::systemError(errno) + ".");
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

long declarationsOf(db::Engine& engine, const fs::path& programDirectory, const std::string& cuit) {
    const auto digits = commandLineCuit(cuit);
    const fs::path source = programDirectory / kAppDatabaseFile;
    if (!digits || !fs::exists(source)) {
        return 0;
    }
    ScratchFolder scratch;
    const fs::path copy = scratch.path() / kAppDatabaseFile;
    db::FileHandle file = db::createWorkFile(copy);
    if (!file.valid() || !db::copyInto(source, file.get()) || !file.close()) {
        throw Error(err::kPathAccess, "declarationsOf",
                    "No se puede leer " + source.string() + ": " + db::systemError(errno) + ".");
    }
    // Between runs Kapred keeps its file scrambled; while it runs, plain.
    db::Workspace workspace(engine, "Padron", "admin");
    std::shared_ptr<db::Database> database;
    try {
        database = workspace.openDatabase(copy, false, true, kConnect);
    } catch (const Error&) {
        ToggleDatabaseHeader(copy, false);
        database = workspace.openDatabase(copy, false, true, kConnect);
    }
    auto rows = database->openRecordset("SELECT Count(*) AS n FROM DDJJ WHERE CUIT = ?", {std::stoll(*digits)},
                                        db::RecordsetType::Snapshot);
    const long count = static_cast<long>(rows->value("n").toWholeNumber().value_or(0));
    rows->close();
    workspace.close();
    return count;
}

KapredStart kapredStart(const fs::path& program, const std::string& cuit, const fs::path& programDirectory) {
    return {program, {sFormatCuit(cuit, true)}, programDirectory};
}

fs::path kapredBeside() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return (error ? fs::path() : self.parent_path()) / "kapred";
}

}  // namespace kapred::padron
