#pragma once

#include <deque>
#include <string>
#include <vector>

#include "data/user_interface.h"

namespace kapred::test {

// Records every message and answers questions from a script (No when the script runs out).
class ScriptedUi : public UserInterface {
public:
    struct Shown {
        MessageIcon icon;
        std::string title;
        std::string text;
    };

    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        shown.push_back({icon, title, text});
    }
    bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) override {
        asked.push_back({icon, title, text});
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void showInconsistencies(const std::string& title, const std::vector<std::string>& lines) override {
        inconsistencies.push_back({title, lines});
    }

    void showProgress(double percent) override { progress.push_back(percent); }

    struct Listed {
        std::string title;
        std::vector<std::string> lines;
    };

    // The texts shown under a title, or every message as "title: text" when no title is given.
    std::vector<std::string> messages(const std::string& title = {}) const {
        std::vector<std::string> texts;
        for (const auto& message : shown) {
            if (title.empty() || message.title == title) {
                texts.push_back(title.empty() ? message.title + ": " + message.text : message.text);
            }
        }
        return texts;
    }

    std::vector<Shown> shown;
    std::vector<Listed> inconsistencies;
    std::vector<double> progress;
    std::vector<Shown> asked;
    std::deque<bool> answers;
};

}  // namespace kapred::test
