// The memory an import takes on a very large file: writes an advances file of the given size
// (200 MB unless told), imports it into one declaration and samples the resident memory while
// the run goes, cancelling it after the given seconds (0: never). The memory must stay flat:
// the file is read in fixed blocks and lines, never whole.
//
//   kapred_import_memory [megabytes] [seconds]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "calc/registry.h"
#include "import/import_engine.h"
#include "support/opened_program.h"

namespace {

using namespace kapred;
using Clock = std::chrono::steady_clock;

// A line of /proc/self/status, in kilobytes.
long statusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const long megabytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 200;
    const long seconds = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 60;

    test::OpenedProgram program;
    registerBusinessObjects(program.context);
    program.createDeclaration();
    const auto file = program.dir.root() / "anticipos.txt";
    {
        std::ofstream out(file, std::ios::binary);
        const long long target = static_cast<long long>(megabytes) * 1024 * 1024;
        char line[40];
        long long written = 0;
        for (long i = 1; written < target; ++i) {
            std::snprintf(line, sizeof line, "%02ld/%02ld/2005%015ld\r\n", i % 28 + 1, i % 5 + 1, i % 100000);
            // The amount column ends with two decimals after a comma: 0000000000123,45.
            line[22] = ',';
            out.write(line, 27);
            written += 27;
        }
    }
    const long before = statusKilobytes("VmRSS");
    std::printf("file: %ld MB (%ld bytes); resident before the import: %ld kB\n", megabytes,
                static_cast<long>(std::filesystem::file_size(file)), before);

    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    long peakDuring = 0;
    std::thread sampler([&] {
        const auto start = Clock::now();
        long next = 0;
        while (!done.load()) {
            const long resident = statusKilobytes("VmRSS");
            peakDuring = std::max(peakDuring, resident);
            const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            if (elapsed >= static_cast<double>(next)) {
                std::printf("  %5.1f s: resident %ld kB\n", elapsed, resident);
                std::fflush(stdout);
                next += 5;
            }
            if (seconds > 0 && elapsed >= static_cast<double>(seconds)) {
                cancel.store(true);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    const auto start = Clock::now();
    const ImportResult result = importFile(program.context, 3, file, &cancel);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    done.store(true);
    sampler.join();

    std::printf("lines handled: %ld, stored: %ld, in %.1f s (%.0f lines/s), %s\n", result.linesRead, result.stored(),
                elapsed, static_cast<double>(result.linesRead) / elapsed,
                result.outcome == ImportOutcome::Cancelled ? "cancelled" : "complete");
    std::printf("resident: before %ld kB, highest while importing %ld kB, peak of the process %ld kB\n", before,
                peakDuring, statusKilobytes("VmHWM"));
    return 0;
}
