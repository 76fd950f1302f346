#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "data/user_interface.h"

namespace kapred {

// One thing the user is told of how an import or an export ended.
enum class NoticeKind {
    Information,  // told as MsgInformacion
    Error,        // told as MsgError
    ErrorFile,    // the error file of a run that refused lines, shown where the front end can (its path)
};

struct Notice {
    NoticeKind kind = NoticeKind::Information;
    std::string text;
};

// What a run has to tell the user when it returns, in the order it is told. The run only gathers
// it; the front end tells it (with tell) once the run is over, or prints it its own way.
struct RunOutcome {
    std::vector<Notice> notices;

    void inform(std::string text) { notices.push_back({NoticeKind::Information, std::move(text)}); }
    void fail(std::string text) { notices.push_back({NoticeKind::Error, std::move(text)}); }
};

// Shows the error file of a run that refused lines (the import window's error summary).
using ErrorFileShown = std::function<void(const std::filesystem::path& errorFile)>;

// Tells the notices in order: information and errors as messages, the error file through
// showErrorFile (left out when there is none).
void tell(UserInterface& ui, const RunOutcome& outcome, const ErrorFileShown& showErrorFile = {});

}  // namespace kapred
