#include "generation/directories.h"

#include <system_error>

#include "app/context.h"
#include "generation/agency_interface.h"

namespace kapred {

std::string DirWindows(const std::filesystem::path& programDirectory) {
    std::string directory = agency::windowsDirectory(programDirectory / agency::kWindowsFolder);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory, error)) {
        return {};
    }
    return directory;
}

std::string DirWindows(const Context& context) {
    return DirWindows(context.appPath);
}

std::string DirWinSystem(const std::filesystem::path& programDirectory) {
    return agency::systemDirectory(programDirectory);
}

std::string DirWinSystem(const Context& context) {
    return DirWinSystem(context.appPath);
}

}  // namespace kapred
