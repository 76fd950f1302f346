// "-" for a file the command line writes: the kept plain copy of a generation goes to standard
// output whole, with the results told on standard error, and nothing is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

}  // namespace
}  // namespace kapred
