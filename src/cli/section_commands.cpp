// Commands over the sections of a declaration: show them, set the one-row sections, and list,
// add, change and delete the rows of the advances and the payments on account.
#include <iostream>
#include <memory>

#include "calc/computed_windows.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "data/validation.h"
#include "data/values/numeric_text.h"
#include "data/values/text.h"
#include "model/sections.h"
#include "model/tables/tables.h"

namespace kapred::cli {

namespace {

// The section's description, from a name given in any case, when it is of the kind asked for.
SectionInfo sectionNamed(const std::string& given, std::optional<SectionKind> kind = {}) {
    const auto section = findSection(given);
    if (section && (!kind || section->kind() == *kind)) {
        return *section;
    }
    std::string names;
    for (const auto& candidate : declarationSections()) {
        if (!kind || candidate.kind() == *kind) {
            names += (names.empty() ? "" : ", ") + candidate.name;
        }
    }
    throw CommandFailure("La sección " + given + " no es válida aquí. Secciones: " + names + ".");
}

std::unique_ptr<SectionObject> sectionObject(Context& context, const SectionInfo& section) {
    auto object = createSection(context, section.name);
    if (!object) {
        throw CommandFailure("La sección " + section.name + " no tiene datos propios.");
    }
    return object;
}

nlohmann::ordered_json figuresJson(const std::vector<Figure>& figures) {
    nlohmann::ordered_json result;
    for (const auto& figure : figures) {
        result[figure.name] = shown(figure.amount);
    }
    return result;
}

// The entity's values; amounts show as amounts even while they hold the initial 0.
nlohmann::ordered_json fieldsOf(const SectionInfo& section, const EntityBase& entity) {
    nlohmann::ordered_json fields;
    for (const auto& [name, value] : entity.fields().pairs()) {
        const auto field = findEntryField(section, name);
        const auto amount = value.toCurrency();
        fields[name] = field && field->type == db::DataType::Currency && amount ? shown(*amount) : shown(value);
    }
    return fields;
}

// "field=value" assignments as the values typed into the section's window.
EntryValues entryValues(const SectionInfo& section, const std::vector<std::string>& assignments) {
    EntryValues values;
    for (const auto& assignment : assignments) {
        const auto equals = assignment.find('=');
        const auto field = findEntryField(section, assignment.substr(0, equals));
        if (equals == std::string::npos || !field) {
            throw CommandFailure("No se reconoce \"" + assignment + "\": se espera campo=valor con un campo de " +
                                 section.name + " que el usuario carga.");
        }
        values.push_back({field->name, Variant(assignment.substr(equals + 1))});
    }
    return values;
}

// Shows the inconsistencies of a refused Aceptar and gives its code.
int refused(Context& context, const SectionObject& object, int code) {
    if (code != 0) {
        ShowInconsistencies(context.ui, object, code, context.numberFormat());
    }
    return code;
}

void printSection(const SectionInfo& section, SectionObject& object) {
    object.CalculateLocalTotals(kPrimaryKey);
    print({{"Campos", fieldsOf(section, *object.Entity)}, {"Totales", figuresJson(object.totals())}});
}

int showSection(Session& session, const std::string& code, const std::string& given) {
    session.declaration(code);
    Context& context = session.context();
    if (const auto computed = computeWindowFigures(context, given)) {
        nlohmann::ordered_json figures = figuresJson(computed->figures);
        for (const auto& figure : computed->apart) {
            figures[figure.name] = shown(figure.amount);
        }
        print(figures);
        if (computed->notice) {
            MsgInformacion(context.ui, *computed->notice);
        }
        return 0;
    }
    const SectionInfo section = sectionNamed(given);
    auto object = sectionObject(context, section);
    if (section.kind() == SectionKind::List) {
        object->CalculateLocalTotals(kListIndex);
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const auto& row : listRows(context, *object)) {
            using L = tables::ListSection;
            list.push_back(
                {{L::ID.name, row.id}, {L::fFecha.name, shown(row.date)}, {L::cImporte.name, shown(row.amount)}});
        }
        print({{"Filas", list}, {"Totales", figuresJson(object->totals())}});
        return 0;
    }
    printSection(section, *object);
    return 0;
}

int setSection(Session& session, const std::string& code, const std::string& given,
               const std::vector<std::string>& assignments) {
    session.declaration(code);
    Context& context = session.context();
    const SectionInfo section = sectionNamed(given, SectionKind::SingleRow);
    auto object = sectionObject(context, section);
    if (const int result = acceptSingleRow(*object, entryValues(section, assignments)); result != 0) {
        return refused(context, *object, result);
    }
    printSection(section, *object);
    return 0;
}

std::unique_ptr<SectionObject> listRow(Session& session, const std::string& code, const SectionInfo& section,
                                       const std::string& id) {
    auto object = sectionObject(session.context(), section);
    const auto number = Variant(id).toWholeNumber();
    if (!number || !findListRow(*object, static_cast<long>(*number))) {
        throw CommandFailure("No existe la fila " + id + " de " + section.name + " en la Declaración Jurada " + code +
                             ".");
    }
    return object;
}

int addRow(Session& session, const std::string& code, const std::string& given,
           const std::vector<std::string>& assignments) {
    session.declaration(code);
    Context& context = session.context();
    const SectionInfo section = sectionNamed(given, SectionKind::List);
    auto object = sectionObject(context, section);
    if (const int result = object->Aceptar(EntryMode::Adding, entryValues(section, assignments)); result != 0) {
        return refused(context, *object, result);
    }
    const Variant id = object->Entity->vGetFieldValue(tables::ListSection::ID);
    tellDone("Fila " + id.toText() + " agregada.", {{tables::ListSection::ID.name, shown(id)}});
    return 0;
}

int modifyRow(Session& session, const std::string& code, const std::string& given, const std::string& id,
              const std::vector<std::string>& assignments) {
    session.declaration(code);
    Context& context = session.context();
    const SectionInfo section = sectionNamed(given, SectionKind::List);
    auto object = listRow(session, code, section, id);
    object->EDIT();
    if (const int result = object->Aceptar(EntryMode::Modifying, entryValues(section, assignments)); result != 0) {
        return refused(context, *object, result);
    }
    tellDone("Fila " + id + " modificada.");
    return 0;
}

int deleteRow(Session& session, const std::string& code, const std::string& given, const std::string& id) {
    session.declaration(code);
    const SectionInfo section = sectionNamed(given, SectionKind::List);
    auto object = listRow(session, code, section, id);
    std::cerr << "Se eliminará la fila " << id << " de " << section.name << " de la Declaración Jurada " << code
              << " (fecha " << object->Entity->vGetFieldValue(tables::ListSection::fFecha).toText() << ", importe "
              << formatAmount(
                     object->Entity->vGetFieldValue(tables::ListSection::cImporte).toCurrency().value_or(Currency()), 2)
              << ")." << std::endl;
    if (!session.context().ui.askYesNo(MessageIcon::Question, "Confirmar!", "Desea eliminar el Registro Actual?")) {
        return 0;
    }
    if (!object->bDelete(kPrimaryKey)) {
        throw CommandFailure("No se pudo eliminar la fila " + id + ". " + failureReasons(*object));
    }
    tellDone("Fila " + id + " eliminada.");
    return 0;
}

int deleteAll(Session& session, const std::string& code, const std::string& given) {
    session.declaration(code);
    const SectionInfo section = sectionNamed(given, SectionKind::List);
    auto object = sectionObject(session.context(), section);
    // Counted before anything is printed: a failure to read them is then told on a line of its own.
    const std::size_t rows = listRows(session.context(), *object).size();
    std::cerr << "Se eliminarán las " << rows << " filas de " << section.name << " de la Declaración Jurada " << code
              << "." << std::endl;
    if (!session.context().ui.askYesNo(MessageIcon::Question, "Confirmar!", "Desea Eliminar Todos los Registros ?")) {
        return 0;
    }
    if (!object->bDelete(kListIndex)) {
        throw CommandFailure("No se pudieron eliminar las filas de " + section.name + ". " + failureReasons(*object));
    }
    tellDone("Filas de " + section.name + " eliminadas.");
    return 0;
}

const char* typeName(db::DataType type) {
    switch (type) {
        case db::DataType::Currency:
            return "importe (1.234,50)";
        case db::DataType::Date:
            return "fecha (dd/mm/aaaa)";
        case db::DataType::Integer:
        case db::DataType::Long:
            return "número entero";
        case db::DataType::Double:
            return "número";
        case db::DataType::Boolean:
            return "Sí o No";
        default:
            return "texto";
    }
}

// The sections a declaration holds, with the captions of their windows.
int listSections() {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& section : declarationSections()) {
        list.push_back({{"Sección", section.name},
                        {"Título", trimmed(section.caption)},
                        {"Carga", section.kind() == SectionKind::List ? "varias filas (add-row)" : "una fila (set)"}});
    }
    print(list);
    return 0;
}

// The fields the user enters in a section, by name and by the caption of their input; either
// names the field in set, add-row and modify-row.
int listFields(const std::string& given) {
    const SectionInfo section = sectionNamed(given);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& field : section.fields) {
        list.push_back({{"Campo", field.name}, {"Título", field.caption}, {"Tipo", typeName(field.type)}});
    }
    print(list);
    return 0;
}

struct Arguments {
    std::string code;
    std::string section;
    std::string id;
    std::vector<std::string> assignments;
};

}  // namespace

void addSectionCommands(CLI::App& app, std::vector<Command>& commands) {
    auto args = std::make_shared<Arguments>();
    const auto declaration = [&](CLI::App* command) {
        command->add_option("DJ", args->code, "Código de la declaración (p. ej. 20040)")->required();
    };
    const auto section = [&](CLI::App* command, bool required) {
        auto* option = command->add_option("SECCION", args->section, "Sección (ver el comando sections)");
        if (required) {
            option->required();
        }
    };

    commands.push_back({app.add_subcommand("sections", "Lista las secciones de una declaración, con sus títulos"),
                        [](Session&) { return listSections(); }});

    auto* fields = app.add_subcommand("fields", "Lista los campos de una sección, con sus títulos");
    section(fields, true);
    commands.push_back({fields, [args](Session&) { return listFields(args->section); }});

    auto* show = app.add_subcommand("show", "Muestra una declaración o una de sus secciones");
    declaration(show);
    section(show, false);
    commands.push_back({show, [args](Session& session) {
                            return args->section.empty() ? showDeclaration(session, args->code)
                                                         : showSection(session, args->code, args->section);
                        }});

    auto* set = app.add_subcommand("set", "Carga una sección de una sola fila: campo=valor ...");
    declaration(set);
    section(set, true);
    set->add_option("ASIGNACIONES", args->assignments,
                    "campo=valor, el campo por su nombre o su título (ver el comando fields); importes 1.234,50, "
                    "fechas dd/mm/aaaa")
        ->required();
    commands.push_back(
        {set, [args](Session& session) { return setSection(session, args->code, args->section, args->assignments); }});

    auto* rows = app.add_subcommand("rows", "Filas de Anticipos o PagosCuenta");
    declaration(rows);
    section(rows, true);
    commands.push_back({rows, [args](Session& session) { return showSection(session, args->code, args->section); }});

    auto* add = app.add_subcommand("add-row", "Agrega una fila: fFecha=dd/mm/aaaa cImporte=1.234,50");
    declaration(add);
    section(add, true);
    add->add_option("ASIGNACIONES", args->assignments, "campo=valor")->required();
    commands.push_back(
        {add, [args](Session& session) { return addRow(session, args->code, args->section, args->assignments); }});

    auto* modify = app.add_subcommand("modify-row", "Modifica una fila: FILA campo=valor ...");
    declaration(modify);
    section(modify, true);
    modify->add_option("FILA", args->id, "Número de fila")->required();
    modify->add_option("ASIGNACIONES", args->assignments, "campo=valor")->required();
    commands.push_back({modify, [args](Session& session) {
                            return modifyRow(session, args->code, args->section, args->id, args->assignments);
                        }});

    auto* remove = app.add_subcommand("delete-row", "Elimina una fila");
    declaration(remove);
    section(remove, true);
    remove->add_option("FILA", args->id, "Número de fila")->required();
    commands.push_back(
        {remove, [args](Session& session) { return deleteRow(session, args->code, args->section, args->id); }});

    auto* removeAll = app.add_subcommand("delete-all", "Elimina todas las filas de la sección");
    declaration(removeAll);
    section(removeAll, true);
    commands.push_back({removeAll, [args](Session& session) { return deleteAll(session, args->code, args->section); }});
}

}  // namespace kapred::cli
