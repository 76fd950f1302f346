#include "generation/directories.h"

#include <system_error>

#include "app/context.h"
#include "app/installation.h"
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
    // A portable installation carries the libraries in the program directory itself.
    std::error_code error;
    if (std::filesystem::is_directory(programDirectory / agency::kSystemFolder, error)) {
        return agency::systemDirectory(programDirectory);
    }
    return agency::directoryFor(agency::kSystemDirectoryVariable, installation().system);
}

std::string DirWinSystem(const Context& context) {
    return DirWinSystem(context.appPath);
}

}  // namespace kapred
