// "-" for a file the command line reads or writes: what goes to standard output is the whole
// file, with the results told on standard error, what comes from standard input is read as the
// file is, a standard output that cannot take it all is a failure, and nothing is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <vector>

#include "support/cli_run.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

TEST(StandardStreams, APlainCopyToStandardOutputIsTheWholeFile) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    const fs::path file = dir.root() / "legible.txt";
    ASSERT_EQ(test::runCli(dir, "generate 20040 --dry-run --keep-plain " + file.string()).status, 0);
    for (const std::string& command : {std::string("generate 20040 --dry-run --keep-plain -"),
                                       "--yes generate 20040 --dest " + dir.root().string() + " --keep-plain -"}) {
        const auto result = test::runCli(dir, command);
        ASSERT_EQ(result.status, 0) << result.err;
        // The header line, then records 01, 02, 55 records 04, nine 90, the address 91 and 99.
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 69) << command;
        EXPECT_EQ(result.out, test::readBytes(file)) << command;
        EXPECT_NE(result.err.find("Copia legible: -"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(
        std::none_of(fs::directory_iterator(dir.home() / "windows"), fs::directory_iterator(),
                     [](const auto& entry) { return entry.path().filename().string().starts_with("estandar"); }));
}

struct StreamCase {
    std::string toFile;    // the command writing to a file: "FILE" stands for its path
    std::string toOutput;  // the same command writing to standard output
};

class WrittenToStandardOutput : public ::testing::TestWithParam<StreamCase> {};

// The same bytes as the file, but for the moment a PDF or a backup records; and no success when
// standard output is full.
TEST_P(WrittenToStandardOutput, IsTheWholeFileOrAFailure) {
    const StreamCase& each = GetParam();
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    ASSERT_EQ(test::runCli(dir, "import 20040 --format 3 --file " KAPRED_RESOURCES_DIR "/samples/anticipos.txt").status,
              0);
    const fs::path file = dir.root() / "archivo";
    // The printouts' layouts lie beside the laid-out program.
    const auto toFile = test::runLaidOutCli(dir, std::regex_replace(each.toFile, std::regex("FILE"), file.string()));
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    const fs::path output = dir.root() / "salida";
    const auto toOutput = test::runLaidOutCli(dir, each.toOutput, {.input = {}, .output = output});
    ASSERT_EQ(toOutput.status, 0) << toOutput.err;
    EXPECT_EQ(test::readBytes(output).size(), test::readBytes(file).size());
    EXPECT_EQ(test::readBytes(output).substr(0, 4), test::readBytes(file).substr(0, 4));
    EXPECT_NE(toOutput.err.find("-"), std::string::npos) << toOutput.err;

    const auto full = test::runLaidOutCli(dir, each.toOutput, {.input = {}, .output = "/dev/full"});
    EXPECT_EQ(full.status, 3) << full.err;
    EXPECT_NE(full.err.find("salida estándar"), std::string::npos) << full.err;
}

const std::vector<StreamCase> kWrittenCommands{
    {"backup --to FILE", "backup --to -"},
    {"generate 20040 --dry-run --keep-plain FILE", "generate 20040 --dry-run --keep-plain -"},
    {"export 20040 --format 3 --file FILE", "export 20040 --format 3 --file -"},
#ifdef KAPRED_WITH_PRINT
    {"print 20040 --pdf FILE", "print 20040 --pdf -"},
    {"workpaper 20040 DJ --pdf FILE", "workpaper 20040 DJ --pdf -"},
    {"format-print 3 --pdf FILE", "format-print 3 --pdf -"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Commands, WrittenToStandardOutput, ::testing::ValuesIn(kWrittenCommands),
                         [](const ::testing::TestParamInfo<StreamCase>& named) {
                             const std::string& command = named.param.toOutput;
                             std::string name = command.substr(0, command.find(' '));
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// Read from standard input, a file gives what it gives when named.
TEST(StandardStreams, StandardInputIsReadAsTheFile) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    const fs::path plain = dir.root() / "legible.txt";
    ASSERT_EQ(test::runCli(dir, "generate 20040 --dry-run --keep-plain " + plain.string()).status, 0);
    const auto named = test::runCli(dir, "inspect " + plain.string());
    const auto read = test::runCli(dir, "inspect -", {.input = plain, .output = {}});
    EXPECT_EQ(read.status, named.status) << read.err;
    EXPECT_EQ(read.out, named.out);
    EXPECT_GT(read.out.size(), 1000u);

    // A backup restored from standard input brings back what was backed up.
    const fs::path backup = dir.root() / "copia.kbk";
    ASSERT_EQ(test::runCli(dir, "backup --to " + backup.string()).status, 0);
    ASSERT_EQ(test::runCli(dir, "--yes delete 20040").status, 0);
    const auto restored = test::runCli(dir, "--yes restore -", {.input = backup, .output = {}});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(test::runCli(dir, "show 20040").status, 0);
}

}  // namespace
}  // namespace kapred
