#include "cli/cli_interface.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "cli/output.h"
#include "data/values/numeric_text.h"
#include "data/values/text.h"

namespace kapred::cli {

void CliInterface::showMessage(MessageIcon, const std::string& title, const std::string& text) {
    std::cerr << printableLines(title) << ": " << printableLines(withLineFeeds(text)) << std::endl;
}

bool CliInterface::askYesNo(MessageIcon, const std::string& title, const std::string& text) {
    std::ostream& prompt = std::cerr;
    prompt << printableLines(title) << ": " << printableLines(withLineFeeds(text)) << std::endl;
    if (answer_) {
        prompt << (*answer_ ? "-> Sí" : "-> No") << std::endl;
        return *answer_;
    }
    if (::isatty(STDIN_FILENO) == 0) {
        prompt << "-> No (sin terminal para preguntar; use --yes o --no)" << std::endl;
        unanswered_ = true;
        return false;
    }
    prompt << "¿Sí o No? [s/N] " << std::flush;
    std::string reply;
    std::getline(std::cin, reply);
    return !reply.empty() && (reply[0] == 's' || reply[0] == 'S' || reply[0] == 'y' || reply[0] == 'Y');
}

void CliInterface::showInconsistencies(const std::string& title, const std::vector<std::string>& lines) {
    std::cerr << printableLines(title) << "\n";
    for (const auto& line : lines) {
        std::cerr << "  " << printableLines(withLineFeeds(line)) << "\n";
    }
    std::cerr << std::flush;
}

void CliInterface::showProgress(double percent) {
    // Progress goes to a terminal only; scripts read the results, not the way there.
    if (::isatty(STDERR_FILENO) != 0) {
        std::cerr << "\r" << formatAmount(*Currency::fromDouble(percent), 2) << " %" << std::flush;
        if (percent >= 100) {
            std::cerr << "\n";
        }
    }
}

}  // namespace kapred::cli
