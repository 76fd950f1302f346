#include "generation/agency_libraries.h"

#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>
#include <sodium.h>

#include <array>
#include <cstring>
#include <functional>
#include <future>
#include <optional>
#include <thread>
#include <vector>

#include "app/context.h"
#include "data/values/error.h"
#include "generation/agency_interface.h"
#include "generation/directories.h"
#include "generation/generator.h"
#include "generation/verification_number.h"
#include "support/checks.h"
#include "support/cli_run.h"
#include "support/program_dir.h"
#include "support/scoped_env.h"
#include "support/scripted_ui.h"
#include "support/sealed_box.h"
#include "support/temp_dir.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

using test::Key;

class AgencyLibraries : public ::testing::Test {
protected:
    AgencyLibraries() : context(dir.home(), "20123456789", ui) { EXPECT_GE(sodium_init(), 0); }

    // The file the delivery step hands over: a copy of the declaration file in the Windows
    // directory.
    std::string handOver(const std::string& bytes) {
        const std::string file = DirWindows(context) + "035689F0369.txt";
        test::writeBytes(file, bytes);
        return file;
    }

    std::vector<std::string> encryptedFiles() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(DirWindows(context))) {
            if (entry.path().extension() == agency::kEncryptedExtension) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    fs::path keyFile() const { return dir.systemDir() / agency::kAgencyKeyFile; }

    test::ScopedEnv noWindowsOverride{agency::kWindowsDirectoryVariable, std::nullopt};
    test::ScopedEnv noSystemOverride{agency::kSystemDirectoryVariable, std::nullopt};
    test::ProgramDir dir;
    test::ScriptedUi ui;
    Context context;
};

// ---- Directories -----------------------------------------------------------------------------

TEST_F(AgencyLibraries, DirectoriesLieInsideTheProgramDirectoryUnlessTheEnvironmentMovesThem) {
    EXPECT_EQ(DirWinSystem(context), (dir.home() / "sistema").string() + "/");
    EXPECT_FALSE(fs::exists(dir.home() / "windows"));
    EXPECT_EQ(DirWindows(context), (dir.home() / "windows").string() + "/");
    EXPECT_TRUE(fs::is_directory(dir.home() / "windows"));

    test::TempDir elsewhere;
    {
        test::ScopedEnv windows(agency::kWindowsDirectoryVariable, (elsewhere.path() / "trabajo").string() + "/  ");
        test::ScopedEnv system(agency::kSystemDirectoryVariable, elsewhere.path().string());
        EXPECT_EQ(DirWindows(context), (elsewhere.path() / "trabajo").string() + "/");
        EXPECT_TRUE(fs::is_directory(elsewhere.path() / "trabajo"));
        EXPECT_EQ(DirWinSystem(context), elsewhere.path().string() + "/");
        EXPECT_FALSE(bSarquelInstalado(context));
    }
    {
        // The library writes into the moved Windows directory.
        test::ScopedEnv windows(agency::kWindowsDirectoryVariable, (elsewhere.path() / "trabajo").string());
        test::writeBytes(dir.root() / "035689F0369.txt", "datos");
        const auto result = SarquelLibrary(context).encrypt((dir.root() / "035689F0369.txt").string());
        EXPECT_EQ(result.code, agency::kEncryptionOk) << result.detail;
        EXPECT_EQ(result.path, (elsewhere.path() / "trabajo" / "035689F0369.B64").string());
    }
    // A folder that cannot be made gives the empty text.
    test::writeBytes(elsewhere.path() / "archivo", "x");
    test::ScopedEnv blocked(agency::kWindowsDirectoryVariable, (elsewhere.path() / "archivo" / "trabajo").string());
    EXPECT_EQ(DirWindows(context), "");
}

// ---- Encryption ------------------------------------------------------------------------------

TEST_F(AgencyLibraries, FileIsSealedToTheAgencyKeyAsBase64InTheWindowsDirectory) {
    const SarquelLibrary library(context);
    ASSERT_TRUE(library.installed());
    EXPECT_TRUE(bSarquelInstalado(context));
    const std::vector<std::string> contents{
        std::string("HEAD10 01 01 000067\n0120123456789Pe\xF1"
                    "a\n99154") +
            '\0' + "\n",
        "",
    };
    for (const std::string& plain : contents) {
        const auto result = library.encrypt(handOver(plain));
        EXPECT_EQ(result.code, agency::kEncryptionOk) << result.detail;
        EXPECT_EQ(result.path, DirWindows(context) + "035689F0369.B64");
        const std::string base64 = test::readBytes(result.path);
        EXPECT_EQ(base64.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        EXPECT_EQ(test::openEncryptedFile(result.path, dir.systemDir()), plain);
    }
    // Each encryption uses a fresh ephemeral key: the same file never gives the same text.
    const std::string first = test::readBytes(library.encrypt(handOver("igual")).path);
    const std::string second = test::readBytes(library.encrypt(handOver("igual")).path);
    EXPECT_NE(first, second);
}

TEST_F(AgencyLibraries, AMissingInputOrAMissingOrMalformedKeyFails) {
    const SarquelLibrary library(context);
    EXPECT_EQ(library.encrypt(DirWindows(context) + "000000F0369.txt").code, agency::kEncryptionNoInput);
    fs::remove(keyFile());
    auto result = library.encrypt(handOver("datos"));
    EXPECT_EQ(result.code, agency::kEncryptionNoKey);
    EXPECT_EQ(result.path, "");
    EXPECT_NE(result.detail.find(agency::kAgencyKeyFile), std::string::npos);

    const std::string hex64(64, 'a');
    for (const std::string& text : {std::string(), std::string("no es una clave\n"), hex64.substr(2), hex64 + "ab",
                                    std::string(64, 'z'), hex64.substr(0, 30) + " " + hex64.substr(30)}) {
        test::writeBytes(keyFile(), text);
        result = library.encrypt(handOver("datos"));
        EXPECT_EQ(result.code, agency::kEncryptionBadKey) << text;
        EXPECT_EQ(result.path, "") << text;
    }
    EXPECT_TRUE(encryptedFiles().empty());
}

TEST_F(AgencyLibraries, MissingLibraryOrEntryRaisesInsteadOfCrashing) {
    const SarquelLibrary library(context);
    const std::string file = handOver("datos");
    const fs::path installed = library.file();

    fs::copy_file(dir.systemDir() / agency::kVerificationLibrary, installed, fs::copy_options::overwrite_existing);
    EXPECT_EQ(test::errorNumber([&] { library.encrypt(file); }), kErrEntryNotFound);

    test::writeBytes(installed, "MZ no es una biblioteca");
    EXPECT_EQ(test::errorNumber([&] { library.encrypt(file); }), kErrLibraryNotLoaded);

    fs::remove(installed);
    EXPECT_FALSE(library.installed());
    EXPECT_FALSE(bSarquelInstalado(context));
    EXPECT_EQ(test::errorNumber([&] { library.encrypt(file); }), kErrLibraryNotFound);
    EXPECT_TRUE(encryptedFiles().empty());
}

// A library found sound is not tried again, unless its file changed since: a crashing one put in
// its place is still caught before it is loaded.
TEST_F(AgencyLibraries, ALibraryReplacedAfterTheCheckIsCheckedAgain) {
    ASSERT_TRUE(bSarquelInstalado(context));
    fs::copy_file(KAPRED_CRASHING_AGENCY_PATH, dir.systemDir() / agency::kVerificationLibrary,
                  fs::copy_options::overwrite_existing);
    EXPECT_FALSE(bSarquelInstalado(context));
    EXPECT_EQ(test::errorNumber([&] { NumeroMagico(context, Currency(), 0, 0, 0); }), kErrLibraryNotLoaded);
}

// Another thread of the program holds the loader's lock while the libraries are checked (a window's
// file-information thread may, looking up icons or owners): a sound library still passes.
TEST_F(AgencyLibraries, ALoaderLockHeldByAnotherThreadDoesNotFailTheCheck) {
    std::promise<void> holding;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    struct Holder {
        std::promise<void>* holding;
        std::shared_future<void> released;
    } holder{&holding, released};
    std::thread thread([&holder] {
        ::dl_iterate_phdr(
            [](dl_phdr_info*, size_t, void* data) {
                auto* self = static_cast<Holder*>(data);
                self->holding->set_value();
                self->released.wait();
                return 1;
            },
            &holder);
    });
    holding.get_future().wait();
    const bool installed = bSarquelInstalado(context);
    release.set_value();
    thread.join();
    EXPECT_TRUE(installed);
}

TEST_F(AgencyLibraries, EntryRefusesBadArgumentsAndShortBuffers) {
    const AgencyLibrary library(SarquelLibrary(context).file(), agency::kEncryptionEntry, "prueba");
    KapredEncryptionEntry sarquel = nullptr;
    void* address = library.address();
    std::memcpy(&sarquel, &address, sizeof sarquel);
    const std::string file = handOver("datos");
    std::vector<char> path(1001, '\0');
    std::vector<char> detail(2001, '\0');

    EXPECT_EQ(sarquel(nullptr, path.data(), 1000, detail.data(), 2000), agency::kEncryptionBadArguments);
    EXPECT_EQ(sarquel(file.c_str(), nullptr, 1000, detail.data(), 2000), agency::kEncryptionBadArguments);
    EXPECT_GT(std::strlen(detail.data()), 0U);
    // The full path does not fit in ten characters: nothing is written.
    EXPECT_EQ(sarquel(file.c_str(), path.data(), 10, nullptr, 0), agency::kEncryptionPathTooLong);
    EXPECT_EQ(path[0], '\0');
    EXPECT_TRUE(encryptedFiles().empty());
    // A detail buffer of one character gets that character and its NUL.
    std::array<char, 2> tiny{'x', 'x'};
    EXPECT_EQ(sarquel(file.c_str(), path.data(), 1000, tiny.data(), 1), agency::kEncryptionOk);
    EXPECT_EQ(tiny[1], '\0');
    EXPECT_EQ(std::string(path.data()), DirWindows(context) + "035689F0369.B64");
}

// A library whose dynamic section holds garbage: the loader gives up inside the process that
// loads it.
void damageDynamicSection(const fs::path& library) {
    std::string bytes = test::readBytes(library);
    Elf64_Ehdr header{};
    std::memcpy(&header, bytes.data(), sizeof header);
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment{};
        std::memcpy(&segment, bytes.data() + header.e_phoff + i * header.e_phentsize, sizeof segment);
        for (auto at = segment.p_offset; segment.p_type == PT_DYNAMIC && at < segment.p_offset + segment.p_filesz;
             at += sizeof(Elf64_Dyn)) {
            std::memset(bytes.data() + at + offsetof(Elf64_Dyn, d_un), 0x7F, sizeof(Elf64_Dyn::d_un));
        }
    }
    test::writeBytes(library, bytes);
}

// A library that loads but whose entries end the process that calls them.
void putCrashingLibrary(const fs::path& library) {
    fs::copy_file(KAPRED_CRASHING_AGENCY_PATH, library, fs::copy_options::overwrite_existing);
}

TEST(AgencyLibraryFiles, ADamagedForeignOrCrashingLibraryIsAMissingComponentAndTheDatabaseStays) {
    struct Case {
        const char* library;
        std::function<void(const fs::path&)> damage;
    };
    const Case cases[] = {
        {agency::kVerificationLibrary, damageDynamicSection},
        {agency::kVerificationLibrary, [](const fs::path& file) { test::writeBytes(file, "no es una biblioteca"); }},
        {agency::kVerificationLibrary, putCrashingLibrary},
        {agency::kEncryptionLibrary, putCrashingLibrary},
    };
    for (const Case& each : cases) {
        test::ProgramDir dir;
        test::runCli(dir, test::kNewOriginal2004);
        each.damage(dir.systemDir() / each.library);
        // The trial encryption leaves nothing in the temporary folder.
        const test::TempDir temporary;
        const test::ScopedEnv tmpdir("TMPDIR", temporary.path().string());
        const auto result = test::runCli(dir, "generate 20040 --dest " + dir.root().string());
        EXPECT_EQ(result.status, 3) << each.library;
        EXPECT_NE(result.err.find(kMissingComponent), std::string::npos) << result.err;
        EXPECT_TRUE(fs::is_empty(temporary.path())) << each.library;
        // Left through the normal exit: scrambled again.
        EXPECT_NE(test::readBytes(dir.appDatabase()).substr(0, 6), "SQLite");
    }
}

}  // namespace
}  // namespace kapred
