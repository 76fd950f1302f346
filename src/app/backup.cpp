#include "app/backup.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/file_hash.h"
#include "app/repair.h"
#include "data/app_database.h"
#include "data/values/error.h"

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
        throw Error(13, "Restaurar", "no es una copia de seguridad de Kapred");
    }
    std::vector<PartEntry> parts;
    while (std::getline(in, line) && !line.empty()) {
        std::istringstream fields(line);
        PartEntry entry;
        if (!(fields >> entry.name >> entry.size >> entry.sha256) || entry.sha256.size() != 64) {
            throw Error(13, "Restaurar", "la cabecera de la copia está dañada");
        }
        parts.push_back(entry);
    }
    bool same = parts.size() == contents.parts.size();
    for (std::size_t index = 0; same && index < parts.size(); ++index) {
        same = parts[index].name == contents.parts[index].name;
    }
    if (!same) {
        throw Error(13, "Restaurar", "la cabecera de la copia está dañada o es de otra clase de copia");
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
        throw Error(13, "Restaurar", "la copia está incompleta");
    }
    if (length > expected) {
        throw Error(13, "Restaurar", "la copia tiene bytes de más al final");
    }
    return parts;
}

// Copies `size` bytes of the stream to a new file (none may be there), hashing them on the way.
std::string extract(std::istream& in, std::uintmax_t size, const fs::path& target) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw Error(75, "Restaurar", "no se puede crear " + target.string());
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    const bool complete = static_cast<std::uintmax_t>(in.gcount()) == size;
    const bool written =
        complete && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!complete) {
        throw Error(13, "Restaurar", "la copia está incompleta");
    }
    if (!written) {
        throw Error(61, "Restaurar", "no se pudo escribir " + target.string());
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
        throw Error(13, "Restaurar", contents.withoutTable);
    }
    scratch.close();
}

// Extracts every part of the backup to `work` + the part's name, checking sizes and hashes, and
// gives the files made. Raises on the first fault, leaving no file behind.
std::vector<fs::path> extractParts(Context& context, const fs::path& source, const fs::path& work,
                                   const BackupContents& contents) {
    std::ifstream in(source, std::ios::binary);
    if (!in.is_open()) {
        throw Error(53, "Restaurar", "no se puede leer el archivo");
    }
    std::vector<fs::path> made;
    try {
        for (const PartEntry& part : checkedHeader(in, source, contents)) {
            const fs::path file = work.string() + "." + part.name;
            removeQuietly(file);
            made.push_back(file);
            if (extract(in, part.size, file) != part.sha256) {
                throw Error(13, "Restaurar", "la parte " + part.name + " no coincide con su SHA-256");
            }
            checkOpens(context, file, contents, made.size() == 1);
        }
    } catch (...) {
        for (const fs::path& file : made) {
            removeQuietly(file);
        }
        throw;
    }
    return made;
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

// Writes the header and the parts' copies to a new file, flushed to the disk.
void assemble(const std::vector<BackupPart>& parts, const std::vector<fs::path>& copies, const fs::path& target) {
    std::string header = std::string(kMagic) + "\n";
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const auto hash = sha256OfFile(copies[index]);
        if (!hash) {
            throw Error(53, "CopiaDeSeguridad", "no se puede leer " + copies[index].string());
        }
        header += parts[index].name + " " + std::to_string(fs::file_size(copies[index])) + " " + *hash + "\n";
    }
    header += "\n";
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw Error(75, "CopiaDeSeguridad", "no se puede crear " + target.string());
    }
    bool written = ::write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size());
    for (const fs::path& copy : copies) {
        std::ifstream in(copy, std::ios::binary);
        std::array<char, 64 * 1024> block{};
        while (written && (in.read(block.data(), block.size()) || in.gcount() > 0)) {
            written = ::write(fd, block.data(), static_cast<std::size_t>(in.gcount())) == in.gcount();
        }
        written = written && !in.bad();
    }
    written = written && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        throw Error(61, "CopiaDeSeguridad", "no se pudo escribir " + target.string());
    }
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
            "DDJJ",
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

bool CopiaDeSeguridad(Context& context, const fs::path& target, const BackupContents& contents) {
    // A damaged database cannot be copied; the program's own is repaired first.
    for (const BackupPart& part : contents.parts) {
        if (!RepairIfDamaged(context, part.database)) {
            return false;
        }
    }
    const std::vector<BackupPart>& parts = contents.parts;
    std::vector<fs::path> copies;
    const fs::path partial = target.string() + ".parcial";
    const auto cleanUp = [&] {
        for (const fs::path& copy : copies) {
            removeQuietly(copy);
        }
    };
    try {
        std::error_code error;
        if (fs::is_directory(target, error)) {
            throw Error(75, "CopiaDeSeguridad", target.string() + " es una carpeta");
        }
        // The program's own files are never replaced, and a copy beside them is lost with them.
        if (fs::weakly_canonical(target.parent_path(), error) == fs::weakly_canonical(contents.folder, error)) {
            throw Error(75, "CopiaDeSeguridad", "elija una carpeta fuera de " + contents.folderName);
        }
        if (fs::exists(fs::symlink_status(target, error)) &&
            !context.ui.askYesNo(MessageIcon::Question, kBackupTitle,
                                 "El archivo " + target.string() + " ya existe. ¿Desea reemplazarlo?")) {
            return false;
        }
        for (const BackupPart& part : parts) {
            copies.push_back(contents.folder / ("Copia." + part.name + ".tmp"));
            removeQuietly(copies.back());
            context.engine.compactDatabase(part.database, copies.back(), kConnect);
        }
        removeQuietly(partial);
        assemble(parts, copies, partial);
        cleanUp();
        if (const auto fault = backupFault(partial, contents)) {
            throw Error(61, "CopiaDeSeguridad", "la copia escrita no se puede leer bien: " + *fault);
        }
        fs::rename(partial, target);
        db::syncDirectory(target.parent_path());
        return true;
    } catch (const std::exception& failure) {
        cleanUp();
        removeQuietly(partial);
        const auto* error = dynamic_cast<const Error*>(&failure);
        MsgError(context.ui, "No se pudo hacer la copia de seguridad en " + target.string() + ": " +
                                 (error != nullptr ? error->description() : std::string(failure.what())) + ".");
    }
    return false;
}

bool Restaurar(Context& context, const fs::path& source, const BackupContents& contents) {
    const std::vector<BackupPart>& parts = contents.parts;
    std::vector<fs::path> restored;
    try {
        restored = extractParts(context, source, contents.folder / "Restaurar.tmp", contents);
    } catch (const std::exception& failure) {
        const auto* error = dynamic_cast<const Error*>(&failure);
        MsgError(context.ui, "No se puede restaurar " + source.string() + ": " +
                                 (error != nullptr ? error->description() : std::string(failure.what())) +
                                 ". No se modificó ningún dato.");
        return false;
    }
    const std::string suffix = ".antes-de-restaurar-" + stamp(context.clock());
    const std::string question = contents.what + " actuales se reemplazarán por los de la copia " + source.string() +
                                 ".\rLos datos actuales se conservarán con la terminación " + suffix +
                                 ".\rLuego de restaurar, " + contents.program + " se cerrará.\r¿Desea restaurar ahora?";
    if (!context.ui.askYesNo(MessageIcon::Question, "Confirmación", question)) {
        for (const fs::path& file : restored) {
            removeQuietly(file);
        }
        return false;
    }
    context.engine.closeWorkspace(context.engine.defaultWorkspace());
    std::size_t kept = 0;
    std::size_t placed = 0;
    try {
        for (; kept < parts.size(); ++kept) {
            fs::rename(parts[kept].database, parts[kept].database.string() + suffix);
        }
        for (; placed < parts.size(); ++placed) {
            fs::rename(restored[placed], parts[placed].database);
        }
        db::syncDirectory(contents.folder);
    } catch (const fs::filesystem_error& failure) {
        // Back to the data as it was: the parts already moved return under their names.
        std::error_code ignored;
        while (placed > 0) {
            --placed;
            fs::rename(parts[placed].database, restored[placed], ignored);
        }
        while (kept > 0) {
            --kept;
            fs::rename(parts[kept].database.string() + suffix, parts[kept].database, ignored);
        }
        for (const fs::path& file : restored) {
            removeQuietly(file);
        }
        MsgError(context.ui, "No se pudo restaurar la copia: " + std::string(failure.what()) +
                                 ". Los datos quedaron como estaban; " + contents.program + " se cerrará.");
        throw ProgramEnd(kEndedByFailure);
    }
    context.ui.showMessage(MessageIcon::Information, "Información",
                           "Se restauró la copia de seguridad " + source.string() +
                               ". Los datos anteriores se conservan con la terminación " + suffix + ". " +
                               sentenceStart(contents.program) + " se cerrará; vuelva a iniciarlo.");
    throw ProgramEnd(0);
}

}  // namespace kapred
