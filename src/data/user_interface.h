#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace kapred {

enum class MessageIcon { Information, Critical, Question, Exclamation };

// The only way the core talks to the user. The desktop program answers with dialogs, the command
// line with text and flags, the tests with scripted answers.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual void showMessage(MessageIcon icon, const std::string& title, const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) = 0;
    // The inconsistency window: one sentence per line under a title.
    virtual void showInconsistencies(const std::string& title, const std::vector<std::string>& lines) = 0;
    // How far a long job has gone, from 0 to 100.
    virtual void showProgress(double percent) = 0;
};

// Exit status of a program that ended because something failed or was refused (1, 2 and 4 are
// left to the kinds of a validation failure).
inline constexpr int kEndedByFailure = 3;

// How a command that can end the program went: nothing when the program goes on (the command
// did nothing and told why); otherwise the exit status the program must end with at once, without
// the closing steps of a normal exit (0 when the command did its work).
using ProgramEnding = std::optional<int>;

// Raised where the program ends after telling the user why (a second instance, a missing
// database...). Front ends catch it once and end with its exit code.
class ProgramEnd : public std::exception {
public:
    explicit ProgramEnd(int exitCode) : exitCode_(exitCode) {}
    int exitCode() const noexcept { return exitCode_; }
    const char* what() const noexcept override { return "fin del programa"; }

private:
    int exitCode_;
};

// The three message kinds used throughout the program.
void MsgInformacion(UserInterface& ui, const std::string& text);
bool MsgError(UserInterface& ui, const std::string& text);
bool MsgAdvertencia(UserInterface& ui, const std::string& text);

}  // namespace kapred
