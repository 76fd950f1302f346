// The core's user interface answered with dialogs: message boxes with the program's titles, the
// inconsistency viewer, and the progress of a long job on the window that runs it.
#pragma once

#include <functional>

#include "data/user_interface.h"

class QWidget;

namespace kapred::ui {

class QtUserInterface : public UserInterface {
public:
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) override;
    void showInconsistencies(const std::string& title, const std::vector<std::string>& lines) override;
    void showProgress(double percent) override;

    // Where the progress of the job now running is shown (nothing: it is not shown). A job that
    // its window can cancel also lets the user's clicks and keys through while it repaints, so
    // that the window's Cancel button answers; that window locks whatever could start another job.
    void setProgressSink(std::function<void(double)> sink, bool userInput = false) {
        progress_ = std::move(sink);
        userInput_ = userInput;
    }

private:
    std::function<void(double)> progress_;
    bool userInput_ = false;
};

// The window dialogs open over: the modal dialog in front, else the active window.
QWidget* dialogParent();

// Deals with the exception being handled (call it only inside a catch): an end of the program
// leaves the event loop with its exit code; any other failure is told to the user as a failed
// operation, and the program goes on.
void endOrTellFailure(UserInterface& ui);

// Runs the body of a slot so that nothing it raises crosses the toolkit's event dispatch.
template <typename Body>
void runGuarded(UserInterface& ui, Body&& body) {
    try {
        body();
    } catch (...) {
        endOrTellFailure(ui);
    }
}

// The slot, for a signal whose arguments it does not take, that runs `body` through runGuarded.
template <typename Body>
auto guarded(UserInterface& ui, Body body) {
    return [ui = &ui, body = std::move(body)] { runGuarded(*ui, body); };
}

// The same, told in the program's dialogs, for a window that is given no interface.
template <typename Body>
auto guarded(Body body) {
    return [body = std::move(body)] {
        QtUserInterface dialogs;
        runGuarded(dialogs, body);
    };
}

// Shows the progress on a window while it lives.
class ProgressShown {
public:
    ProgressShown(QtUserInterface& ui, std::function<void(double)> sink, bool userInput = false) : ui_(ui) {
        ui_.setProgressSink(std::move(sink), userInput);
    }
    ~ProgressShown() { ui_.setProgressSink({}); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    QtUserInterface& ui_;
};

}  // namespace kapred::ui
