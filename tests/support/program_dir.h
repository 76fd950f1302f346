#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kapred::test {

// A fresh installation in a temporary folder, removed at the end of the test: the program
// directory "Kapred" with the shipped system tables and the system directory "sistema" holding
// the agency's libraries and public key, its parent with the demo host databases.
class ProgramDir {
public:
    ProgramDir();

    const std::filesystem::path& root() const { return root_.path(); }
    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path appDatabase() const { return home_ / "Kapred.mdb"; }
    std::filesystem::path systemDir() const { return home_ / "sistema"; }

    // Puts an empty Kapred.mdb, as CreateAppDatabase makes it, in the program directory. Its
    // schema is made once for all the test processes of a build: syncing every statement to disk
    // would cost each test most of its time. With `advances`, declaration 20040 has that many
    // advances of 1,00, numbered from 1.
    void addEmptyAppDatabase(int advances = 0) const;

private:
    TempDir root_;
    std::filesystem::path home_;
};

// Reads a whole file as bytes.
std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);
// The lines of a text, without their line feeds.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace kapred::test
