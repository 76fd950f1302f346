#include "support/program_dir.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>

namespace kapred::test {

namespace fs = std::filesystem;

ProgramDir::ProgramDir() {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() / ("kapred-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(root_);
    home_ = root_ / "Kapred";
    fs::create_directories(home_);
    const fs::path demo = KAPRED_DEMO_DIR;
    for (const auto& entry : fs::directory_iterator(demo / "Kapred")) {
        if (entry.path().extension() == ".mdb" && entry.path().filename() != "Kapred.mdb") {
            fs::copy_file(entry.path(), home_ / entry.path().filename());
        }
    }
    fs::copy(demo / "Kapred" / "sistema", systemDir());
    fs::copy_file(demo / "rexa.mdb", root_ / "rexa.mdb");
    fs::copy_file(demo / "sistema.mdb", root_ / "sistema.mdb");
}

ProgramDir::~ProgramDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kapred::test
