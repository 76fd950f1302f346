#include "cli/cli_interface.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "cli/output.h"
#include "data/engine/schema.h"
#include "data/values/numeric_text.h"
#include "data/values/text.h"

namespace kapred::cli {

void CliInterface::showMessage(MessageIcon, const std::string& title, const std::string& text) {
    std::cerr << printableLines(title) << ": " << printableLines(withLineFeeds(text)) << std::endl;
}

bool CliInterface::askYesNo(MessageIcon, const std::string& title, const std::string& text) {
    const std::string question = printableLines(title) + ": " + printableLines(withLineFeeds(text));
    if (answer_) {
        std::cerr << question << "\n" << (*answer_ ? "-> Sí" : "-> No") << std::endl;
        return *answer_;
    }
    if (::isatty(STDIN_FILENO) == 0) {
        std::cerr << question << "\n-> No (sin terminal para preguntar; use --yes o --no)" << std::endl;
        unanswered_ = true;
        return false;
    }
    // The person reads the question even when standard error gathers a JSON report.
    std::ostream& prompt = terminalPrompt();
    prompt << question << std::endl;
    for (;;) {
        prompt << "¿Sí o No? [s/n] " << std::flush;
        std::string reply;
        if (!std::getline(std::cin, reply)) {
            prompt << std::endl;
            refused_ = true;
            return false;
        }
        const std::string word = trimmed(reply);
        const auto is = [&word](std::string_view answer) { return db::equalsIgnoreCase(word, answer); };
        if (is("s") || is("si") || is("sí") || is("SÍ")) {
            return true;
        }
        if (is("n") || is("no")) {
            refused_ = true;
            return false;
        }
        prompt << "Responda s (sí) o n (no)." << std::endl;
    }
}

void CliInterface::showInconsistencies(const std::string& title, const std::vector<std::string>& lines) {
    std::cerr << printableLines(title) << "\n";
    for (const auto& line : lines) {
        std::cerr << "  " << printableLines(withLineFeeds(line)) << "\n";
    }
    std::cerr << std::flush;
}

void CliInterface::showProgress(double percent) {
    // Progress goes to a terminal only, never into a JSON report; scripts read the results, not
    // the way there.
    if (::isatty(STDERR_FILENO) != 0) {
        std::ostream& terminal = terminalPrompt();
        terminal << "\r" << formatAmount(*Currency::fromDouble(percent), 2) << " %" << std::flush;
        if (percent >= 100) {
            terminal << "\n";
        }
    }
}

}  // namespace kapred::cli
