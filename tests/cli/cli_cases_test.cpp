// The command line against hand-written transcripts: each file of cli/cases is one test, run in a
// fresh installation; cli/cases/README.md tells the file's lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "data/app_database.h"
#include "support/cli_run.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(KAPRED_CLI_CASES_DIR)) {
        if (entry.path().extension() == ".test") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string unescape(const std::string& line) {
    std::string bytes;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            bytes += line[i];
        } else if (const char c = line[++i]; c == 'x' && i + 2 < line.size()) {
            bytes += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
    }
    return bytes;
}

std::string escaped(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\r' || c == '\t') {
            text += c == '\\' ? "\\\\" : c == '\r' ? "\\r" : "\\t";
        } else if ((byte < 0x20 && c != '\n') || byte == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            text += std::string("\\x") + digits[byte >> 4] + digits[byte & 15];
        } else {
            text += c;
        }
    }
    return text.empty() || text.back() == '\n' ? text : text + "\n";
}

std::string unifiedDiff(const fs::path& folder, const std::string& expected, const std::string& actual) {
    test::writeBytes(folder / "expected", expected);
    test::writeBytes(folder / "actual", actual);
    const std::string command = "diff -u --label esperado --label obtenido '" + (folder / "expected").string() + "' '" +
                                (folder / "actual").string() + "'";
    std::string diff;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        diff += buffer;
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return diff;
}

class CliCase : public ::testing::TestWithParam<std::string> {};

// Runs the case and writes the transcript it gave, in the case file's own form, so that a
// passing case reproduces its file exactly.
TEST_P(CliCase, GivesItsTranscript) {
    const std::string expected = test::readBytes(fs::path(KAPRED_CLI_CASES_DIR) / (GetParam() + ".test"));
    const test::ProgramDir dir;
    const auto real = [&](const std::string& text) {
        return replaceAll(replaceAll(text, "$HOME", dir.home().string()), "$ROOT", dir.root().string());
    };
    const auto placeholders = [&](const std::string& text) {
        static const std::regex verificationNumber("[0-9]{6}F0369");
        static const std::regex stamp("[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}");
        const std::string named =
            replaceAll(replaceAll(text, dir.home().string(), "$HOME"), dir.root().string(), "$ROOT");
        static const std::regex shownNumber("verificación: [0-9]{6}");
        static const std::regex sha256("[0-9a-f]{64}");
        static const std::regex fileStamp("[0-9]{8}-[0-9]{6}");
        std::string shown = std::regex_replace(std::regex_replace(named, verificationNumber, "NNNNNNF0369"), stamp,
                                               "dd/mm/aaaa hh:mm:ss");
        shown = std::regex_replace(std::regex_replace(shown, shownNumber, "verificación: NNNNNN"), sha256, "<sha256>");
        shown = std::regex_replace(shown, fileStamp, "aaaammdd-hhmmss");
        return shown.empty() || shown.ends_with('\n') ? shown : shown + "\n";
    };

    const auto lines = test::linesOf(expected);
    std::string actual;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const auto blockEnd = [&](const std::string& end) {
            return std::find(lines.begin() + static_cast<long>(i) + 1, lines.end(), end) - lines.begin();
        };
        if (line.starts_with("file ")) {
            const auto end = static_cast<std::size_t>(blockEnd("end file"));
            std::string bytes;
            for (std::size_t k = i; k <= end && k < lines.size(); ++k) {
                actual += lines[k] + "\n";
                bytes += k > i && k < end ? unescape(lines[k]) + "\n" : "";
            }
            fs::create_directories((dir.root() / real(line.substr(5))).parent_path());
            test::writeBytes(dir.root() / real(line.substr(5)), bytes);
            i = end;
        } else if (line.starts_with("check ")) {
            actual += line + "\n" + escaped(test::readBytes(dir.root() / real(line.substr(6)))) + "end check\n";
            i = static_cast<std::size_t>(blockEnd("end check"));
        } else if (line.starts_with("remove ")) {
            fs::remove(dir.root() / real(line.substr(7)));
            actual += line + "\n";
        } else if (line.starts_with("sql ")) {
            const auto blank = line.find(' ', 4);
            db::Engine engine;
            engine.openDatabase(dir.home() / line.substr(4, blank - 4), false, false, kConnect)
                ->execute(unescape(line.substr(blank + 1)));
            actual += line + "\n";
        } else if (line.starts_with("test ") || line.starts_with("padron ")) {
            const bool padron = line.starts_with("padron ");
            std::string arguments = line.substr(line.find(' ') + 1);
            arguments = arguments.substr(0, arguments.rfind(" -> "));
            std::string command = arguments;
            test::Streams streams;
            if (const auto from = arguments.rfind(" < "); from != std::string::npos) {
                streams.input = dir.root() / real(arguments.substr(from + 3));
                command = arguments.substr(0, from);
            }
            const test::CliResult result = padron ? test::runPadron(dir, real(unescape(command)), streams)
                                                  : test::runCli(dir, real(unescape(command)), streams);
            actual += (padron ? "padron " : "test ") + arguments +
                      (result.status != 0 ? " -> " + std::to_string(result.status) : "") + "\n" +
                      placeholders(result.out) + (result.err.empty() ? "" : "__ERROR__\n" + placeholders(result.err)) +
                      (padron ? "end padron\n" : "end test\n");
            i = static_cast<std::size_t>(blockEnd(padron ? "end padron" : "end test"));
        } else {
            actual += line + "\n";
        }
    }
    if (actual != expected) {
        ADD_FAILURE() << GetParam() << ".test:\n" << unifiedDiff(dir.root(), expected, actual);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliCase, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& name) { return name.param; });

}  // namespace
}  // namespace kapred
