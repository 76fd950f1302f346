#include "cli/parser_messages.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <regex>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/manual.h"
#include "cli/output.h"

namespace kapred::cli {

namespace {

// The value names the help shows after each option.
void nameValues(CLI::App& app) {
    static const std::pair<const char*, const char*> names[] = {
        {"TEXT", "TEXTO"}, {"INT", "ENTERO"}, {"UINT", "ENTERO"}, {"FLOAT", "NÚMERO"}};
    for (CLI::Option* option : app.get_options()) {
        if (option->get_group() == "Options") {
            option->group("Opciones");
        }
        // An argument is shown by its own name alone.
        if (!option->nonpositional()) {
            option->type_name("");
        }
        for (const auto& [english, spanish] : names) {
            if (option->get_type_name() == english) {
                option->type_name(spanish);
            }
        }
    }
    for (CLI::App* command : app.get_subcommands({})) {
        command->group("Comandos");
        // The notes of the program's help are told once, there.
        command->footer("");
        nameValues(*command);
    }
}

// The number of letters to add, remove or change to turn one word into the other.
std::size_t editDistance(std::string_view from, std::string_view to) {
    std::vector<std::size_t> row(to.size() + 1);
    for (std::size_t j = 0; j <= to.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (from[i - 1] == to[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[to.size()];
}

std::optional<std::string> nearestCommand(const CLI::App& app, const std::string& word) {
    std::optional<std::string> nearest;
    std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const CLI::App* command : app.get_subcommands({})) {
        if (const std::size_t distance = editDistance(word, command->get_name()); distance < best) {
            best = distance;
            nearest = command->get_name();
        }
    }
    return nearest;
}

std::string sCommandLineError(const CLI::App& app, const CLI::ParseError& error) {
    const auto words = app.remaining();
    if (app.get_subcommands().empty() && !words.empty() && !words.front().starts_with("-")) {
        std::string message = "No existe el comando \"" + words.front() + "\".";
        if (const auto nearest = nearestCommand(app, words.front())) {
            message += " ¿Quiso decir \"" + *nearest + "\"?";
        }
        return message;
    }
    return sParserMessage(error);
}

}  // namespace

int commandLineMistake(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
    useJson(std::any_of(argv + 1, argv + argc, [](const char* word) { return std::string_view(word) == "--json"; }));
    tellError(sCommandLineError(app, error));
    std::cerr << "Vea " << app.get_name() << " --help (o " << app.get_name() << " COMANDO --help)." << std::endl;
    return finishOutput(kExitUsage);
}

void addProgramOptions(CLI::App& app, const std::string& version) {
    app.option_defaults()->group("Opciones");
    app.set_help_flag("-h,--help", "Muestra esta ayuda y sale");
    app.set_version_flag("-V,--version", version, "Muestra la versión y sale");
    // The build writes the program's sections of its manual page with this; no group hides it
    // from the help.
    app.add_flag_callback("--manual-roff",
                          [&app] {
                              writeManualSections(app, std::cout);
                              throw CLI::Success();
                          })
        ->group("");
}

void useSpanishHelp(CLI::App& app) {
    auto formatter = app.get_formatter();
    const std::pair<const char*, const char*> labels[] = {{"Usage", "Uso"},
                                                          {"OPTIONS", "OPCIONES"},
                                                          {"SUBCOMMAND", "COMANDO"},
                                                          {"SUBCOMMANDS", "COMANDOS"},
                                                          {"Positionals", "Argumentos"},
                                                          {"REQUIRED", "OBLIGATORIO"},
                                                          {"Env", "Variable"},
                                                          {"Needs", "Requiere"},
                                                          {"Excludes", "Excluye"}};
    for (const auto& [english, spanish] : labels) {
        formatter->label(english, spanish);
    }
    nameValues(app);
}

std::string sParserMessage(const CLI::ParseError& error) {
    static const std::pair<std::regex, const char*> translations[] = {
        {std::regex("A subcommand is required|A subcommand"), "Falta el comando."},
        {std::regex("(.+) is required"), "Falta $1."},
        {std::regex("The following arguments? (?:was|were) not expected: (.*)"), "No se esperaba: $1."},
        {std::regex("Could not convert: (.+) = (.*)"), "El valor \"$2\" de $1 no es válido."},
        {std::regex("The value (.+) is not an allowed value for (.+)"), "El valor \"$1\" de $2 no es válido."},
        {std::regex("(.+): [0-9]+ required .+ missing"), "Falta el valor de $1."},
        {std::regex("Expected exactly ([0-9]+) arguments? to (.+), got ([0-9]+)"), "$2 lleva $1 valores y recibió $3."},
        {std::regex("(.+) excludes (.+)"), "$1 no puede darse junto con $2."},
        {std::regex("(.+) requires (.+)"), "$1 requiere $2."},
        {std::regex("(.+): too many inputs for a flag"), "$1 no lleva valor."},
        {std::regex("(.+): (.+)"), "El valor de $1 no es válido."},
    };
    const std::string text = error.what();
    for (const auto& [pattern, spanish] : translations) {
        if (std::regex_match(text, pattern)) {
            return std::regex_replace(text, pattern, spanish);
        }
    }
    return "La línea de comandos no es válida.";
}

}  // namespace kapred::cli
