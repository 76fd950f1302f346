#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "data/user_interface.h"

namespace kapred {

struct Context;

// The file questions and the encryption of the declaration file.

// The title of the questions the program asks in its own name.
inline constexpr const char* kApplicationTitle = "Kapred";
inline constexpr const char* kReplaceQuestion = "El Archivo ya existe. Reemplazar en el Destino. ¿Desea reemplazarlo?";
// What EncriptarSarquel gives back when no encrypted file was made.
inline constexpr const char* kEncryptionError = "Error";

// True when the path may receive a file: nothing is there, or the user, asked with Yes and No,
// agreed to replace it. What is there is left in place: the file that replaces it takes its
// place only once complete (see copyIntoPlace), so a failed copy never costs the user the file.
bool ReemplazarArchivo(UserInterface& ui, const std::filesystem::path& path);

// Deletes the file when there is one; true when one was deleted.
bool DeleteArchivo(const std::filesystem::path& path);

// Encrypts a file of the Windows directory: copies it there as the verification number followed
// by "F0369.txt" (replacing an earlier copy of that name), hands the copy to the encryption
// library and gives back the encrypted file's name relative to the Windows directory, or
// kEncryptionError. The given file is deleted in either case. A failure is told to the user
// under "Error": the library's own result and description, or the description of the error
// that kept the library from running (missing library or entry).
std::string EncriptarSarquel(Context& context, const std::string& file);

// A copy that takes the destination's place only when complete: the bytes go to a new file in
// the destination's folder, which is flushed to the disk and renamed over the destination.
// `progress` is told the percentage after every block of 1024 bytes (100 - the whole part of
// the remaining bytes × 100 ÷ the total). On any failure the new file is removed, the
// destination is as it was, and `error` says what failed. An empty source copies nothing
// and is such a failure.
struct CopyResult {
    std::uintmax_t bytes = 0;  // bytes copied; 0 when nothing was
    std::string error;         // empty when the copy is in place
};
CopyResult copyIntoPlace(const std::filesystem::path& source, const std::filesystem::path& destination,
                         const std::function<void(double)>& progress = {});

}  // namespace kapred
