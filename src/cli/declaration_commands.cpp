// Commands over whole declarations: list, create, modify, delete, copy, show, liquidation,
// determination, the taxpayer and the system tables.
#include <iostream>
#include <memory>

#include "app/cuit.h"
#include "calc/determination.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "data/captions.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "host/orel.h"
#include "model/declaration_ops.h"
#include "model/system_tables.h"

namespace kapred::cli {

namespace {

nlohmann::ordered_json headerJson(const EntityBase& header) {
    nlohmann::ordered_json result;
    for (const auto& [name, value] : header.fields().pairs()) {
        result[name] = shown(value);
    }
    result["Secuencia"] = sequenceDescription(header.vGetFieldValue("CODIGO_T_SECUENCIAS"));
    const auto kind = header.vGetFieldValue("iTipoEjercicioFiscal").toDouble().value_or(0);
    result["Tipo de Ejercicio Fiscal"] = kind == 1 ? "Regular" : (kind == 2 ? "Irregular" : "");
    return result;
}

// Figures with the caption their window gives them; JSON keys them by their getter names.
struct Figure {
    const char* name;
    Currency amount;
};

void printFigures(const std::string& window, const std::vector<Figure>& figures, bool json) {
    nlohmann::ordered_json result;
    for (const auto& figure : figures) {
        const std::string key = json ? figure.name : fieldLabel(window, figure.name).value_or(figure.name);
        result[key] = shown(figure.amount);
    }
    print(result, json);
}

// A figure that needs a rate no row gave is not presented as valid.
int reportRateProblem(Context& context, const std::optional<std::string>& problem) {
    if (!problem) {
        return 0;
    }
    MsgError(context.ui, *problem);
    return kExitFailure;
}

int listDeclarations(Session& session, const Options& options) {
    Context& context = session.context();
    BDDJJ& header = *context.currentDeclaration;
    header.Reset();
    auto rows = context.g_dbAplicativo->openRecordset(sBuildSelect(*context.g_dbAplicativo, *header.Entity, kListIndex,
                                                                   "Select  * ", "CodDJ", context.numberFormat()));
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (long r = 0; r < rows->recordCount(); ++r) {
        r == 0 ? rows->moveFirst() : rows->moveNext();
        EDDJJ entity;
        for (const auto& field : rows->fields()) {
            entity.SetFieldValue(field.name, rows->value(field.name));
        }
        list.push_back(headerJson(entity));
    }
    print(list, options.json);
    return 0;
}

int newDeclaration(Session& session, const std::string& period, const std::string& sequence, const std::string& kind,
                   const std::string& from, const std::string& to, const std::string& economicYear) {
    Context& context = session.context();
    BDDJJ& header = *context.currentDeclaration;
    header.AddNew();
    header.Entity->SetFieldValue("iTipoEjercicioFiscal", Variant(kind));
    header.Entity->SetFieldValue("lPeriodo", Variant(period));
    header.Entity->SetFieldValue("fPeriodoFiscalDesde", Variant(from));
    header.Entity->SetFieldValue("fPeriodoFiscalHasta", Variant(to));
    header.Entity->SetFieldValue("iEjercicioEconomico", Variant(economicYear));
    header.Entity->SetFieldValue("CODIGO_T_SECUENCIAS", Variant(sequence));
    if (const int code = acceptEntry(context, header); code != 0) {
        return code;
    }
    std::cout << "Declaración Jurada " << header.Entity->vGetFieldValue("CodDJ").toText() << " creada." << std::endl;
    return 0;
}

int modifyDeclaration(Session& session, const std::string& code, const std::string& kind) {
    BDDJJ& header = session.declaration(code);
    header.EDIT();
    header.Entity->SetFieldValue("iTipoEjercicioFiscal", Variant(kind));
    if (const int result = acceptEntry(session.context(), header); result != 0) {
        return result;
    }
    std::cout << "Declaración Jurada " << code << " modificada." << std::endl;
    return 0;
}

int deleteDeclaration(Session& session, const std::string& code) {
    BDDJJ& header = session.declaration(code);
    Context& context = session.context();
    if (!context.ui.askYesNo(MessageIcon::Question, "Confirmar!", "Desea eliminar el Registro Actual?")) {
        return 0;
    }
    if (!header.bDeleteDeclaration()) {
        throw CommandFailure("No se pudo eliminar la Declaración Jurada " + code + ".");
    }
    std::cout << "Declaración Jurada " << code << " eliminada." << std::endl;
    return 0;
}

int copy(Session& session, const std::string& code, const std::string& period, const std::string& sequence) {
    session.declaration(code);
    switch (copyDeclaration(session.context(), period, sequence)) {
        case CopyOutcome::Copied:
            return 0;
        case CopyOutcome::Refused:
            return kRuleError;
        case CopyOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace

int showDeclaration(Session& session, const std::string& code, const Options& options) {
    BDDJJ& header = session.declaration(code);
    nlohmann::ordered_json result = headerJson(*header.Entity);
    result["Contribuyente"] = taxpayerLine(session.context());
    print(result, options.json);
    return 0;
}

namespace {

int liquidation(Session& session, const std::string& code, const Options& options) {
    session.declaration(code);
    Context& context = session.context();
    BLiquidacion liquidation(context);
    calculateLiquidationForDisplay(liquidation);
    printFigures("Liquidacion",
                 {{"ccActivoComputable", liquidation.g_BActivoComputable->ccActivoComputable()},
                  {"ccPasivoAlCierre", liquidation.ccPasivoAlCierre()},
                  {"ccCapitalAlCierre", liquidation.ccCapitalAlCierre()},
                  {"ccDeduccionesAlCierre", liquidation.g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre()},
                  {"ccCapitalCooperativo", liquidation.ccCapitalCooperativo()},
                  {"ccAlicuota", liquidation.ccAlicuota() * Currency::fromUnits(100)},
                  {"ccContribEspecial", liquidation.ccContribEspecial()}},
                 options.json);
    return reportRateProblem(context, liquidation.rateProblem());
}

int determination(Session& session, const std::string& code, const Options& options) {
    session.declaration(code);
    Context& context = session.context();
    BDeterminacion determination(context);
    determination.CalculateLocalTotals(kListIndex);
    printFigures("Determinacion",
                 {{"ccSaldoFavorPeriodoAnt", determination.g_BSaldoFavorPeriodoAnt->ccImporte()},
                  {"ccPagosCuenta", determination.g_BPagosCuenta->ccImporte()},
                  {"ccAnticipos", determination.g_BAnticipos->ccImporte()},
                  {"ccContribEspecial", determination.g_BLiquidacion->ccContribEspecial()},
                  {"ccSaldoRexa", determination.ccSaldoRexa()},
                  {"ccSaldoContrib", determination.ccSaldoContrib()}},
                 options.json);
    return reportRateProblem(context, determination.rateProblem());
}

int taxpayer(Session& session, const Options& options) {
    Context& context = session.context();
    BOrel host(context);
    const Currency cuit = cuitAmount(context);
    nlohmann::ordered_json result;
    result["CUIT"] = sFormatCuit(context.cuit(), true);
    result["Nombre"] = host.ObtenerDescripcionContribuyente(cuit);
    result["Actividad"] = host.ObtenerActividadContribuyente(cuit);
    result["Domicilio"] = host.ObtenerDomicilio(cuit);
    result["Forma Jurídica"] = host.ObtenerTipoSocietario(cuit);
    print(result, options.json);
    return 0;
}

int tables(Session& session, const std::string& name, const Options& options) {
    if (name.empty()) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const auto& entry : consultableSystemTables()) {
            list.push_back({{"Tabla", entry.table}, {"Descripción", entry.caption}});
        }
        print(list, options.json);
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
    print(options.json ? nlohmann::ordered_json{{"Título", view->caption}, {"Filas", rows}} : rows, options.json);
    return 0;
}

}  // namespace

void addDeclarationCommands(CLI::App& app, std::vector<Command>& commands, const Options& options) {
    commands.push_back({app.add_subcommand("declarations", "Lista las declaraciones juradas del contribuyente"),
                        [&options](Session& session) { return listDeclarations(session, options); }});

    auto* create = app.add_subcommand("new", "Nueva declaración jurada");
    auto values = std::make_shared<std::array<std::string, 6>>();
    create->add_option("--period", (*values)[0], "Período fiscal (AAAA)")->required();
    create->add_option("--sequence", (*values)[1], "Secuencia de presentación (0 original)")->required();
    create->add_option("--kind", (*values)[2], "Tipo de ejercicio fiscal: 1 Regular, 2 Irregular")->required();
    create->add_option("--from", (*values)[3], "Período fiscal desde (dd/mm/aaaa)")->required();
    create->add_option("--to", (*values)[4], "Período fiscal hasta (dd/mm/aaaa)")->required();
    create->add_option("--economic-year", (*values)[5], "Ejercicio económico Nº")->required();
    commands.push_back({create, [values](Session& session) {
                            const auto& v = *values;
                            return newDeclaration(session, v[0], v[1], v[2], v[3], v[4], v[5]);
                        }});

    auto code = std::make_shared<std::string>();
    auto kind = std::make_shared<std::string>();
    auto* modify = app.add_subcommand("modify", "Modifica el tipo de ejercicio de una declaración");
    modify->add_option("DJ", *code, "Código de la declaración (período y secuencia, p. ej. 20040)")->required();
    modify->add_option("--kind", *kind, "Tipo de ejercicio fiscal: 1 Regular, 2 Irregular")->required();
    commands.push_back({modify, [code, kind](Session& session) { return modifyDeclaration(session, *code, *kind); }});

    auto* remove = app.add_subcommand("delete", "Elimina una declaración con todas sus secciones");
    remove->add_option("DJ", *code, "Código de la declaración")->required();
    commands.push_back({remove, [code](Session& session) { return deleteDeclaration(session, *code); }});

    auto destination = std::make_shared<std::array<std::string, 2>>();
    auto* copyCommand = app.add_subcommand("copy", "Copia una declaración a una secuencia posterior");
    copyCommand->add_option("DJ", *code, "Código de la declaración de origen")->required();
    copyCommand->add_option("--period", (*destination)[0], "Período de destino (AAAA)");
    copyCommand->add_option("--sequence", (*destination)[1], "Secuencia de destino");
    commands.push_back({copyCommand, [code, destination](Session& session) {
                            return copy(session, *code, (*destination)[0], (*destination)[1]);
                        }});

    auto* liquidationCommand = app.add_subcommand("liquidation", "Liquidación de la contribución especial");
    liquidationCommand->add_option("DJ", *code, "Código de la declaración")->required();
    commands.push_back(
        {liquidationCommand, [code, &options](Session& session) { return liquidation(session, *code, options); }});

    auto* determinationCommand = app.add_subcommand("determination", "Determinación del saldo a ingresar");
    determinationCommand->add_option("DJ", *code, "Código de la declaración")->required();
    commands.push_back(
        {determinationCommand, [code, &options](Session& session) { return determination(session, *code, options); }});

    commands.push_back({app.add_subcommand("taxpayer", "Datos del contribuyente en el Orel"),
                        [&options](Session& session) { return taxpayer(session, options); }});

    auto table = std::make_shared<std::string>();
    auto* tablesCommand = app.add_subcommand("tables", "Tablas del sistema");
    tablesCommand->add_option("NAME", *table, "T_ALICUOTAS_Y_TOPES, T_DEDUC_DISCAPACITADO o T_SECUENCIAS");
    commands.push_back(
        {tablesCommand, [table, &options](Session& session) { return tables(session, *table, options); }});
}

}  // namespace kapred::cli
