#include "cli/parser_messages.h"

#include <iostream>
#include <regex>
#include <utility>

#include "cli/manual.h"

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

}  // namespace

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
