#pragma once

#include <filesystem>

#include "app/context.h"

namespace kapred {

// The program's own files: its databases, their journals and the lock file. Nothing the user
// names (an export, a kept copy) is ever written over them.
bool isProgramFile(const Context& context, const std::filesystem::path& path);

enum class FileChoice {
    Write,      // nothing is there, or the user agreed to replace it
    Kept,       // the user kept the file that is there
    Forbidden,  // one of the program's own files: refused, and the user told so
};

// Whether a file the user named may be written at `path`. When one is there the user is asked
// first; one of the program's own files is refused whatever the answer.
FileChoice chooseUserFile(Context& context, const std::filesystem::path& path);

}  // namespace kapred
