#include "cli/manual.h"

#include <string>

namespace kapred::cli {

namespace {

// Text as roff reads it: a backslash is written "\e", a hyphen "\-" (an ASCII minus, which the
// reader can type), and a line that would start with a request is guarded.
std::string roff(const std::string& text) {
    std::string out;
    for (const char character : text) {
        if (character == '\\') {
            out += "\\e";
        } else if (character == '-') {
            out += "\\-";
        } else {
            out += character;
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

// A description as a sentence of the page.
std::string sentence(const std::string& description) {
    const std::string text = roff(description);
    return text.empty() || text.back() == '.' ? text : text + ".";
}

bool shown(const CLI::Option& option) {
    return !option.get_group().empty() && option.get_name() != "--help" && option.get_name() != "-h,--help";
}

// "\fB\-\-period\fR \fIAÑO\fR", "\fB\-V\fR, \fB\-\-version\fR" or "\fIDJ\fR".
std::string optionTitle(const CLI::Option& option) {
    if (!option.nonpositional()) {
        std::string title = "\\fI" + roff(option.get_name()) + "\\fR";
        return option.get_expected_max() > 1 ? title + " ..." : title;
    }
    std::string title;
    for (const auto& name : option.get_snames()) {
        title += (title.empty() ? "" : ", ") + std::string("\\fB\\-") + roff(name) + "\\fR";
    }
    for (const auto& name : option.get_lnames()) {
        title += (title.empty() ? "" : ", ") + std::string("\\fB\\-\\-") + roff(name) + "\\fR";
    }
    // A flag takes no value and has no value name.
    if (!option.get_type_name().empty()) {
        title += " \\fI" + roff(option.get_type_name()) + "\\fR";
    }
    return title;
}

// The command's line: its name, then each argument and option, the optional ones in brackets.
std::string synopsis(const std::string& program, const CLI::App& command) {
    std::string line = "\\fB" + roff(program) + "\\fR \\fB" + roff(command.get_name()) + "\\fR";
    for (const CLI::Option* option : command.get_options()) {
        if (!shown(*option)) {
            continue;
        }
        const std::string title = optionTitle(*option);
        line += " " + (option->get_required() ? title : "[" + title + "]");
    }
    return line;
}

void writeOptions(const CLI::App& app, std::ostream& out) {
    for (const CLI::Option* option : app.get_options()) {
        if (!shown(*option) || !option->nonpositional()) {
            continue;
        }
        out << ".TP\n" << optionTitle(*option) << "\n" << sentence(option->get_description()) << "\n";
    }
}

}  // namespace

void writeManualSections(const CLI::App& app, std::ostream& out) {
    out << ".SH ÓRDENES\n";
    for (const CLI::App* command : app.get_subcommands({})) {
        out << ".SS " << roff(command->get_name()) << "\n"
            << synopsis(app.get_name(), *command) << "\n.PP\n"
            << sentence(command->get_description()) << "\n";
        for (const CLI::Option* option : command->get_options()) {
            if (shown(*option)) {
                out << ".TP\n" << optionTitle(*option) << "\n" << sentence(option->get_description()) << "\n";
            }
        }
    }
    out << ".SH OPCIONES\n"
        << "Van antes de la orden y valen para todas.\n";
    writeOptions(app, out);
}

}  // namespace kapred::cli
