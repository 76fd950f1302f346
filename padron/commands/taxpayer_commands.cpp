// The registry's commands over taxpayers: list, show, add, modify, delete and open in Kapred.
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "app/cuit.h"
#include "cli/output.h"
#include "commands/commands.h"
#include "registry/kapred_link.h"

namespace kapred::padron {

namespace {

using nlohmann::ordered_json;

// The options of add and modify: what is not given stays as it is (empty for a new taxpayer).
struct TaxpayerOptions {
    std::optional<std::string> nombre;
    std::optional<int> formaJuridica;
    std::optional<int> mesCierre;
    std::optional<std::string> promovida;
    std::optional<std::string> actividad;
    std::optional<std::vector<std::string>> secundarias;
    std::optional<std::string> calle, numero, sector, torre, piso, depto, manzana, barrio, localidad, partido,
        codigoPostal;
    std::optional<int> tipoBarrio, provincia;
};

void addTaxpayerOptions(CLI::App* command, TaxpayerOptions& options, bool nameRequired) {
    auto* name = command->add_option("--nombre", options.nombre, "Razón social");
    if (nameRequired) {
        name->required();
    }
    command->add_option("--forma-juridica", options.formaJuridica, "Código de la forma jurídica (7 cooperativa)")
        ->type_name("CODIGO");
    command->add_option("--mes-cierre", options.mesCierre, "Mes de cierre del ejercicio comercial (1 a 12)")
        ->type_name("MES");
    command->add_option("--promovida", options.promovida, "Empresa promovida: si o no")
        ->type_name("VALOR")
        ->check(CLI::IsMember({"si", "no"}));
    command->add_option("--actividad", options.actividad, "Código de la actividad principal (seis dígitos)")
        ->type_name("CODIGO");
    command
        ->add_option("--actividad-secundaria", options.secundarias,
                     "Código de una actividad secundaria (se repite; reemplaza las cargadas)")
        ->type_name("CODIGO");
    command->add_option("--calle", options.calle, "Calle del domicilio fiscal");
    command->add_option("--numero", options.numero, "Número")->type_name("NUMERO");
    command->add_option("--sector", options.sector, "Sector");
    command->add_option("--torre", options.torre, "Torre");
    command->add_option("--piso", options.piso, "Piso");
    command->add_option("--depto", options.depto, "Departamento, oficina o local");
    command->add_option("--manzana", options.manzana, "Manzana");
    command->add_option("--barrio", options.barrio, "Barrio");
    command->add_option("--tipo-barrio", options.tipoBarrio, "Código del tipo de barrio (0 ninguno)")
        ->type_name("CODIGO");
    command->add_option("--localidad", options.localidad, "Localidad");
    command->add_option("--partido", options.partido, "Partido o departamento");
    command->add_option("--provincia", options.provincia, "Código de la provincia (0 ninguna)")->type_name("CODIGO");
    command->add_option("--codigo-postal", options.codigoPostal, "Código postal")->type_name("CODIGO");
}

template <typename T>
void take(const std::optional<T>& given, T& value) {
    if (given) {
        value = *given;
    }
}

// A code of 0 leaves the list's value out.
void takeCode(const std::optional<int>& given, std::optional<int>& value) {
    if (given) {
        value = *given == 0 ? std::nullopt : given;
    }
}

void apply(const TaxpayerOptions& options, Taxpayer& taxpayer) {
    take(options.nombre, taxpayer.descrip);
    takeCode(options.formaJuridica, taxpayer.formaJuridica);
    take(options.mesCierre, taxpayer.mescierreejcom);
    if (options.promovida) {
        taxpayer.empProm = *options.promovida == "si";
    }
    take(options.actividad, taxpayer.actividadPrincipal);
    take(options.secundarias, taxpayer.actividadesSecundarias);
    Address& address = taxpayer.domicilioFiscal;
    take(options.calle, address.calle);
    take(options.numero, address.nro);
    take(options.sector, address.sector);
    take(options.torre, address.torre);
    take(options.piso, address.piso);
    take(options.depto, address.Dtoofloc);
    take(options.manzana, address.manzana);
    take(options.barrio, address.barrio);
    takeCode(options.tipoBarrio, address.tipobarrio);
    take(options.localidad, address.localidad);
    take(options.partido, address.partido);
    takeCode(options.provincia, address.codprov);
    take(options.codigoPostal, address.codpostal);
}

// The CUIT of the command line as eleven digits, or a refusal the user reads.
std::string cuitArgument(const std::string& text) {
    if (const auto digits = commandLineCuit(text)) {
        return *digits;
    }
    throw Refused({Part::Taxpayer, 0, "cuit",
                   "CUIT: \"" + text + "\" debe tener 11 dígitos, con o sin guiones (30-71234567-1)."});
}

Taxpayer registered(Padron& padron, const std::string& text) {
    const std::string cuit = cuitArgument(text);
    if (auto taxpayer = padron.registry().find(cuit)) {
        return *taxpayer;
    }
    throw std::runtime_error("El contribuyente " + sFormatCuit(cuit, true) + " no está registrado.");
}

std::string nameIn(const std::vector<CodeName>& list, const std::optional<int>& code) {
    for (const CodeName& entry : list) {
        if (code && entry.code == *code) {
            return entry.name;
        }
    }
    return {};
}

ordered_json codeJson(const std::optional<int>& code) {
    return code ? ordered_json(*code) : ordered_json(nullptr);
}

ordered_json addressJson(Padron& padron, const Address& address) {
    return {{"calle", address.calle},
            {"nro", address.nro},
            {"sector", address.sector},
            {"torre", address.torre},
            {"piso", address.piso},
            {"Dtoofloc", address.Dtoofloc},
            {"manzana", address.manzana},
            {"barrio", address.barrio},
            {"tipobarrio", codeJson(address.tipobarrio)},
            {"tipobarrioNombre", nameIn(padron.registry().neighbourhoodTypes(), address.tipobarrio)},
            {"localidad", address.localidad},
            {"partido", address.partido},
            {"codprov", codeJson(address.codprov)},
            {"provincia", nameIn(padron.registry().provinces(), address.codprov)},
            {"codpostal", address.codpostal}};
}

// An address as people write it: the parts given, in order, with their captions.
std::string addressText(Padron& padron, const Address& address) {
    std::string text;
    const auto part = [&](const std::string& caption, const std::string& value) {
        if (!value.empty()) {
            text += (text.empty() ? "" : ", ") + caption + value;
        }
    };
    part("", address.calle);
    part("Nº ", address.nro);
    part("sector ", address.sector);
    part("torre ", address.torre);
    part("piso ", address.piso);
    part("dto/of/loc ", address.Dtoofloc);
    part("manzana ", address.manzana);
    part("barrio ", address.barrio);
    part("", nameIn(padron.registry().neighbourhoodTypes(), address.tipobarrio));
    part("", address.localidad);
    part("partido ", address.partido);
    part("", nameIn(padron.registry().provinces(), address.codprov));
    part("C.P. ", address.codpostal);
    return text;
}

int list(Padron& padron) {
    const auto lines = padron.registry().list();
    if (cli::usingJson()) {
        ordered_json result = ordered_json::array();
        for (const TaxpayerLine& line : lines) {
            result.push_back({{"cuit", line.cuit},
                              {"descrip", line.descrip},
                              {"formaJuridicaNombre", line.formaJuridica},
                              {"localidad", line.localidad}});
        }
        cli::print(result);
        return 0;
    }
    if (lines.empty()) {
        std::cerr << "No hay contribuyentes registrados. Regístrelos con kapred-padron add." << std::endl;
    }
    for (const TaxpayerLine& line : lines) {
        std::cout << line.cuit << "  " << line.descrip;
        if (!line.formaJuridica.empty() || !line.localidad.empty()) {
            std::cout << "  (" << line.formaJuridica
                      << (line.formaJuridica.empty() || line.localidad.empty() ? "" : ", ") << line.localidad << ")";
        }
        std::cout << "\n";
    }
    return 0;
}

int show(Padron& padron, const std::string& text) {
    const Taxpayer taxpayer = registered(padron, text);
    Registry& registry = padron.registry();
    if (cli::usingJson()) {
        ordered_json others = ordered_json::array();
        for (const Address& address : taxpayer.otrosDomicilios) {
            others.push_back(addressJson(padron, address));
        }
        ordered_json persons = ordered_json::array();
        for (const Person& person : taxpayer.responsables) {
            persons.push_back({{"apeNomTitular", person.apeNomTitular},
                               {"nroDocum", person.nroDocum},
                               {"paisTitular", codeJson(person.paisTitular)},
                               {"pais", nameIn(registry.countries(), person.paisTitular)}});
        }
        cli::print({{"cuit", sFormatCuit(taxpayer.cuit, true)},
                    {"descrip", taxpayer.descrip},
                    {"mescierreejcom", taxpayer.mescierreejcom},
                    {"empProm", taxpayer.empProm},
                    {"formaJuridica", codeJson(taxpayer.formaJuridica)},
                    {"formaJuridicaNombre", nameIn(registry.legalForms(), taxpayer.formaJuridica)},
                    {"actividadPrincipal", taxpayer.actividadPrincipal},
                    {"actividadesSecundarias", taxpayer.actividadesSecundarias},
                    {"domicilioFiscal", addressJson(padron, taxpayer.domicilioFiscal)},
                    {"otrosDomicilios", others},
                    {"responsables", persons}});
        return 0;
    }
    std::cout << "CUIT: " << sFormatCuit(taxpayer.cuit, true) << "\n"
              << "Razón social: " << taxpayer.descrip << "\n"
              << "Forma jurídica: " << nameIn(registry.legalForms(), taxpayer.formaJuridica) << "\n"
              << "Mes de cierre: " << taxpayer.mescierreejcom << "\n"
              << "Empresa promovida: " << (taxpayer.empProm ? "Sí" : "No") << "\n"
              << "Actividad principal: " << taxpayer.actividadPrincipal << "\n";
    for (const std::string& activity : taxpayer.actividadesSecundarias) {
        std::cout << "Actividad secundaria: " << activity << "\n";
    }
    std::cout << "Domicilio fiscal: " << addressText(padron, taxpayer.domicilioFiscal) << "\n";
    for (const Address& address : taxpayer.otrosDomicilios) {
        std::cout << "Otro domicilio: " << addressText(padron, address) << "\n";
    }
    for (const Person& person : taxpayer.responsables) {
        std::cout << "Responsable por deuda ajena de: " << person.apeNomTitular << ", documento " << person.nroDocum
                  << ", " << nameIn(registry.countries(), person.paisTitular) << "\n";
    }
    return 0;
}

int add(Padron& padron, const std::string& text, const TaxpayerOptions& options) {
    Taxpayer taxpayer;
    taxpayer.cuit = text;
    taxpayer.formaJuridica = kCooperativeLegalForm;
    apply(options, taxpayer);
    padron.registry().add(taxpayer);
    const std::string dashed = sFormatCuit(*commandLineCuit(text), true);
    cli::tellDone("Contribuyente " + dashed + " registrado.", {{"cuit", dashed}});
    return 0;
}

int modify(Padron& padron, const std::string& text, const TaxpayerOptions& options) {
    Taxpayer taxpayer = registered(padron, text);
    apply(options, taxpayer);
    padron.registry().modify(taxpayer);
    const std::string dashed = sFormatCuit(taxpayer.cuit, true);
    cli::tellDone("Contribuyente " + dashed + " modificado.", {{"cuit", dashed}});
    return 0;
}

int remove(Padron& padron, const std::string& text) {
    const std::string cuit = cuitArgument(text);
    if (!padron.eliminar(cuit)) {
        return kEndedByFailure;
    }
    cli::tellDone("Contribuyente " + sFormatCuit(cuit, true) + " eliminado del padrón.",
                  {{"cuit", sFormatCuit(cuit, true)}});
    return 0;
}

// Kapred takes the place of this program, as the host starts it.
int open(Padron& padron, const std::string& text) {
    const Taxpayer taxpayer = registered(padron, text);
    const KapredStart start = kapredStart(kapredBeside(), taxpayer.cuit, padron.programDirectory());
    std::vector<char*> arguments{const_cast<char*>(start.program.c_str())};
    for (const std::string& argument : start.arguments) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    ::setenv("KAPRED_HOME", start.home.c_str(), 1);
    std::cout.flush();
    ::execv(start.program.c_str(), arguments.data());
    throw std::runtime_error("No se pudo iniciar " + start.program.string() + ": " + std::strerror(errno) + ".");
}

}  // namespace

void addTaxpayerCommands(CLI::App& app, std::vector<Command>& commands) {
    commands.push_back({app.add_subcommand("list", "Lista los contribuyentes registrados"), list});

    auto cuit = std::make_shared<std::string>();
    const auto withCuit = [&app, cuit](const char* name, const char* description) {
        auto* command = app.add_subcommand(name, description);
        command->add_option("CUIT", *cuit, "CUIT del contribuyente (11 dígitos, con o sin guiones)")->required();
        return command;
    };
    commands.push_back({withCuit("show", "Muestra los datos de un contribuyente"),
                        [cuit](Padron& padron) { return show(padron, *cuit); }});

    auto newOptions = std::make_shared<TaxpayerOptions>();
    auto* addCommand = withCuit("add", "Registra un contribuyente (forma jurídica cooperativa si no se indica otra)");
    addTaxpayerOptions(addCommand, *newOptions, true);
    commands.push_back({addCommand, [cuit, newOptions](Padron& padron) { return add(padron, *cuit, *newOptions); }});

    auto changes = std::make_shared<TaxpayerOptions>();
    auto* modifyCommand = withCuit("modify", "Modifica los datos indicados de un contribuyente");
    addTaxpayerOptions(modifyCommand, *changes, false);
    commands.push_back({modifyCommand, [cuit, changes](Padron& padron) { return modify(padron, *cuit, *changes); }});

    commands.push_back({withCuit("delete", "Elimina un contribuyente del padrón (sus declaraciones quedan en Kapred)"),
                        [cuit](Padron& padron) { return remove(padron, *cuit); }});
    commands.push_back({withCuit("open", "Abre Kapred para el contribuyente, como lo abre el padrón"),
                        [cuit](Padron& padron) { return open(padron, *cuit); }});
}

}  // namespace kapred::padron
