#include "app/backup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/file_hash.h"
#include "app/repair.h"
#include "data/app_database.h"
#include "data/engine/files.h"
#include "data/values/error.h"
#include "model/tables/tables.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "KAPRED COPIA DE SEGURIDAD 1";

struct PartEntry {
    std::string name;
    std::uintmax_t size = 0;
    std::string sha256;
};

// The header's parts, and where the bytes begin; a malformed header, or one of other parts than
// the contents', raises.
std::vector<PartEntry> readHeader(std::istream& in, const BackupContents& contents) {
    std::string line;
    if (!std::getline(in, line) || line != kMagic) {
        throw Error(err::kBadBackup, "Restaurar", "no es una copia de seguridad de Kapred");
    }
    std::vector<PartEntry> parts;
    while (std::getline(in, line) && !line.empty()) {
        std::istringstream fields(line);
        PartEntry entry;
        if (!(fields >> entry.name >> entry.size >> entry.sha256) || entry.sha256.size() != 64) {
            throw Error(err::kBadBackup, "Restaurar", "la cabecera de la copia está dañada");
        }
        parts.push_back(entry);
    }
    bool same = parts.size() == contents.parts.size();
    for (std::size_t index = 0; same && index < parts.size(); ++index) {
        same = parts[index].name == contents.parts[index].name;
    }
    if (!same) {
        throw Error(err::kBadBackup, "Restaurar", "la cabecera de la copia está dañada o es de otra clase de copia");
    }
    return parts;
}

// The header's parts, once the file's length is found to be the header's and the parts' sizes.
std::vector<PartEntry> checkedHeader(std::istream& in, const fs::path& source, const BackupContents& contents) {
    std::vector<PartEntry> parts = readHeader(in, contents);
    const auto start = static_cast<std::uintmax_t>(in.tellg());
    std::error_code error;
    const std::uintmax_t length = fs::file_size(source, error);
    std::uintmax_t expected = start;
    for (const PartEntry& part : parts) {
        expected += part.size;
    }
    if (error || length < expected) {
        throw Error(err::kBadBackup, "Restaurar", "la copia está incompleta");
    }
    if (length > expected) {
        throw Error(err::kBadBackup, "Restaurar", "la copia tiene bytes de más al final");
    }
    return parts;
}

// Copies `size` bytes of the stream to a new file (none may be there), hashing them on the way.
std::string extract(std::istream& in, std::uintmax_t size, const fs::path& target) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw Error(err::kPathAccess, "Restaurar", "no se puede crear " + target.string());
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    const bool complete = static_cast<std::uintmax_t>(in.gcount()) == size;
    const bool written = complete && db::writeAll(fd, bytes.data(), bytes.size()) && db::syncData(fd);
    ::close(fd);
    if (!complete) {
        throw Error(err::kBadBackup, "Restaurar", "la copia está incompleta");
    }
    if (!written) {
        throw Error(err::kCannotWrite, "Restaurar", "no se pudo escribir " + target.string());
    }
    return sha256Hex(bytes);
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

// The part's bytes are one of the program's databases: the engine opens it with the program's
// password. The first part must hold the contents' table.
void checkOpens(Context& context, const fs::path& path, const BackupContents& contents, bool first) {
    db::Workspace scratch(context.engine, "Verificar", "admin");
    auto database = scratch.openDatabase(path, false, true, kConnect);
    if (first && !database->hasTable(contents.requiredTable)) {
        throw Error(err::kBadBackup, "Restaurar", contents.withoutTable);
    }
    scratch.close();
}

// Where a restore extracts a part of the backup, beside the database it replaces.
fs::path restoredOf(const BackupContents& contents, const std::string& part) {
    return contents.folder / ("Restaurar.tmp." + part);
}
fs::path restoredOf(const BackupContents& contents, const BackupPart& part) {
    return restoredOf(contents, part.name);
}

// Extracts every part of the backup beside its database, checking sizes and hashes. Raises on the
// first fault, leaving no file behind.
void extractParts(Context& context, const fs::path& source, const BackupContents& contents) {
    if (const auto why = db::whyNotAFile(source)) {
        throw Error(err::kNoSuchFile, "Restaurar", *why);
    }
    std::ifstream in(source, std::ios::binary);
    if (!in.is_open()) {
        throw Error(err::kNoSuchFile, "Restaurar", "no se puede leer el archivo");
    }
    std::vector<fs::path> made;
    try {
        for (const PartEntry& part : checkedHeader(in, source, contents)) {
            const fs::path file = restoredOf(contents, part.name);
            removeQuietly(file);
            made.push_back(file);
            if (extract(in, part.size, file) != part.sha256) {
                throw Error(err::kBadBackup, "Restaurar", "la parte " + part.name + " no coincide con su SHA-256");
            }
            checkOpens(context, file, contents, made.size() == 1);
        }
    } catch (...) {
        for (const fs::path& file : made) {
            removeQuietly(file);
        }
        throw;
    }
}

std::string stamp(const DateTime& now) {
    const auto date = now.date();
    const auto seconds = static_cast<unsigned>(now.time.count()) % 86400;
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02u%02u-%02u%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

// Writes the header and the parts' copies to a new hidden file beside the target (`partial`
// receives its name), flushed to the disk.
void assemble(const std::vector<BackupPart>& parts, const std::vector<fs::path>& copies, const fs::path& target,
              fs::path& partial) {
    std::string header = std::string(kMagic) + "\n";
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const auto hash = sha256OfFile(copies[index]);
        if (!hash) {
            throw Error(err::kNoSuchFile, "CopiaDeSeguridad", "no se puede leer " + copies[index].string());
        }
        header += parts[index].name + " " + std::to_string(fs::file_size(copies[index])) + " " + *hash + "\n";
    }
    header += "\n";
    db::FileHandle file = db::createBeside(target, partial, 0600);
    if (!file.valid()) {
        throw Error(err::kPathAccess, "CopiaDeSeguridad",
                    "no se puede crear un archivo en " + target.parent_path().string() + ": " + db::systemError(errno));
    }
    bool written = db::writeAll(file.get(), header.data(), header.size());
    for (std::size_t index = 0; written && index < copies.size(); ++index) {
        written = db::copyInto(copies[index], file.get());
    }
    written = written && db::syncData(file.get());
    if (!written) {
        throw Error(err::kCannotWrite, "CopiaDeSeguridad",
                    "no se pudo escribir " + partial.string() + ": " + db::systemError(errno));
    }
}

// Where the folder records the target of a backup under way, for its leftovers to be found
// whatever the target's name.
fs::path pendingRecord(const BackupContents& contents) {
    return contents.folder / "Copia.pendiente";
}

void recordTarget(const BackupContents& contents, const fs::path& target) {
    db::FileHandle record = db::createWorkFile(pendingRecord(contents));
    const std::string text = target.string() + "\n";
    if (!record.valid() || !db::writeAll(record.get(), text.data(), text.size()) || !db::syncData(record.get()) ||
        !record.close()) {
        throw Error(err::kPathAccess, "CopiaDeSeguridad",
                    "no se puede escribir " + pendingRecord(contents).string() + ": " + db::systemError(errno));
    }
}

fs::path copyOf(const BackupContents& contents, const BackupPart& part) {
    return contents.folder / ("Copia." + part.name + ".tmp");
}

// The text with its first letter in capitals, to begin a sentence.
std::string sentenceStart(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') {
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    }
    return text;
}

}  // namespace

BackupContents programBackup(const Context& context) {
    return {{{"datos", context.appDatabasePath()}, {"tablas", context.systemDatabasePath()}},
            context.appPath,
            "la carpeta del programa",
            std::string(tables::DDJJ::table),
            "la copia no contiene declaraciones",
            "Las declaraciones y los formatos de importación",
            "el Sistema"};
}

std::optional<std::string> backupFault(const fs::path& source, const BackupContents& contents) {
    std::ifstream in(source, std::ios::binary);
    if (!in.is_open()) {
        return "no se puede leer el archivo";
    }
    try {
        for (const PartEntry& part : checkedHeader(in, source, contents)) {
            if (sha256OfStream(in, part.size) != part.sha256) {
                return "la parte " + part.name + " no coincide con su SHA-256";
            }
        }
    } catch (const Error& error) {
        return error.description();
    }
    return std::nullopt;
}

void removeBackupLeftovers(const BackupContents& contents) {
    for (const BackupPart& part : contents.parts) {
        removeQuietly(copyOf(contents, part));
    }
    std::ifstream in(pendingRecord(contents), std::ios::binary);
    std::string target;
    if (std::getline(in, target) && fs::path(target).has_filename()) {
        const fs::path path(target);
        db::removeLeftoversBeside(path.parent_path(),
                                  [&](const std::string& name) { return name == path.filename().string(); });
    }
    removeQuietly(pendingRecord(contents));
}

bool CopiaDeSeguridad(Context& context, const fs::path& target, const BackupContents& contents) {
    // A damaged database cannot be copied; the program's own is repaired first.
    for (const BackupPart& part : contents.parts) {
        if (!RepairIfDamaged(context, part.database)) {
            return false;
        }
    }
    const std::vector<BackupPart>& parts = contents.parts;
    std::vector<fs::path> copies;
    fs::path partial;
    bool replacing = false;
    const auto cleanUp = [&] {
        for (const fs::path& copy : copies) {
            removeQuietly(copy);
        }
    };
    try {
        removeBackupLeftovers(contents);
        std::error_code error;
        if (fs::is_directory(target, error)) {
            throw Error(err::kPathAccess, "CopiaDeSeguridad", target.string() + " es una carpeta");
        }
        // The program's own files are never replaced, and a copy beside them is lost with them.
        if (fs::weakly_canonical(target.parent_path(), error) == fs::weakly_canonical(contents.folder, error)) {
            throw Error(err::kPathAccess, "CopiaDeSeguridad", "elija una carpeta fuera de " + contents.folderName);
        }
        if (fs::exists(fs::symlink_status(target, error))) {
            if (!context.ui.askYesNo(MessageIcon::Question, kBackupTitle,
                                     "El archivo " + target.string() + " ya existe. ¿Desea reemplazarlo?")) {
                return false;
            }
            replacing = true;
        }
        recordTarget(contents, target);
        for (const BackupPart& part : parts) {
            copies.push_back(copyOf(contents, part));
            context.engine.compactDatabase(part.database, copies.back(), kConnect);
        }
        assemble(parts, copies, target, partial);
        cleanUp();
        if (const auto fault = backupFault(partial, contents)) {
            throw Error(err::kCannotWrite, "CopiaDeSeguridad", "la copia escrita no se puede leer bien: " + *fault);
        }
        if (::rename(partial.c_str(), target.c_str()) != 0) {
            throw Error(err::kPathAccess, "CopiaDeSeguridad",
                        "no se pudo reemplazar " + target.string() + ": " + db::systemError(errno));
        }
        db::syncDirectory(target.parent_path());
        removeQuietly(pendingRecord(contents));
        return true;
    } catch (const std::exception& failure) {
        cleanUp();
        if (!partial.empty()) {
            removeQuietly(partial);
        }
        removeQuietly(pendingRecord(contents));
        const auto* error = dynamic_cast<const Error*>(&failure);
        std::string why = error != nullptr ? error->description() : std::string(failure.what());
        if (!why.ends_with('.')) {
            why += ".";
        }
        MsgError(context.ui, "No se pudo hacer la copia de seguridad en " + target.string() + ": " + why +
                                 (replacing ? " El archivo que ya estaba allí se conserva sin cambios." : ""));
    }
    return false;
}

namespace {

constexpr std::string_view kMarkerMagic = "KAPRED RESTAURACION 1";

fs::path markerOf(const BackupContents& contents) {
    return contents.folder / "Restaurar.en-curso";
}

fs::path keptOf(const BackupPart& part, const std::string& suffix) {
    return part.database.string() + suffix;
}

// A suffix that names no file yet beside any part: a kept copy is never replaced, not even by a
// second restore in the same second.
std::string freeSuffix(const BackupContents& contents, const DateTime& now) {
    const std::string base = ".antes-de-restaurar-" + stamp(now);
    for (int attempt = 1;; ++attempt) {
        const std::string suffix = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        std::error_code error;
        if (std::none_of(contents.parts.begin(), contents.parts.end(), [&](const BackupPart& part) {
                return fs::exists(fs::symlink_status(keptOf(part, suffix), error));
            })) {
            return suffix;
        }
    }
}

// The note of a restore under way, read back: the suffix of the kept copies and the backup's name.
struct RestoreNote {
    std::string suffix;
    std::string source;
};

// Writes the note beside the databases before the first of them changes, durable, and keeps it
// locked while the restore runs: a start that finds it unlocked knows the restore was cut short.
db::FileHandle writeNote(const BackupContents& contents, const RestoreNote& note) {
    const fs::path marker = markerOf(contents);
    const fs::path work = marker.string() + ".nueva";
    db::FileHandle file = db::createWorkFile(work);
    const std::string text = std::string(kMarkerMagic) + "\n" + note.suffix + "\n" + note.source + "\n";
    if (!file.valid() || ::flock(file.get(), LOCK_EX) != 0 || !db::writeAll(file.get(), text.data(), text.size()) ||
        !db::syncData(file.get())) {
        const int error = errno;
        removeQuietly(work);
        throw fs::filesystem_error("no se pudo anotar la restauración en curso", work,
                                   std::error_code(error, std::generic_category()));
    }
    fs::rename(work, marker);
    db::syncDirectory(contents.folder);
    return file;
}

std::optional<RestoreNote> readNote(const fs::path& marker) {
    std::ifstream in(marker);
    std::string magic;
    RestoreNote note;
    if (std::getline(in, magic) && magic == kMarkerMagic && std::getline(in, note.suffix) &&
        std::getline(in, note.source) && note.suffix.starts_with(".antes-de-restaurar-")) {
        return note;
    }
    return std::nullopt;
}

void removeNote(const BackupContents& contents) {
    removeQuietly(markerOf(contents));
    db::syncDirectory(contents.folder);
}

// Puts each restored part in the place of its database. The database first gets the kept name
// as a second link, then the restored file takes its name in one rename: at every moment the
// name holds either the previous file or the restored one, and a part already in place (no
// restored file left) is passed over, so that a restore cut short can be finished.
void swapParts(const BackupContents& contents, const std::string& suffix) {
    for (const BackupPart& part : contents.parts) {
        const fs::path restored = restoredOf(contents, part);
        std::error_code error;
        if (!fs::exists(fs::symlink_status(restored, error))) {
            continue;
        }
        const fs::path kept = keptOf(part, suffix);
        if (!fs::exists(fs::symlink_status(kept, error)) && ::link(part.database.c_str(), kept.c_str()) != 0 &&
            errno != ENOENT) {
            throw fs::filesystem_error("no se pudo conservar la base actual", part.database, kept,
                                       std::error_code(errno, std::generic_category()));
        }
        fs::rename(restored, part.database);
    }
    db::syncDirectory(contents.folder);
}

// Back to the previous data: each part already in place gives its name back to its kept copy.
void undoSwap(const BackupContents& contents, const std::string& suffix) {
    for (const BackupPart& part : contents.parts) {
        std::error_code error;
        const fs::path restored = restoredOf(contents, part);
        if (fs::exists(fs::symlink_status(restored, error))) {
            removeQuietly(restored);
        } else if (fs::exists(fs::symlink_status(keptOf(part, suffix), error))) {
            fs::rename(keptOf(part, suffix), part.database, error);
        }
    }
    db::syncDirectory(contents.folder);
}

}  // namespace

ProgramEnding Restaurar(Context& context, const fs::path& source, const BackupContents& contents) {
    try {
        extractParts(context, source, contents);
    } catch (const std::exception& failure) {
        const auto* error = dynamic_cast<const Error*>(&failure);
        MsgError(context.ui, "No se puede restaurar " + source.string() + ": " +
                                 (error != nullptr ? error->description() : std::string(failure.what())) +
                                 ". No se modificó ningún dato.");
        return std::nullopt;
    }
    const std::string suffix = freeSuffix(contents, context.clock());
    const std::string question = contents.what + " actuales se reemplazarán por los de la copia " + source.string() +
                                 ".\rLos datos actuales se conservarán con la terminación " + suffix +
                                 ".\rLuego de restaurar, " + contents.program + " se cerrará.\r¿Desea restaurar ahora?";
    if (!context.ui.askYesNo(MessageIcon::Question, "Confirmación", question)) {
        for (const BackupPart& part : contents.parts) {
            removeQuietly(restoredOf(contents, part));
        }
        return std::nullopt;
    }
    context.engine.closeWorkspace(context.engine.defaultWorkspace());
    try {
        const db::FileHandle note = writeNote(contents, {suffix, source.string()});
        swapParts(contents, suffix);
        removeNote(contents);
    } catch (const fs::filesystem_error& failure) {
        undoSwap(contents, suffix);
        removeNote(contents);
        MsgError(context.ui, "No se pudo restaurar la copia: " + std::string(failure.what()) +
                                 ". Los datos quedaron como estaban; " + contents.program + " se cerrará.");
        return kEndedByFailure;
    }
    context.ui.showMessage(MessageIcon::Information, "Información",
                           "Se restauró la copia de seguridad " + source.string() +
                               ". Los datos anteriores se conservan con la terminación " + suffix + ". " +
                               sentenceStart(contents.program) + " se cerrará; vuelva a iniciarlo.");
    return 0;
}

std::optional<std::string> resumeRestore(const BackupContents& contents) {
    const fs::path marker = markerOf(contents);
    const db::FileHandle file(::open(marker.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid()) {
        // Without a note no database was touched: what a restore left is only its extracted parts.
        for (const BackupPart& part : contents.parts) {
            removeQuietly(restoredOf(contents, part));
        }
        removeQuietly(marker.string() + ".nueva");
        return std::nullopt;
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        return std::nullopt;  // the restore is running in another process
    }
    const auto note = readNote(marker);
    if (!note) {
        removeNote(contents);
        return std::nullopt;
    }
    try {
        swapParts(contents, note->suffix);
        removeNote(contents);
        return "La restauración de la copia " + note->source +
               " se interrumpió antes de terminar y se completó ahora: los datos son los de la copia. Los datos "
               "anteriores se conservan con la terminación " +
               note->suffix + ".";
    } catch (const fs::filesystem_error& failure) {
        undoSwap(contents, note->suffix);
        removeNote(contents);
        return "La restauración de la copia " + note->source + " se interrumpió antes de terminar y no pudo " +
               "completarse (" + failure.code().message() + "): se volvió a los datos anteriores a la restauración.";
    }
}

}  // namespace kapred
