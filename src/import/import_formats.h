#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/context.h"

namespace kapred {

// Import formats: named sets of column positions, one range per field of one section, kept in
// the five Importacion_* tables of the system tables (g_dbTablas). The same format reads a
// fixed-width file into a section (import_engine.h) and writes the section's rows out
// (export.h). This is the core the import window calls; refusals are told to the user with the
// program's message kinds and leave the stored formats as they were.

// A section that can be imported: its code, the entity name its business object is made from,
// and the text the section list shows.
struct ImportSection {
    long code = 0;
    std::string entityName;
    std::string description;
};

// The sections offered for import, in the order of their codes.
std::vector<ImportSection> importSections(Context& context);
std::optional<ImportSection> importSection(Context& context, long code);

struct ImportFormat {
    long id = 0;
    std::string name;
    long section = 0;  // tipo_tabla: the code of the section the format describes
    // Separador_Decimal: 0 the point, 1 the comma; a format created without a choice has none.
    std::optional<int> decimalSeparator;

    // Formats 1 to 4 come with the program and can be neither edited nor deleted.
    bool standard() const { return id >= 1 && id <= 4; }
    // Formats numbered below 6 come with the program's tables: their positions never change.
    bool fixedPositions() const { return id < 6; }
    // Whether the point is the format's decimal sign (the configuration's point option).
    bool pointDecimal() const { return decimalSeparator == 0; }
};

// The formats of one section (those whose tipo_tabla is its code),
// or of every section, by identifier.
std::vector<ImportFormat> formatsOfSection(Context& context, long sectionCode);
std::vector<ImportFormat> allFormats(Context& context);
std::optional<ImportFormat> findFormat(Context& context, long id);
// The format of that name, whatever the letter case.
std::optional<ImportFormat> findFormatByName(Context& context, const std::string& name);

// A format given by its number or, failing that, by its name.
std::optional<ImportFormat> findFormatByNumberOrName(Context& context, const std::string& given);

// Formats whose name is that one, whatever the letter case.
long countFormatsNamed(Context& context, const std::string& name);

inline constexpr const char* kInvalidFormatName = "El nombre del formato no es válido.";
inline constexpr const char* kNewNameTaken = "El Nombre de Formato especificado ya se encuentra cargado.";
inline constexpr const char* kRenameTaken = "El nombre de formato especificado ya se encuentra cargado.";
inline constexpr const char* kStandardNotEditable = "Los Formatos Estándar no pueden ser editados!";
inline constexpr const char* kStandardNotDeletable = "Los Formatos Estándar no pueden ser eliminados!";
inline constexpr const char* kConfirmFormatDeletion =
    "¿Confirma la eliminación del Formato de Importación seleccionado?";

// A new format of the section with the typed name (blanks at both ends removed), numbered one
// past the largest format. A refusal (empty or taken name) is shown with MsgError and gives
// nothing.
std::optional<long> createFormat(Context& context, long sectionCode, const std::string& typedName);

// Whether the format may be edited; a standard one is refused with MsgInformacion.
bool mayEditFormat(Context& context, const ImportFormat& format);

// Gives the format a new name. Changing only the letter case of its own name is allowed; a name
// that another format has is refused with MsgError, and so is a standard format
// (MsgInformacion). True when the name was saved.
bool renameFormat(Context& context, long formatId, const std::string& typedName);

// Deletes the format and its positions after the user confirms (MsgAdvertencia); a standard
// format is refused with MsgInformacion, a missing one or a database failure with MsgError.
enum class DeleteOutcome { Deleted, Declined, Refused };
DeleteOutcome deleteFormat(Context& context, long formatId);

// One row of a format's field grid: a field of the section with the positions stored for it in
// the format, as the configuration screen shows and edits them.
struct FieldPosition {
    long idCampo = 0;
    std::string label;      // concepto_campo
    std::string fieldName;  // Nombre_Campo: the entity field that receives the value
    int fieldType = 2;      // tipo_campo: 1 amount, 2 text, 3 date, 4 whole number, 5 flag
    bool required = false;  // obligatorio
    int proposedWidth = 0;  // LongitudP
    std::string from;       // Desde as typed; empty when the field has no position yet
    std::string to;         // Hasta as typed
    bool imported = false;  // "Se importa": Sí / No
};

struct FieldGrid {
    ImportFormat format;
    std::vector<FieldPosition> rows;  // the section's fields in IdCampo order
    bool point = false;               // the point option of the decimal separator
};

// The grid of a format: every field of its section, its stored positions, and "Sí" for a
// required field or one whose stored row is marked imported.
FieldGrid fieldGrid(Context& context, const ImportFormat& format);

// What typing in "Desde" keeps: the digits only.
std::string typedDigits(std::string_view typed);
// Typing a Desde fills Hasta with Desde + LongitudP - 1; nothing for an empty Desde.
std::string proposedTo(std::string_view from, int proposedWidth);

// The first rule a grid breaks, with the row the grid moves to and the message.
struct PositionProblem {
    std::size_t row = 0;
    std::string message;
};
// The three checks of a format's positions, in order: every row delimited (Desde and Hasta
// present and not 0), Hasta not below Desde, and no row A followed by a row B that starts at
// or before A's Hasta and ends after it.
std::optional<PositionProblem> checkPositions(const std::vector<FieldPosition>& rows);

enum class SaveOutcome {
    Saved,
    NotSaved,  // a format with fixed positions: they are never changed
    Refused,   // a check failed; told with MsgError
    Failed,    // the database refused; told with MsgError
};
// Checks the grid and saves it: the format's positions for its section are replaced by the
// grid's, and its decimal separator by the point option, all in one transaction.
SaveOutcome savePositions(Context& context, const FieldGrid& grid);

// Whether a declaration is loaded (its header has a code): imports and exports work on it only,
// or rows would be stored under no declaration.
bool declarationLoaded(const Context& context);
inline constexpr const char* kNoDeclaration = "No hay una Declaración Jurada seleccionada.";

// The largest Hasta of the format for the section: the record length of its files; 0 when the
// format places no field.
long recordLength(Context& context, long formatId, long sectionCode);

}  // namespace kapred
