#include "generation/file_inspector.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <limits>
#include <map>
#include <vector>

#include "data/values/datetime.h"
#include "data/values/error.h"
#include "data/values/numeric_text.h"
#include "data/windows1252.h"
#include "generation/declaration_records.h"
#include "generation/verification_number.h"
#include "model/tables/captions.h"

namespace kapred {

namespace {

// The records in the order the file holds them, with how many of each it may hold.
struct RecordKind {
    const RecordLayout* layout;
    long fewest;
    long most;
};
const RecordKind kRecordKinds[] = {
    {&kRecord01, 1, 1},
    {&kRecord02, 1, 1},
    {&kRecord04, static_cast<long>(std::size(kItems04)), static_cast<long>(std::size(kItems04))},
    {&kRecord05, 0, std::numeric_limits<long>::max()},
    {&kRecord06, 0, std::numeric_limits<long>::max()},
    {&kRecord90, static_cast<long>(std::size(kItems90)), static_cast<long>(std::size(kItems90))},
    {&kRecord91, 0, 1},
    {&kRecord99, 1, 1},
};

constexpr std::string_view kHeaderStart = "HEAD10 01 01 ";

// The user's words for the fields of the layouts, by the name the layout gives them.
std::string captionOf(const Field& field) {
    using Header = tables::DDJJ;
    using Row = tables::ListSection;
    static const std::map<std::string_view, std::string_view> captions = {
        {Header::CUIT, "CUIT"},
        {Header::iEstablecimiento, "Establecimiento"},
        {"lPeriodo followed by 00", "Período"},
        {Header::CODIGO_T_SECUENCIAS, "Secuencia"},
        {"verification number", "Número de verificación"},
        {"hora as hhmmss", "Hora de la declaración"},
        {"program version: minor, major, revision", "Versión del programa"},
        {Header::iTipoEjercicioFiscal, "Tipo de ejercicio fiscal"},
        {Header::fPeriodoFiscalDesde, "Ejercicio fiscal desde"},
        {Header::fPeriodoFiscalHasta, "Ejercicio fiscal hasta"},
        {Header::iEjercicioEconomico, "Ejercicio económico"},
        {"section code", "Sección"},
        {"item code", "Ítem"},
        {"amount", "Importe"},
        {"quantity", "Cantidad"},
        {Row::fFecha, "Fecha"},
        {Row::cImporte, "Importe"},
        {"box code", "Casilla"},
        {"ccSaldoRexa", "Saldo a pagar"},
        {"calle", "Calle"},
        {"nro", "Número"},
        {"sector", "Sector"},
        {"torre", "Torre"},
        {"piso", "Piso"},
        {"Dtoofloc", "Departamento, oficina o local"},
        {"manzana", "Manzana"},
        {"barrio", "Barrio"},
        {"tipoBarrio", "Tipo de barrio"},
        {"localidad", "Localidad"},
        {"partido", "Partido"},
        {"codProv", "Provincia"},
        {"codPostal", "Código postal"},
    };
    if (field.encoding == Encoding::Constant) {
        return field.position == 1 ? "Tipo de registro" : field.constant.empty() ? "Relleno" : "Constante";
    }
    const auto found = captions.find(field.name);
    return found != captions.end() ? std::string(found->second) : std::string(field.name);
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string withoutLeadingZeros(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? "0" : std::string(digits.substr(first));
}

std::string trimmedRight(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The amount of an I15 field: the sign digit 1 marks a negative amount of the other 14 digits.
Currency amountOfDigits(std::string_view raw) {
    const bool negative = raw.front() == '1';
    const std::string_view digits = negative ? raw.substr(1) : raw;
    const Currency magnitude = Currency::fromScaled(std::stoll(std::string(digits)) * 100);
    return negative ? -magnitude : magnitude;
}

// The decoded value of the field's characters, or nothing when its encoding cannot hold them.
std::optional<std::string> decode(const Field& field, std::string_view raw) {
    // Numbers that are not quantities read as what they mean.
    if (field.name == "verification number") {
        return allDigits(raw) ? std::optional<std::string>(raw) : std::nullopt;
    }
    if (field.name == "lPeriodo followed by 00") {
        return allDigits(raw) && raw.ends_with("00") ? std::optional<std::string>(raw.substr(0, 4)) : std::nullopt;
    }
    if (field.name == "hora as hhmmss") {
        if (!allDigits(raw) || std::stoi(std::string(raw.substr(0, 2))) > 23 ||
            std::stoi(std::string(raw.substr(2, 2))) > 59 || std::stoi(std::string(raw.substr(4, 2))) > 59) {
            return std::nullopt;
        }
        return std::string(raw.substr(0, 2)) + ":" + std::string(raw.substr(2, 2)) + ":" +
               std::string(raw.substr(4, 2));
    }
    switch (field.encoding) {
        case Encoding::Constant:
            if (raw != encodeText(field.constant, field.width)) {
                return std::nullopt;
            }
            return trimmedRight(std::string(raw));
        case Encoding::Text:
            return trimmedRight(fromWindows1252(raw));
        case Encoding::Number: {
            if (!allDigits(raw)) {
                return std::nullopt;
            }
            const std::string_view whole = raw.substr(0, raw.size() - static_cast<std::size_t>(field.decimals));
            std::string value = withoutLeadingZeros(whole);
            if (field.decimals > 0) {
                value += ',' + std::string(raw.substr(whole.size()));
            }
            return value;
        }
        case Encoding::Amount:
            if (!allDigits(raw)) {
                return std::nullopt;
            }
            return formatAmount(amountOfDigits(raw));
        case Encoding::Date: {
            if (!allDigits(raw)) {
                return std::nullopt;
            }
            const std::chrono::year_month_day date{
                std::chrono::year(std::stoi(std::string(raw.substr(0, 4)))),
                std::chrono::month(static_cast<unsigned>(std::stoi(std::string(raw.substr(4, 2))))),
                std::chrono::day(static_cast<unsigned>(std::stoi(std::string(raw.substr(6, 2)))))};
            if (!date.ok()) {
                return std::nullopt;
            }
            return formatDate(DateTime::fromDate(date));
        }
        case Encoding::Cuit:
            if (!allDigits(raw)) {
                return std::nullopt;
            }
            return std::string(raw.substr(0, 2)) + "-" + std::string(raw.substr(2, 8)) + "-" +
                   std::string(raw.substr(10));
    }
    return std::nullopt;
}

const RecordKind* kindOf(std::string_view record) {
    const std::string_view type = record.substr(0, 2);
    for (const RecordKind& kind : kRecordKinds) {
        if (kind.layout->type == type) {
            return &kind;
        }
    }
    return nullptr;
}

// The label a window gives a figure of the record tables ("cDeudas", "BLiquidacion.ccCapital...",
// "ccAlicuota x 100"), looked up in the window of the record's section first; the figure's own
// name when no window shows it.
std::string figureCaption(std::string_view section, std::string_view figure) {
    static const std::map<std::string_view, std::string_view> windows = {
        {"00100", "Activo"},
        {"00200", tables::ActivoComputable::table},
        {"00300", tables::ActivoExento::table},
        {"00400", "Activo"},
        {"00500", tables::Pasivo::table},
        {"00600", "Liquidacion"},
        {"00700", "Determinacion"},
        {"00800", tables::SaldoFavorPeriodoAnt::table}};
    std::vector<std::string> candidates;
    std::string name(figure);
    // A sum is labelled by its last term, a scaled figure by the figure itself.
    name = name.substr(
        name.rfind(' ') == std::string::npos || name.find('+') == std::string::npos ? 0 : name.rfind(' ') + 1);
    name = name.substr(0, name.find(' '));
    if (const auto dot = name.find('.'); dot != std::string::npos) {
        std::string window = name.substr(0, dot);
        candidates.push_back(window.starts_with('B') ? window.substr(1) : window);
        name = name.substr(dot + 1);
    }
    if (const auto found = windows.find(section); found != windows.end()) {
        candidates.emplace_back(found->second);
    }
    using namespace std::string_view_literals;
    for (const std::string_view window :
         {"Liquidacion"sv, "Determinacion"sv, tables::ActivoExento::table, tables::ActivoNoComputable::table}) {
        candidates.emplace_back(window);
    }
    for (const std::string& window : candidates) {
        if (auto label = fieldLabel(window, name)) {
            std::erase(*label, '&');
            // Blanks the window's layout needed are not part of the words.
            label->erase(std::unique(label->begin(), label->end(), [](char a, char b) { return a == ' ' && b == ' '; }),
                         label->end());
            const auto first = label->find_first_not_of(' ');
            return label->substr(first, label->find_last_not_of(' ') - first + 1);
        }
    }
    return std::string(figure);
}

// The figure a record 04 or 90 carries, by its section and item or its box.
std::string figureOf(std::string_view type, std::string_view record) {
    if (type == "04" && record.size() >= 11) {
        for (const Item04& item : kItems04) {
            if (record.substr(2, 5) == item.section && record.substr(7, 4) == item.item) {
                return figureCaption(item.section, item.amount.empty() ? item.quantity : item.amount);
            }
        }
    }
    if (type == "90" && record.size() >= 7) {
        for (const Item90& item : kItems90) {
            if (record.substr(0, 7) == item.code) {
                return figureCaption("00600", item.amount);
            }
        }
    }
    return {};
}

std::string lineText(long line) {
    return "Línea " + std::to_string(line) + ": ";
}

// The record's fields, and a fault for each the record's characters do not fit.
void readFields(const RecordLayout& layout, InspectedRecord& record, std::vector<std::string>& faults) {
    for (const Field& field : layout.fields) {
        const auto start = static_cast<std::size_t>(field.position - 1);
        if (start >= record.raw.size()) {
            break;
        }
        const std::string_view raw = std::string_view(record.raw).substr(start, static_cast<std::size_t>(field.width));
        InspectedField inspected{
            captionOf(field), field.position, field.position + field.width - 1, fromWindows1252(raw), {}};
        const std::optional<std::string> value =
            raw.size() == static_cast<std::size_t>(field.width) ? decode(field, raw) : std::nullopt;
        if (value) {
            inspected.value = *value;
        } else if (raw.size() == static_cast<std::size_t>(field.width)) {
            faults.push_back(lineText(record.line) + "el campo " + inspected.caption + " del registro " + record.type +
                             " (columnas " + std::to_string(inspected.from) + " a " + std::to_string(inspected.to) +
                             ") no es válido: \"" + inspected.raw + "\".");
        }
        record.fields.push_back(std::move(inspected));
    }
}

void checkHeader(std::string_view header, long records, std::vector<std::string>& faults) {
    const std::string_view count =
        header.size() == kHeaderStart.size() + 6 ? header.substr(kHeaderStart.size()) : std::string_view{};
    if (!header.starts_with(kHeaderStart) || !allDigits(count)) {
        faults.push_back(
            "Línea 1: la cabecera debe ser \"HEAD10 01 01 \" seguida de la cantidad de registros en "
            "6 dígitos.");
        return;
    }
    const long declared = std::stol(std::string(count));
    if (declared != records) {
        faults.push_back("La cabecera declara " + std::to_string(declared) + " registros y el archivo tiene " +
                         std::to_string(records) + ".");
    }
}

// Each kind of record in its place and in its number.
void checkOrder(const std::vector<InspectedRecord>& records, std::vector<std::string>& faults) {
    std::map<const RecordKind*, long> counts;
    const RecordKind* last = nullptr;
    for (const InspectedRecord& record : records) {
        const RecordKind* kind = kindOf(record.type);
        if (kind == nullptr) {
            continue;
        }
        if (last != nullptr && kind < last) {
            faults.push_back(lineText(record.line) + "el registro " + record.type +
                             " está fuera de orden: va antes "
                             "de los registros " +
                             std::string(last->layout->type) + ".");
        }
        last = std::max(last, kind);
        ++counts[kind];
    }
    for (const RecordKind& kind : kRecordKinds) {
        const long count = counts[&kind];
        if (count < kind.fewest || count > kind.most) {
            const std::string type(kind.layout->type);
            faults.push_back(
                "El archivo tiene " + std::to_string(count) + " registros " + type + " y debe tener " +
                (kind.fewest == kind.most ? std::to_string(kind.fewest) : "a lo sumo " + std::to_string(kind.most)) +
                ".");
        }
    }
}

}  // namespace

FileInspection inspectDeclarationFile(std::string_view bytes) {
    FileInspection inspection;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            inspection.faults.push_back(lineText(static_cast<long>(lines.size())) + "falta el salto de línea final.");
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty()) {
        inspection.faults.push_back("El archivo está vacío.");
        return inspection;
    }
    // The generation ends every line with a line feed alone, the header's too, and writes no line
    // without a record.
    const auto withoutCarriageReturn = [&](std::string& line, long number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            inspection.faults.push_back(lineText(number) + "termina en un retorno de carro.");
        }
    };
    withoutCarriageReturn(lines.front(), 1);
    inspection.header = fromWindows1252(lines.front());
    for (std::size_t index = 1; index < lines.size(); ++index) {
        InspectedRecord record;
        record.line = static_cast<long>(index + 1);
        record.raw = lines[index];
        withoutCarriageReturn(record.raw, record.line);
        if (record.raw.empty()) {
            inspection.faults.push_back(lineText(record.line) + "está en blanco; cada línea debe llevar un registro.");
            continue;
        }
        record.type = record.raw.substr(0, 2);
        const RecordKind* kind = kindOf(record.raw);
        if (kind == nullptr) {
            inspection.faults.push_back(lineText(record.line) + "registro de tipo desconocido \"" +
                                        fromWindows1252(record.type) + "\".");
        } else {
            record.figure = figureOf(record.type, record.raw);
            if (record.raw.size() != kind->layout->length()) {
                inspection.faults.push_back(lineText(record.line) + "el registro " + record.type + " tiene " +
                                            std::to_string(record.raw.size()) + " caracteres y debe tener " +
                                            std::to_string(kind->layout->length()) + ".");
            }
            readFields(*kind->layout, record, inspection.faults);
        }
        inspection.records.push_back(std::move(record));
    }
    checkHeader(lines.front(), static_cast<long>(inspection.records.size()), inspection.faults);
    checkOrder(inspection.records, inspection.faults);
    return inspection;
}

void checkVerificationNumber(const Context& context, FileInspection& inspection) {
    const auto recordOf = [&](std::string_view type) -> const InspectedRecord* {
        const auto found = std::find_if(inspection.records.begin(), inspection.records.end(), [&](const auto& each) {
            return each.type == type && each.raw.size() == kindOf(type)->layout->length();
        });
        return found != inspection.records.end() ? &*found : nullptr;
    };
    const InspectedRecord* identification = recordOf("01");
    const InspectedRecord* closing = recordOf("99");
    if (identification == nullptr || closing == nullptr) {
        return;
    }
    const std::string_view raw = identification->raw;
    const std::string_view cuit = raw.substr(2, 11);
    const std::string_view period = raw.substr(21, 6);
    const std::string_view sequence = raw.substr(27, 2);
    const std::string_view number = raw.substr(29, 6);
    const std::string_view time = raw.substr(44, 6);
    const std::string_view amount = std::string_view(closing->raw).substr(5, 15);
    if (!allDigits(cuit) || !allDigits(period) || !allDigits(sequence) || !allDigits(time) || !allDigits(amount)) {
        return;  // already named as a field fault
    }
    DatosNumeroMagico datos;
    datos.cuit = Variant(std::stod(std::string(cuit)));
    datos.codDJ = Variant(static_cast<std::int32_t>(
        std::stol(std::string(period.substr(0, 4)) + std::to_string(std::stoi(std::string(sequence))))));
    datos.saldoRexa = amountOfDigits(amount);
    DateTime hora;
    hora.time = std::chrono::hours(std::stoi(std::string(time.substr(0, 2)))) +
                std::chrono::minutes(std::stoi(std::string(time.substr(2, 2)))) +
                std::chrono::seconds(std::stoi(std::string(time.substr(4, 2))));
    datos.hora = Variant(hora);
    try {
        const std::string expected = formatNumeroMagico(CalcularNumeroMagico(context, datos));
        if (expected != number) {
            inspection.faults.push_back("Línea " + std::to_string(identification->line) +
                                        ": el número de verificación " + std::string(number) +
                                        " no corresponde a los datos del archivo (corresponde " + expected + ").");
        }
    } catch (const Error& error) {
        inspection.faults.push_back("No se pudo comprobar el número de verificación: " + error.description());
    }
}

}  // namespace kapred
