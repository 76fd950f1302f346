#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/startup.h"
#include "model/declaration.h"
#include "model/section_object.h"

namespace kapred::cli {

// Exit status of a command: 0 done, 1, 2 or 4 the kind of a validation failure, 3 any other
// failure (told on standard error).
inline constexpr int kExitFailure = kEndedByFailure;

// A failure of a command other than a validation: its message and exit status.
class CommandFailure : public std::runtime_error {
public:
    explicit CommandFailure(const std::string& message, int exitCode = kExitFailure)
        : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

private:
    int exitCode_;
};

// The program started as the host starts it, left through the normal exit when the command is
// done (unless the command ended the program itself).
class Session {
public:
    Session(const std::filesystem::path& home, const std::string& cuit, UserInterface& ui, StartupObserver& observer,
            Serving serving = Serving::Taxpayer);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Context& context() { return *context_; }
    // Makes the declaration of that code current, as selecting it in the list does.
    BDDJJ& declaration(const std::string& code);
    // Leaves through the normal exit: the command's status, or a failure when the exit failed.
    int finish(int status);
    // The program ended without its normal exit (the menu compaction).
    void ended() { running_ = false; }

private:
    std::unique_ptr<Context> context_;
    StartupObserver& observer_;
    bool running_ = false;
};

}  // namespace kapred::cli
