#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/context.h"

namespace kapred {

// "Copia de Seguridad" and "Restaurar": one file that holds the program's database (the
// declarations and their delivery receipts) and the system tables with the user's import
// formats. The file starts with a text header that names each part with its size and SHA-256,
// followed by the parts' bytes:
//
//     KAPRED COPIA DE SEGURIDAD 1
//     datos 106496 5f0c...
//     tablas 65536 9a1e...
//     (an empty line, then the bytes of each part in that order)

inline constexpr const char* kBackupTitle = "Copia de Seguridad";
inline constexpr const char* kRestoreTitle = "Restaurar";

// One database of a backup: its name in the header and its file.
struct BackupPart {
    std::string name;
    std::filesystem::path database;
};

// What a backup holds and how the user is told of it. Kapred keeps its declarations and system
// tables this way; the taxpayer registry its two databases.
struct BackupContents {
    std::vector<BackupPart> parts;
    std::filesystem::path folder;  // where the databases live; a backup is never written there
    std::string folderName;        // "la carpeta del programa"
    std::string requiredTable;     // a table the first part must hold
    std::string withoutTable;      // why a copy whose first part lacks it is refused
    std::string what;              // "Las declaraciones y los formatos de importación"
    std::string program;           // "el Sistema", which ends after a restore
};

// Kapred's own: Kapred.mdb ("datos") and the system tables ("tablas").
BackupContents programBackup(const Context& context);

// Writes the backup to `target`: each database copied with the engine's consistent copy while
// the program keeps it open, the file assembled in a hidden file beside the target, flushed to
// the disk, read back and checked before it takes the target's name. A file already there is replaced only when the
// user agrees. True when the backup is in place; a failure is told to the user and leaves no partial file.
bool CopiaDeSeguridad(Context& context, const std::filesystem::path& target, const BackupContents& contents);
inline bool CopiaDeSeguridad(Context& context, const std::filesystem::path& target) {
    return CopiaDeSeguridad(context, target, programBackup(context));
}

// Removes what a backup killed half-way left: the parts' copies in the contents' folder and the
// hidden file beside the target, which the folder records while a backup is under way, whatever
// the target's name. Only where no backup of these contents runs: at the start, under the lock.
void removeBackupLeftovers(const BackupContents& contents);

// Why the file is not a complete backup of those contents, or nothing when it is one.
std::optional<std::string> backupFault(const std::filesystem::path& source, const BackupContents& contents);

// Restores a backup: checks the whole file and opens each part before anything is touched, asks
// the user, keeps the current databases beside them under dated names, puts the parts in their
// place and gives the program's end (0 restored; kEndedByFailure when the parts could not be put
// in place and the data stayed as it was): it must start again on the restored data. Nothing, with
// the reason told and nothing changed, when the file is refused or the user declines.
[[nodiscard]] ProgramEnding Restaurar(Context& context, const std::filesystem::path& source,
                                      const BackupContents& contents);
[[nodiscard]] inline ProgramEnding Restaurar(Context& context, const std::filesystem::path& source) {
    return Restaurar(context, source, programBackup(context));
}

// A start after a restore that was cut short (a killed process, a power cut) finishes it: the
// note the restore leaves beside the databases while it swaps them names the kept copies, and
// every part not yet in place is put there. What the user is told (the restore finished, or
// could not be and the previous data is back), or nothing when no restore was under way. The
// extracted parts of a restore that never began to swap are removed.
std::optional<std::string> resumeRestore(const BackupContents& contents);

}  // namespace kapred
