#pragma once

#include <filesystem>
#include <string>

#include "app/context.h"

namespace kapred::cli {

// "-" names standard input or output: the run works on a file of its own, in a folder of its own
// made in the program's private work folder, which receives standard input before an import and
// goes to standard output after a command writes it there (an export, a kept plain copy).
class StandardStreamFile {
public:
    explicit StandardStreamFile(Context& context);
    ~StandardStreamFile();
    StandardStreamFile(const StandardStreamFile&) = delete;
    StandardStreamFile& operator=(const StandardStreamFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void fromStandardInput();
    void toStandardOutput();

private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
};

}  // namespace kapred::cli
