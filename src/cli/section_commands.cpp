// Commands over the sections of a declaration: show them, set the one-row sections, and list,
// add, change and delete the rows of the advances and the payments on account.
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/output.h"
#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "model/assets.h"
#include "model/liabilities.h"

namespace kapred::cli {

namespace {

const std::vector<std::string> kSingleRowSections{"ActivoComputable",     "ActivoExento",
                                                  "ActivoNoComputable",   "Pasivo",
                                                  "SaldoFavorPeriodoAnt", "LiqDeduccionesAlCapital"};
const std::vector<std::string> kListSections{"Anticipos", "PagosCuenta"};

// The section's name as the program spells it, from a name given in any case.
std::string sectionName(const std::string& given, const std::vector<std::string>& allowed) {
    for (const auto& name : allowed) {
        if (db::equalsIgnoreCase(name, given)) {
            return name;
        }
    }
    std::string names;
    for (const auto& name : allowed) {
        names += (names.empty() ? "" : ", ") + name;
    }
    throw CommandFailure("La sección " + given + " no es válida aquí. Secciones: " + names + ".");
}

std::unique_ptr<SectionObject> sectionObject(Context& context, const std::string& name) {
    auto made = context.factory.createBusiness(name);
    auto* section = dynamic_cast<SectionObject*>(made.get());
    if (section == nullptr) {
        throw CommandFailure("La sección " + name + " no tiene datos propios.");
    }
    made.release();
    return std::unique_ptr<SectionObject>(section);
}

nlohmann::ordered_json totalsOf(SectionObject& section) {
    nlohmann::ordered_json totals;
    if (auto* computable = dynamic_cast<BActivoComputable*>(&section)) {
        totals["ccDineroEfectivo"] = shown(computable->ccDineroEfectivo());
        totals["ccDepositos"] = shown(computable->ccDepositos());
        totals["ccCreditos"] = shown(computable->ccCreditos());
        totals["ccInmuebles"] = shown(computable->ccInmuebles());
        totals["ccBienesMueblesAmortizables"] = shown(computable->ccBienesMueblesAmortizables());
        totals["ccActivoComputable"] = shown(computable->ccActivoComputable());
    } else if (auto* exempt = dynamic_cast<BActivoExento*>(&section)) {
        totals["ccActivoExento"] = shown(exempt->ccActivoExento());
    } else if (auto* outside = dynamic_cast<BActivoNoComputable*>(&section)) {
        totals["ccActivoNoComputable"] = shown(outside->ccActivoNoComputable());
        totals["ccActivoExento"] = shown(outside->g_BActivoExento->ccActivoExento());
    } else if (auto* liabilities = dynamic_cast<BPasivo*>(&section)) {
        totals["ccPasivo"] = shown(liabilities->ccPasivo());
    } else if (auto* list = dynamic_cast<BListSection*>(&section)) {
        totals["ccImporte"] = shown(list->ccImporte());
    } else if (auto* balance = dynamic_cast<BSaldoFavorPeriodoAnt*>(&section)) {
        totals["ccImporte"] = shown(balance->ccImporte());
    } else if (auto* deductions = dynamic_cast<BLiqDeduccionesAlCapital*>(&section)) {
        totals["ccDeduccionPorRetribucion"] = shown(deductions->ccDeduccionPorRetribucion());
        totals["ccDeduccionesAlCierre"] = shown(deductions->ccDeduccionesAlCierre());
    }
    return totals;
}

// The entity's values; amounts show as amounts even while they hold the initial 0.
nlohmann::ordered_json fieldsOf(Context& context, const EntityBase& entity) {
    const db::TableDef& table = context.g_dbAplicativo->tableDef(entity.sEntityName());
    nlohmann::ordered_json fields;
    for (const auto& [name, value] : entity.fields().pairs()) {
        const db::FieldDef* field = table.field(name);
        const auto amount = value.toCurrency();
        fields[name] =
            field != nullptr && field->type == db::DataType::Currency && amount ? shown(*amount) : shown(value);
    }
    return fields;
}

// Copies "field=value" assignments into the entity, as the window's inputs are copied.
void assign(Context& context, SectionObject& section, const std::vector<std::string>& assignments) {
    const db::TableDef& table = context.g_dbAplicativo->tableDef(section.Entity->sEntityName());
    for (const auto& assignment : assignments) {
        const auto equals = assignment.find('=');
        const std::string name = assignment.substr(0, equals);
        const db::FieldDef* field = table.field(name);
        if (equals == std::string::npos || field == nullptr) {
            throw CommandFailure("No se reconoce \"" + assignment + "\": se espera campo=valor con un campo de " +
                                 table.name + ".");
        }
        for (const char* key : {"CUIT", "CodDJ", "ID"}) {
            if (db::equalsIgnoreCase(field->name, key)) {
                throw CommandFailure("El campo " + field->name + " lo asigna el sistema y no puede cargarse.");
            }
        }
        section.Entity->SetFieldValue(field->name, Variant(assignment.substr(equals + 1)));
    }
}

bool assigns(const std::vector<std::string>& assignments, const std::string& field) {
    for (const auto& assignment : assignments) {
        if (db::equalsIgnoreCase(assignment.substr(0, assignment.find('=')), field)) {
            return true;
        }
    }
    return false;
}

// The liabilities window empties an amount that belongs to an insurance kind the cooperative is
// not: answering "NO" sets it to 0 and keeps it from being typed.
void applyInsuranceFlags(SectionObject& section, const std::vector<std::string>& assignments) {
    if (section.Entity->sEntityName() != "Pasivo") {
        return;
    }
    const std::pair<const char*, const char*> pairs[] = {
        {"iCooperativaSegurosCapitalizacion", "cReservasTecnicas"},
        {"iCooperativaAseguradoresVida", "cFondosBeneficioSeguroVida"}};
    for (const auto& [flag, amount] : pairs) {
        if (section.Entity->vGetFieldValue(flag).toDouble().value_or(-1) != 0) {
            continue;
        }
        const auto value = section.Entity->vGetFieldValue(amount).toCurrency();
        if (assigns(assignments, amount) && (!value || !value->isZero())) {
            throw CommandFailure(std::string("El campo ") + amount + " solo se carga cuando " + flag + " es 1 (SI).");
        }
        section.Entity->SetFieldValue(amount, Variant("0"));
    }
}

int showSection(Session& session, const std::string& code, const std::string& given, const Options& options) {
    session.declaration(code);
    Context& context = session.context();
    if (db::equalsIgnoreCase(given, "Activo")) {
        BActivo assets(context);
        assets.CalculateLocalTotals(kPrimaryKey);
        print({{"ccActivoComputable", shown(assets.g_BActivoComputable->ccActivoComputable())},
               {"ccActivoExento", shown(assets.g_BActivoExento->ccActivoExento())},
               {"ccActivoNoComputable", shown(assets.g_BActivoNoComputable->ccActivoNoComputable())},
               {"ccActivo", shown(assets.ccActivo())}},
              options.json);
        return 0;
    }
    std::vector<std::string> all = kSingleRowSections;
    all.insert(all.end(), kListSections.begin(), kListSections.end());
    const std::string name = sectionName(given, all);
    auto section = sectionObject(context, name);
    if (dynamic_cast<BListSection*>(section.get()) != nullptr) {
        section->CalculateLocalTotals(kListIndex);
        auto rows = context.g_dbAplicativo->openRecordset(sBuildSelect(
            *context.g_dbAplicativo, *section->Entity, kListIndex, "Select  * ", "ID", context.numberFormat()));
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (long r = 0; r < rows->recordCount(); ++r) {
            r == 0 ? rows->moveFirst() : rows->moveNext();
            list.push_back({{"ID", shown(rows->value("ID"))},
                            {"fFecha", shown(rows->value("fFecha"))},
                            {"cImporte", shown(rows->value("cImporte"))}});
        }
        print({{"Filas", list}, {"Totales", totalsOf(*section)}}, options.json);
        return 0;
    }
    section->CalculateLocalTotals(kPrimaryKey);
    print({{"Campos", fieldsOf(context, *section->Entity)}, {"Totales", totalsOf(*section)}}, options.json);
    return 0;
}

int setSection(Session& session, const std::string& code, const std::string& given,
               const std::vector<std::string>& assignments, const Options& options) {
    session.declaration(code);
    Context& context = session.context();
    auto section = sectionObject(context, sectionName(given, kSingleRowSections));
    // Modificar when the declaration has the row, else Nuevo on a cleared window.
    if (section->bFind()) {
        section->EDIT();
    } else {
        section->AddNew();
    }
    assign(context, *section, assignments);
    applyInsuranceFlags(*section, assignments);
    if (const int result = acceptEntry(context, *section); result != 0) {
        return result;
    }
    section->CalculateLocalTotals(kPrimaryKey);
    print({{"Campos", fieldsOf(context, *section->Entity)}, {"Totales", totalsOf(*section)}}, options.json);
    return 0;
}

std::unique_ptr<SectionObject> listRow(Session& session, const std::string& code, const std::string& given,
                                       const std::string& id) {
    session.declaration(code);
    auto section = sectionObject(session.context(), sectionName(given, kListSections));
    const auto number = parseDouble(id);
    section->Entity->SetFieldValue("ID", Variant(static_cast<std::int32_t>(number.value_or(-1))));
    if (!number || !section->bFind()) {
        throw CommandFailure("No existe la fila " + id + " de " + section->Entity->sEntityName() +
                             " en la Declaración Jurada " + code + ".");
    }
    return section;
}

int addRow(Session& session, const std::string& code, const std::string& given,
           const std::vector<std::string>& assignments) {
    session.declaration(code);
    Context& context = session.context();
    auto section = sectionObject(context, sectionName(given, kListSections));
    section->AddNew();
    assign(context, *section, assignments);
    if (const int result = acceptEntry(context, *section); result != 0) {
        return result;
    }
    std::cout << "Fila " << section->Entity->vGetFieldValue("ID").toText() << " agregada." << std::endl;
    return 0;
}

int modifyRow(Session& session, const std::string& code, const std::string& given, const std::string& id,
              const std::vector<std::string>& assignments) {
    auto section = listRow(session, code, given, id);
    section->EDIT();
    assign(session.context(), *section, assignments);
    if (const int result = acceptEntry(session.context(), *section); result != 0) {
        return result;
    }
    std::cout << "Fila " << id << " modificada." << std::endl;
    return 0;
}

int deleteRow(Session& session, const std::string& code, const std::string& given, const std::string& id) {
    auto section = listRow(session, code, given, id);
    if (!session.context().ui.askYesNo(MessageIcon::Question, "Confirmar!", "Desea eliminar el Registro Actual?")) {
        return 0;
    }
    if (!section->bDelete(kPrimaryKey)) {
        throw CommandFailure("No se pudo eliminar la fila " + id + ".");
    }
    std::cout << "Fila " << id << " eliminada." << std::endl;
    return 0;
}

int deleteAll(Session& session, const std::string& code, const std::string& given) {
    session.declaration(code);
    auto section = sectionObject(session.context(), sectionName(given, kListSections));
    if (!session.context().ui.askYesNo(MessageIcon::Question, "Confirmar!", "Desea Eliminar Todos los Registros ?")) {
        return 0;
    }
    if (!section->bDelete(kListIndex)) {
        throw CommandFailure("No se pudieron eliminar las filas de " + section->Entity->sEntityName() + ".");
    }
    std::cout << "Filas de " << section->Entity->sEntityName() << " eliminadas." << std::endl;
    return 0;
}

struct Arguments {
    std::string code;
    std::string section;
    std::string id;
    std::vector<std::string> assignments;
};

}  // namespace

void addSectionCommands(CLI::App& app, std::vector<Command>& commands, const Options& options) {
    auto args = std::make_shared<Arguments>();
    const auto declaration = [&](CLI::App* command) {
        command->add_option("DJ", args->code, "Código de la declaración (p. ej. 20040)")->required();
    };
    const auto section = [&](CLI::App* command, bool required) {
        auto* option = command->add_option("SECTION", args->section, "Sección");
        if (required) {
            option->required();
        }
    };

    auto* show = app.add_subcommand("show", "Muestra una declaración o una de sus secciones");
    declaration(show);
    section(show, false);
    commands.push_back({show, [args, &options](Session& session) {
                            return args->section.empty() ? showDeclaration(session, args->code, options)
                                                         : showSection(session, args->code, args->section, options);
                        }});

    auto* set = app.add_subcommand("set", "Carga una sección de una sola fila: campo=valor ...");
    declaration(set);
    section(set, true);
    set->add_option("ASSIGNMENTS", args->assignments, "campo=valor (importes 1.234,50; fechas dd/mm/aaaa)")->required();
    commands.push_back({set, [args, &options](Session& session) {
                            return setSection(session, args->code, args->section, args->assignments, options);
                        }});

    auto* rows = app.add_subcommand("rows", "Filas de Anticipos o PagosCuenta");
    declaration(rows);
    section(rows, true);
    commands.push_back({rows, [args, &options](Session& session) {
                            return showSection(session, args->code, args->section, options);
                        }});

    auto* add = app.add_subcommand("add-row", "Agrega una fila: fFecha=dd/mm/aaaa cImporte=1.234,50");
    declaration(add);
    section(add, true);
    add->add_option("ASSIGNMENTS", args->assignments, "campo=valor")->required();
    commands.push_back(
        {add, [args](Session& session) { return addRow(session, args->code, args->section, args->assignments); }});

    auto* modify = app.add_subcommand("modify-row", "Modifica una fila: ID campo=valor ...");
    declaration(modify);
    section(modify, true);
    modify->add_option("ID", args->id, "Número de fila")->required();
    modify->add_option("ASSIGNMENTS", args->assignments, "campo=valor")->required();
    commands.push_back({modify, [args](Session& session) {
                            return modifyRow(session, args->code, args->section, args->id, args->assignments);
                        }});

    auto* remove = app.add_subcommand("delete-row", "Elimina una fila");
    declaration(remove);
    section(remove, true);
    remove->add_option("ID", args->id, "Número de fila")->required();
    commands.push_back(
        {remove, [args](Session& session) { return deleteRow(session, args->code, args->section, args->id); }});

    auto* removeAll = app.add_subcommand("delete-all", "Elimina todas las filas de la sección");
    declaration(removeAll);
    section(removeAll, true);
    commands.push_back({removeAll, [args](Session& session) { return deleteAll(session, args->code, args->section); }});
}

}  // namespace kapred::cli
