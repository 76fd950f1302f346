// Commands over whole declarations: list, create, modify, delete, copy, show, liquidation,
// determination, the taxpayer and the system tables.
#include <iostream>
#include <memory>

#include "app/cuit.h"
#include "calc/computed_windows.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "data/validation.h"
#include "host/orel.h"
#include "model/declaration.h"
#include "model/declaration_ops.h"
#include "model/sections.h"
#include "model/system_tables.h"
#include "model/tables/captions.h"
#include "model/tables/tables.h"

namespace kapred::cli {

namespace {

// The code of a declaration just made: alone on standard output, for scripts, with the message
// that tells it on standard error.
void tellNewDeclaration(const Variant& code, const std::string& message) {
    if (usingJson()) {
        tellDone(message, {{tables::DDJJ::CodDJ.name, code.toWholeNumber().value_or(0)}});
    } else {
        std::cout << code.toText() << std::endl;
        if (!message.empty()) {
            std::cerr << message << std::endl;
        }
    }
}

nlohmann::ordered_json headerJson(const EntityBase& header) {
    nlohmann::ordered_json result;
    for (const auto& [name, value] : header.fields().pairs()) {
        result[name] = shown(value);
    }
    result["Secuencia"] = sequenceDescription(header.vGetFieldValue(tables::DDJJ::CODIGO_T_SECUENCIAS));
    result["Tipo de Ejercicio Fiscal"] = fiscalYearKindName(header.vGetFieldValue(tables::DDJJ::iTipoEjercicioFiscal));
    return result;
}

// The figures of a computed window with the captions the window gives them (JSON keys them by
// their getter names); figures that need a rate no row gave are not presented as valid.
int printFigures(Session& session, const std::string& window) {
    Context& context = session.context();
    const auto computed = computeWindowFigures(context, window);
    nlohmann::ordered_json result;
    for (const auto& figure : computed->figures) {
        const std::string key = usingJson() ? figure.name : fieldLabel(window, figure.name).value_or(figure.name);
        result[key] = shown(figure.amount);
    }
    print(result);
    if (computed->notice) {
        MsgInformacion(context.ui, *computed->notice);
    }
    if (computed->rateProblem) {
        MsgError(context.ui, *computed->rateProblem);
        return kExitFailure;
    }
    return 0;
}

int listDeclarations(Session& session) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& entity : declarationsOfTaxpayer(session.context())) {
        list.push_back(headerJson(entity));
    }
    if (list.empty() && !usingJson()) {
        std::cout << "No hay declaraciones juradas del contribuyente.\n";
    }
    print(list);
    return 0;
}

int newDeclaration(Session& session, const std::string& period, const std::string& sequence, const std::string& kind,
                   const std::string& from, const std::string& to, const std::string& economicYear) {
    Context& context = session.context();
    BDDJJ& header = *currentHeader(context);
    using H = tables::DDJJ;
    const auto entry = [](const tables::Column& column, const std::string& typed) {
        return EntryValue{std::string(column.name), Variant(typed)};
    };
    const int code = header.Aceptar(
        EntryMode::Adding, {entry(H::iTipoEjercicioFiscal, kind), entry(H::lPeriodo, period),
                            entry(H::fPeriodoFiscalDesde, from), entry(H::fPeriodoFiscalHasta, to),
                            entry(H::iEjercicioEconomico, economicYear), entry(H::CODIGO_T_SECUENCIAS, sequence)});
    if (code != 0) {
        ShowInconsistencies(context.ui, header, code, context.numberFormat());
        return code;
    }
    const Variant created = header.Entity->vGetFieldValue(tables::DDJJ::CodDJ);
    tellNewDeclaration(created, "Declaración Jurada " + created.toText() + " creada.");
    return 0;
}

int modifyDeclaration(Session& session, const std::string& code, const std::string& kind) {
    BDDJJ& header = session.declaration(code);
    header.EDIT();
    if (const int result = header.Aceptar(EntryMode::Modifying,
                                          {{std::string(tables::DDJJ::iTipoEjercicioFiscal.name), Variant(kind)}});
        result != 0) {
        ShowInconsistencies(session.context().ui, header, result, session.context().numberFormat());
        return result;
    }
    tellDone("Declaración Jurada " + code + " modificada.",
             {{tables::DDJJ::CodDJ.name, Variant(code).toWholeNumber().value_or(0)}});
    return 0;
}

int deleteDeclaration(Session& session, const std::string& code) {
    BDDJJ& header = session.declaration(code);
    Context& context = session.context();
    // The question names what goes, the header and every section of it.
    std::cerr << "Se eliminará la Declaración Jurada " << code << " (período "
              << header.Entity->vGetFieldValue(tables::DDJJ::lPeriodo).toText() << ", "
              << sequenceDescription(header.Entity->vGetFieldValue(tables::DDJJ::CODIGO_T_SECUENCIAS))
              << ") con todas sus secciones." << std::endl;
    if (!context.ui.askYesNo(MessageIcon::Question, "Confirmar!", "Desea eliminar el Registro Actual?")) {
        return 0;
    }
    if (!header.bDeleteDeclaration()) {
        throw CommandFailure("No se pudo eliminar la Declaración Jurada " + code + ". " + failureReasons(header));
    }
    tellDone("Declaración Jurada " + code + " eliminada.");
    return 0;
}

int copy(Session& session, const std::string& code, const std::string& period, const std::string& sequence) {
    session.declaration(code);
    switch (copyDeclaration(session.context(), period, sequence)) {
        case CopyOutcome::Copied:
            // The copy's own message has told the user already.
            tellNewDeclaration(
                Variant(static_cast<std::int32_t>(
                    Variant(declarationCodeText(Variant(period), Variant(sequence), session.context().numberFormat()))
                        .toWholeNumber()
                        .value_or(0))),
                usingJson() ? "La Copia ha finalizado correctamente!." : "");
            return 0;
        case CopyOutcome::Refused:
            return kRuleError;
        case CopyOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace

int showDeclaration(Session& session, const std::string& code) {
    BDDJJ& header = session.declaration(code);
    nlohmann::ordered_json result = headerJson(*header.Entity);
    result["Contribuyente"] = taxpayerLine(session.context());
    print(result);
    return 0;
}

namespace {

int taxpayer(Session& session) {
    Context& context = session.context();
    BOrel host(context);
    const Cuit cuit(context.cuit());
    nlohmann::ordered_json result;
    result["CUIT"] = cuit.dashed();
    result["Nombre"] = host.ObtenerDescripcionContribuyente(cuit);
    result["Actividad"] = host.ObtenerActividadContribuyente(cuit);
    result["Domicilio"] = host.ObtenerDomicilio(cuit);
    result["Forma Jurídica"] = host.ObtenerTipoSocietario(cuit);
    print(result);
    return 0;
}

int tables(Session& session, const std::string& name) {
    if (name.empty()) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const auto& entry : consultableSystemTables()) {
            list.push_back({{"Tabla", entry.table}, {"Descripción", entry.caption}});
        }
        print(list);
        return 0;
    }
    const auto view = systemTable(session.context(), name);
    if (!view) {
        throw CommandFailure("No existe la tabla del sistema " + name + ".");
    }
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& row : view->rows) {
        nlohmann::ordered_json line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line[view->columns[i]] = shown(row[i]);
        }
        rows.push_back(line);
    }
    print(usingJson() ? nlohmann::ordered_json{{"Título", view->caption}, {"Filas", rows}} : rows);
    return 0;
}

}  // namespace

void addDeclarationCommands(CLI::App& app, std::vector<Command>& commands) {
    commands.push_back({app.add_subcommand("declarations", "Lista las declaraciones juradas del contribuyente"),
                        [](Session& session) { return listDeclarations(session); }});

    auto* create = app.add_subcommand("new", "Nueva declaración jurada");
    auto values = std::make_shared<std::array<std::string, 6>>();
    create->add_option("--period", (*values)[0], "Período fiscal (AAAA)")->type_name("AAAA")->required();
    create->add_option("--sequence", (*values)[1], "Secuencia de presentación (0 original)")
        ->type_name("SECUENCIA")
        ->required();
    create->add_option("--kind", (*values)[2], "Tipo de ejercicio fiscal: 1 Regular, 2 Irregular")
        ->type_name("TIPO")
        ->required();
    create->add_option("--from", (*values)[3], "Período fiscal desde (dd/mm/aaaa)")->type_name("FECHA")->required();
    create->add_option("--to", (*values)[4], "Período fiscal hasta (dd/mm/aaaa)")->type_name("FECHA")->required();
    create->add_option("--economic-year", (*values)[5], "Ejercicio económico Nº")->type_name("NUMERO")->required();
    commands.push_back({create, [values](Session& session) {
                            const auto& v = *values;
                            return newDeclaration(session, v[0], v[1], v[2], v[3], v[4], v[5]);
                        }});

    auto code = std::make_shared<std::string>();
    auto kind = std::make_shared<std::string>();
    auto* modify = app.add_subcommand("modify", "Modifica el tipo de ejercicio de una declaración");
    modify->add_option("DJ", *code, "Código de la declaración (período y secuencia, p. ej. 20040)")->required();
    modify->add_option("--kind", *kind, "Tipo de ejercicio fiscal: 1 Regular, 2 Irregular")
        ->type_name("TIPO")
        ->required();
    commands.push_back({modify, [code, kind](Session& session) { return modifyDeclaration(session, *code, *kind); }});

    auto* remove = app.add_subcommand("delete", "Elimina una declaración con todas sus secciones");
    remove->add_option("DJ", *code, "Código de la declaración")->required();
    commands.push_back({remove, [code](Session& session) { return deleteDeclaration(session, *code); }});

    auto destination = std::make_shared<std::array<std::string, 2>>();
    auto* copyCommand = app.add_subcommand("copy", "Copia una declaración a una secuencia posterior");
    copyCommand->add_option("DJ", *code, "Código de la declaración de origen")->required();
    copyCommand->add_option("--period", (*destination)[0], "Período de destino (AAAA)")->type_name("AAAA");
    copyCommand->add_option("--sequence", (*destination)[1], "Secuencia de destino")->type_name("SECUENCIA");
    commands.push_back({copyCommand, [code, destination](Session& session) {
                            return copy(session, *code, (*destination)[0], (*destination)[1]);
                        }});

    auto* liquidationCommand = app.add_subcommand("liquidation", "Liquidación de la contribución especial");
    liquidationCommand->add_option("DJ", *code, "Código de la declaración")->required();
    commands.push_back({liquidationCommand, [code](Session& session) {
                            session.declaration(*code);
                            return printFigures(session, "Liquidacion");
                        }});

    auto* determinationCommand = app.add_subcommand("determination", "Determinación del saldo a ingresar");
    determinationCommand->add_option("DJ", *code, "Código de la declaración")->required();
    commands.push_back({determinationCommand, [code](Session& session) {
                            session.declaration(*code);
                            return printFigures(session, "Determinacion");
                        }});

    commands.push_back({app.add_subcommand("taxpayer", "Datos del contribuyente en el Orel"),
                        [](Session& session) { return taxpayer(session); }});

    auto table = std::make_shared<std::string>();
    auto* tablesCommand = app.add_subcommand("tables", "Tablas del sistema");
    tablesCommand->add_option("NOMBRE", *table, "T_ALICUOTAS_Y_TOPES, T_DEDUC_DISCAPACITADO o T_SECUENCIAS");
    commands.push_back({tablesCommand, [table](Session& session) { return tables(session, *table); }});
}

}  // namespace kapred::cli
