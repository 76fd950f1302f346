#pragma once

#include <optional>

#include "data/user_interface.h"

namespace kapred::cli {

// Messages as text: information on standard output (on standard error when the output is JSON,
// which must stay parseable), errors and warnings on standard error.
// Questions take the answer of --yes or --no; without one they are asked on a terminal, and
// anywhere else answered No.
class CliInterface : public UserInterface {
public:
    CliInterface(std::optional<bool> answer, bool json) : answer_(answer), json_(json) {}

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) override;
    void showInconsistencies(const std::string& title, const std::vector<std::string>& lines) override;
    void showProgress(double percent) override;

private:
    std::optional<bool> answer_;
    bool json_;
};

}  // namespace kapred::cli
