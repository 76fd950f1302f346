#include "cli/print_command_line.h"

namespace kapred::cli {

PrintCommandLine addPrintCommandLine(CLI::App& app) {
    auto arguments = std::make_shared<PrintArguments>();

    auto* form = app.add_subcommand("print", "Imprime el Formulario 369 de una declaración a un archivo PDF");
    form->add_option("DJ", arguments->code, "Código de la declaración (período y secuencia, p. ej. 20040)")->required();
    form->add_option("--pdf", arguments->pdf, "Archivo PDF a escribir")->type_name("ARCHIVO")->required();

    auto* paper = app.add_subcommand("workpaper", "Imprime el papel de trabajo de una sección a un archivo PDF");
    paper->add_option("DJ", arguments->code, "Código de la declaración")->required();
    paper
        ->add_option("SECCION", arguments->section,
                     "ActivoExento, ActivoComputable, Pasivo, Anticipos, PagosCuenta, o DJ para todas")
        ->required();
    paper->add_option("--pdf", arguments->pdf, "Archivo PDF a escribir")->type_name("ARCHIVO")->required();

    auto* format = app.add_subcommand("format-print", "Imprime las posiciones de un formato a un archivo PDF");
    format->add_option("FORMATO", arguments->format, "Número o nombre del formato")->required();
    format->add_option("--pdf", arguments->pdf, "Archivo PDF a escribir")->type_name("ARCHIVO")->required();

    return {form, paper, format, arguments};
}

}  // namespace kapred::cli
