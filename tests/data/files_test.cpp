// The file layer: why a file cannot be read, a written stream that keeps the cause of its
// failure, and the system's errors in Spanish.
#include "data/engine/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/temp_dir.h"

namespace kapred::db {
namespace {

namespace fs = std::filesystem;

TEST(Files, WhatIsNotAFileIsNamedAsWhatItIs) {
    const test::TempDir folder;
    const fs::path pipe = folder / "tuberia";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::ofstream(folder / "datos.txt") << "x";
    fs::create_symlink(folder / "datos.txt", folder / "enlace");
    const std::pair<fs::path, std::optional<std::string>> cases[] = {
        {folder / "datos.txt", std::nullopt},
        {folder / "enlace", std::nullopt},
        {folder / "falta.txt", "no existe"},
        {folder.path(), "es una carpeta, no un archivo"},
        {"/dev/null", "es un dispositivo, no un archivo"},
        {pipe, "es una tubería, no un archivo"},
    };
    for (const auto& [path, why] : cases) {
        EXPECT_EQ(whyNotAFile(path), why) << path;
    }
}

TEST(Files, AStreamTheDiskRefusesKeepsWhy) {
    FileStream full;
    full.open(FileHandle(::open("/dev/full", O_WRONLY | O_CLOEXEC)));
    ASSERT_TRUE(full.is_open());
    full << std::string(100, 'x');
    EXPECT_FALSE(full.close());
    EXPECT_EQ(full.error(), ENOSPC);
    EXPECT_EQ(systemError(full.error()), "no queda espacio en el disco");
}

TEST(Files, EverySystemErrorIsToldInSpanish) {
    EXPECT_EQ(systemError(ENAMETOOLONG), "el nombre es demasiado largo");
    EXPECT_EQ(systemError(EMFILE), "hay demasiados archivos abiertos");
    EXPECT_EQ(systemError(ECONNRESET), "error del sistema número " + std::to_string(ECONNRESET));
}

}  // namespace
}  // namespace kapred::db
