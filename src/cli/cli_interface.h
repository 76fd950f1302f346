#pragma once

#include <optional>

#include "data/user_interface.h"

namespace kapred::cli {

// Messages and questions as text on standard error, which keeps standard output for the results.
// Questions take the answer of --yes or --no; without one they are asked on a terminal until the
// answer is s or n, and anywhere else answered No, which the command's exit status then tells.
class CliInterface : public UserInterface {
public:
    explicit CliInterface(std::optional<bool> answer) : answer_(answer) {}

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) override;
    void showInconsistencies(const std::string& title, const std::vector<std::string>& lines) override;
    void showProgress(double percent) override;

    // A question was answered No because there was neither a terminal nor --yes or --no.
    bool unanswered() const { return unanswered_; }
    // The person at the terminal answered a question No.
    bool refused() const { return refused_; }

private:
    std::optional<bool> answer_;
    bool unanswered_ = false;
    bool refused_ = false;
};

}  // namespace kapred::cli
