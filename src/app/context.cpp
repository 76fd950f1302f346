#include "app/context.h"

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "app/cuit.h"
#include "app/installation.h"
#include "data/app_database.h"

namespace kapred {

Context::Context(std::filesystem::path appPathValue, std::string commandLineValue, UserInterface& uiValue,
                 RegionalSettings regionalValue)
    : appPath(std::move(appPathValue)),
      commandLine(std::move(commandLineValue)),
      ui(uiValue),
      regional(std::move(regionalValue)),
      clock(systemClock) {}

std::filesystem::path Context::appDatabasePath() const {
    return appPath / kAppDatabaseFile;
}

std::filesystem::path Context::systemDatabasePath() const {
    return appPath / sSystemDatabaseName();
}

std::filesystem::path Context::hostDirectory() const {
    return (appPath / "..").lexically_normal();
}

std::string Context::cuit() const {
    return sFormatCuit(commandLine, false);
}

std::filesystem::path programDirectory(const std::string& given) {
    if (!given.empty()) {
        return std::filesystem::absolute(given);
    }
    if (const char* variable = std::getenv("KAPRED_HOME"); variable != nullptr && *variable != '\0') {
        return std::filesystem::absolute(variable);
    }
    return defaultProgramDirectory();
}

DateTime systemClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateTime value = DateTime::fromDate(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                        static_cast<unsigned>(local.tm_mday));
    value.time =
        std::chrono::hours(local.tm_hour) + std::chrono::minutes(local.tm_min) + std::chrono::seconds(local.tm_sec);
    return value;
}

}  // namespace kapred
