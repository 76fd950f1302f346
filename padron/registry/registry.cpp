#include "registry/registry.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/cuit.h"
#include "data/engine/dialect.h"
#include "data/values/text.h"
#include "data/windows1252.h"
#include "registry/cuit_check.h"

namespace kapred::padron {

namespace {

constexpr const char* kPrincipal = "Principal";
constexpr const char* kSecondary = "Secundaria";

std::string text(const Variant& value) {
    return value.isNull() ? std::string() : value.toText();
}

std::optional<int> code(const Variant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    if (const auto number = value.toWholeNumber()) {
        return static_cast<int>(*number);
    }
    return std::nullopt;
}

// A text column stores Null for a value not given, as the host's own rows do.
Variant stored(const std::string& value) {
    const std::string kept = trimmed(value);
    return kept.empty() ? Variant::null() : Variant(kept);
}

Variant stored(const std::optional<int>& value) {
    return value ? Variant(static_cast<std::int32_t>(*value)) : Variant::null();
}

std::size_t characters(const std::string& value) {
    return static_cast<std::size_t>(std::count_if(
        value.begin(), value.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool isDigits(const std::string& value, std::size_t length) {
    return value.size() == length &&
           std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Address readAddress(const db::Recordset& rows) {
    Address address;
    for (const AddressText& piece : kAddressTexts) {
        address.*piece.part = text(rows.value(piece.column));
    }
    address.tipobarrio = code(rows.value("tipobarrio"));
    address.codprov = code(rows.value("codprov"));
    return address;
}

bool listed(const std::vector<CodeName>& list, int value) {
    return std::any_of(list.begin(), list.end(), [value](const CodeName& entry) { return entry.code == value; });
}

// The text key of a CUIT in contribs, for eleven digits with or without dashes only.
std::optional<std::string> cuitKey(const std::string& cuit) {
    const auto digits = commandLineCuit(cuit);
    return digits ? std::optional(sFormatCuit(*digits, true)) : std::nullopt;
}

// The condition on a taxpayer's rows; its value is the taxpayer's number.
constexpr const char* kByNumber = " WHERE ncontrib = ?";

}  // namespace

std::size_t Registry::width(const std::string& table, const std::string& column) {
    const db::FieldDef* field = taxpayers_.tableDef(table).field(column);
    return field != nullptr && field->size > 0 ? static_cast<std::size_t>(field->size) : 255;
}

std::vector<CodeName> Registry::referenceList(const std::string& table) {
    std::vector<CodeName> list;
    auto rows = reference_.openRecordset("SELECT codigo, descrip FROM " + table, db::RecordsetType::Snapshot);
    for (; !rows->eof(); rows->moveNext()) {
        if (const auto value = code(rows->value("codigo"))) {
            list.push_back({*value, text(rows->value("descrip"))});
        }
    }
    std::sort(list.begin(), list.end(), [](const CodeName& a, const CodeName& b) { return a.code < b.code; });
    return list;
}

std::vector<CodeName> Registry::provinces() {
    return referenceList("provincias");
}

std::vector<CodeName> Registry::neighbourhoodTypes() {
    return referenceList("tipobarrio");
}

std::vector<CodeName> Registry::legalForms() {
    return referenceList("formajuridica");
}

std::vector<CodeName> Registry::countries() {
    auto list = referenceList("paises");
    std::sort(list.begin(), list.end(), [](const CodeName& a, const CodeName& b) { return a.name < b.name; });
    return list;
}

long Registry::number(const std::string& cuit) {
    const auto key = cuitKey(cuit);
    if (!key) {
        return 0;
    }
    auto rows =
        taxpayers_.openRecordset("SELECT ncontrib FROM contribs WHERE cuit = ?", {*key}, db::RecordsetType::Snapshot);
    return rows->eof() ? 0 : static_cast<long>(rows->value("ncontrib").toWholeNumber().value_or(0));
}

std::vector<TaxpayerLine> Registry::list() {
    std::map<int, std::string> forms;
    for (const CodeName& form : legalForms()) {
        forms[form.code] = form.name;
    }
    std::map<long, std::string> localities;
    auto addresses = taxpayers_.openRecordset("SELECT ncontrib, localidad FROM domicilio WHERE domfiscal = True",
                                              db::RecordsetType::Snapshot);
    for (; !addresses->eof(); addresses->moveNext()) {
        localities.emplace(addresses->value("ncontrib").toWholeNumber().value_or(0),
                           text(addresses->value("localidad")));
    }
    std::vector<TaxpayerLine> lines;
    auto rows = taxpayers_.openRecordset("SELECT * FROM contribs ORDER BY cuit", db::RecordsetType::Snapshot);
    for (; !rows->eof(); rows->moveNext()) {
        TaxpayerLine line;
        line.cuit = text(rows->value("cuit"));
        line.descrip = text(rows->value("descrip"));
        if (const auto form = code(rows->value("formaJuridica")); form && forms.count(*form) != 0) {
            line.formaJuridica = forms[*form];
        }
        const auto locality = localities.find(rows->value("ncontrib").toWholeNumber().value_or(0));
        if (locality != localities.end()) {
            line.localidad = locality->second;
        }
        lines.push_back(line);
    }
    return lines;
}

std::optional<Taxpayer> Registry::find(const std::string& cuit) {
    const auto key = cuitKey(cuit);
    if (!key) {
        return std::nullopt;
    }
    auto rows = taxpayers_.openRecordset("SELECT * FROM contribs WHERE cuit = ?", {*key}, db::RecordsetType::Snapshot);
    if (rows->eof()) {
        return std::nullopt;
    }
    const long ncontrib = static_cast<long>(rows->value("ncontrib").toWholeNumber().value_or(0));
    Taxpayer taxpayer;
    taxpayer.cuit = *commandLineCuit(cuit);
    taxpayer.descrip = text(rows->value("descrip"));
    taxpayer.mescierreejcom = code(rows->value("mescierreejcom")).value_or(0);
    taxpayer.empProm = rows->value("empProm").toWholeNumber().value_or(0) != 0;
    taxpayer.formaJuridica = code(rows->value("formaJuridica"));

    auto activities = taxpayers_.openRecordset(std::string("SELECT * FROM actcontrib") + kByNumber, {ncontrib},
                                               db::RecordsetType::Snapshot);
    for (; !activities->eof(); activities->moveNext()) {
        const std::string activity = text(activities->value("CodAct"));
        if (text(activities->value("tipoAct")) == kPrincipal) {
            taxpayer.actividadPrincipal = activity;
        } else {
            taxpayer.actividadesSecundarias.push_back(activity);
        }
    }
    bool fiscalFound = false;
    auto addresses = taxpayers_.openRecordset(std::string("SELECT * FROM domicilio") + kByNumber, {ncontrib},
                                              db::RecordsetType::Snapshot);
    for (; !addresses->eof(); addresses->moveNext()) {
        const bool fiscal = addresses->value("domfiscal").toWholeNumber().value_or(0) != 0;
        if (fiscal && !fiscalFound) {
            taxpayer.domicilioFiscal = readAddress(*addresses);
            fiscalFound = true;
        } else {
            taxpayer.otrosDomicilios.push_back(readAddress(*addresses));
        }
    }
    auto persons = taxpayers_.openRecordset(std::string("SELECT * FROM respsustitutos") + kByNumber, {ncontrib},
                                            db::RecordsetType::Snapshot);
    for (; !persons->eof(); persons->moveNext()) {
        taxpayer.responsables.push_back({text(persons->value("apeNomTitular")), text(persons->value("nroDocum")),
                                         code(persons->value("paisTitular"))});
    }
    return taxpayer;
}

std::optional<Refusal> Registry::check(const Taxpayer& taxpayer, bool adding) {
    const auto refuse = [](Part part, int row, const std::string& column, const std::string& why) {
        return Refusal{part, row, column, placeOf(part, row, column) + ": " + why};
    };
    // A text too long for its column, or one the declaration file cannot carry.
    const auto textFault = [&](const std::string& table, const std::string& column,
                               const std::string& value) -> std::optional<std::string> {
        const std::size_t length = characters(trimmed(value));
        const std::size_t limit = width(table, column);
        if (length > limit) {
            return "admite hasta " + std::to_string(limit) + " caracteres y tiene " + std::to_string(length) + ".";
        }
        if (!fitsWindows1252(value)) {
            return "tiene caracteres que el archivo de la declaración no puede escribir.";
        }
        return std::nullopt;
    };

    if (adding) {
        const auto digits = commandLineCuit(taxpayer.cuit);
        if (!digits) {
            return refuse(Part::Taxpayer, 0, "cuit", "debe tener 11 dígitos, con o sin guiones (30-71234567-1).");
        }
        if (!hasValidCheckDigit(*digits)) {
            return refuse(Part::Taxpayer, 0, "cuit",
                          sFormatCuit(*digits, true) + " no es un CUIT válido: su dígito verificador no corresponde.");
        }
        if (const auto registered = find(*digits)) {
            return refuse(
                Part::Taxpayer, 0, "cuit",
                "el CUIT " + sFormatCuit(*digits, true) + " ya está registrado (" + registered->descrip + ").");
        }
    }
    if (trimmed(taxpayer.descrip).empty()) {
        return refuse(Part::Taxpayer, 0, "descrip", "falta el nombre del contribuyente.");
    }
    if (const auto fault = textFault("contribs", "descrip", taxpayer.descrip)) {
        return refuse(Part::Taxpayer, 0, "descrip", *fault);
    }
    if (taxpayer.mescierreejcom < 1 || taxpayer.mescierreejcom > 12) {
        return refuse(Part::Taxpayer, 0, "mescierreejcom", "debe ser un mes del 1 al 12.");
    }
    if (taxpayer.formaJuridica && !listed(legalForms(), *taxpayer.formaJuridica)) {
        return refuse(Part::Taxpayer, 0, "formaJuridica",
                      "el código " + std::to_string(*taxpayer.formaJuridica) + " no es de ninguna forma jurídica.");
    }
    const std::string sixDigits = "debe ser un código de actividad de seis dígitos.";
    if (!taxpayer.actividadPrincipal.empty() && !isDigits(taxpayer.actividadPrincipal, 6)) {
        return refuse(Part::Taxpayer, 0, "actividadPrincipal", sixDigits);
    }
    std::set<std::string> activities{taxpayer.actividadPrincipal};
    for (std::size_t row = 0; row < taxpayer.actividadesSecundarias.size(); ++row) {
        const std::string& activity = taxpayer.actividadesSecundarias[row];
        if (!isDigits(activity, 6)) {
            return refuse(Part::SecondaryActivity, static_cast<int>(row), "CodAct", sixDigits);
        }
        if (!activities.insert(activity).second) {
            return refuse(Part::SecondaryActivity, static_cast<int>(row), "CodAct",
                          "la actividad " + activity + " ya está cargada.");
        }
    }

    const auto provinces = this->provinces();
    const auto types = neighbourhoodTypes();
    const auto addressFault = [&](const Address& address, Part part, int row) -> std::optional<Refusal> {
        for (const AddressText& piece : kAddressTexts) {
            if (const auto fault = textFault("domicilio", piece.column, address.*piece.part)) {
                return refuse(part, row, piece.column, *fault);
            }
        }
        if (address.tipobarrio && !listed(types, *address.tipobarrio)) {
            return refuse(part, row, "tipobarrio",
                          "el código " + std::to_string(*address.tipobarrio) + " no es de ningún tipo de barrio.");
        }
        if (address.codprov && !listed(provinces, *address.codprov)) {
            return refuse(part, row, "codprov",
                          "el código " + std::to_string(*address.codprov) + " no es de ninguna provincia.");
        }
        return std::nullopt;
    };
    if (auto fault = addressFault(taxpayer.domicilioFiscal, Part::FiscalAddress, 0)) {
        return fault;
    }
    for (std::size_t row = 0; row < taxpayer.otrosDomicilios.size(); ++row) {
        const Address& address = taxpayer.otrosDomicilios[row];
        if (address.empty()) {
            return refuse(Part::OtherAddress, static_cast<int>(row), "calle", "el domicilio está vacío.");
        }
        if (auto fault = addressFault(address, Part::OtherAddress, static_cast<int>(row))) {
            return fault;
        }
    }

    const auto countries = this->countries();
    std::set<std::string> names;
    for (std::size_t index = 0; index < taxpayer.responsables.size(); ++index) {
        const Person& person = taxpayer.responsables[index];
        const int row = static_cast<int>(index);
        const std::string name = trimmed(person.apeNomTitular);
        if (name.empty()) {
            return refuse(Part::Person, row, "apeNomTitular", "falta el apellido y nombre.");
        }
        // Kapred finds a person by name, so two of the same name could not be told apart.
        if (!names.insert(name).second) {
            return refuse(Part::Person, row, "apeNomTitular", name + " ya está cargado.");
        }
        for (const auto& [column, value] :
             {std::pair{"apeNomTitular", &person.apeNomTitular}, std::pair{"nroDocum", &person.nroDocum}}) {
            if (const auto fault = textFault("respsustitutos", column, *value)) {
                return refuse(Part::Person, row, column, *fault);
            }
        }
        if (person.paisTitular && !listed(countries, *person.paisTitular)) {
            return refuse(Part::Person, row, "paisTitular",
                          "el código " + std::to_string(*person.paisTitular) + " no es de ningún país.");
        }
    }
    return std::nullopt;
}

void Registry::deleteRows(long ncontrib) {
    for (const char* table : {"actcontrib", "domicilio", "respsustitutos"}) {
        taxpayers_.execute(std::string("DELETE FROM ") + table + kByNumber, {ncontrib});
    }
}

void Registry::writeRows(long ncontrib, const Taxpayer& taxpayer) {
    const Variant number(static_cast<std::int32_t>(ncontrib));
    auto activities = taxpayers_.openForAppend("actcontrib");
    const auto addActivity = [&](const std::string& activity, const char* kind) {
        activities->addNew();
        activities->setValue("ncontrib", number);
        activities->setValue("CodAct", activity);
        activities->setValue("tipoAct", kind);
        activities->update();
    };
    if (!taxpayer.actividadPrincipal.empty()) {
        addActivity(taxpayer.actividadPrincipal, kPrincipal);
    }
    for (const std::string& activity : taxpayer.actividadesSecundarias) {
        addActivity(activity, kSecondary);
    }

    auto addresses = taxpayers_.openForAppend("domicilio");
    const auto addAddress = [&](const Address& address, bool fiscal) {
        addresses->addNew();
        addresses->setValue("ncontrib", number);
        addresses->setValue("domfiscal", fiscal);
        for (const AddressText& piece : kAddressTexts) {
            addresses->setValue(piece.column, stored(address.*piece.part));
        }
        addresses->setValue("tipobarrio", stored(address.tipobarrio));
        addresses->setValue("codprov", stored(address.codprov));
        addresses->update();
    };
    // A fiscal address with nothing in it is no address: the declaration then has no record 91.
    if (!taxpayer.domicilioFiscal.empty()) {
        addAddress(taxpayer.domicilioFiscal, true);
    }
    for (const Address& address : taxpayer.otrosDomicilios) {
        addAddress(address, false);
    }

    auto persons = taxpayers_.openForAppend("respsustitutos");
    for (const Person& person : taxpayer.responsables) {
        persons->addNew();
        persons->setValue("ncontrib", number);
        persons->setValue("apeNomTitular", trimmed(person.apeNomTitular));
        persons->setValue("nroDocum", stored(person.nroDocum));
        persons->setValue("paisTitular", stored(person.paisTitular));
        persons->update();
    }
}

void Registry::add(const Taxpayer& taxpayer) {
    if (auto refusal = check(taxpayer, true)) {
        throw Refused(*refusal);
    }
    const std::string digits = *commandLineCuit(taxpayer.cuit);
    db::Transaction transaction(taxpayers_);
    auto highest = taxpayers_.openRecordset("SELECT Max(ncontrib) AS n FROM contribs", db::RecordsetType::Snapshot);
    const long ncontrib = static_cast<long>(highest->value("n").toWholeNumber().value_or(0)) + 1;
    auto rows = taxpayers_.openForAppend("contribs");
    rows->addNew();
    rows->setValue("ncontrib", Variant(static_cast<std::int32_t>(ncontrib)));
    rows->setValue("cuit", sFormatCuit(digits, true));
    rows->setValue("descrip", trimmed(taxpayer.descrip));
    rows->setValue("mescierreejcom", Variant(static_cast<std::int16_t>(taxpayer.mescierreejcom)));
    rows->setValue("empProm", taxpayer.empProm);
    rows->setValue("formaJuridica", stored(taxpayer.formaJuridica));
    rows->update();
    writeRows(ncontrib, taxpayer);
    transaction.commit();
}

void Registry::modify(const Taxpayer& taxpayer) {
    if (auto refusal = check(taxpayer, false)) {
        throw Refused(*refusal);
    }
    const auto key = cuitKey(taxpayer.cuit);
    db::Transaction transaction(taxpayers_);
    auto rows = taxpayers_.openRecordset("SELECT * FROM contribs WHERE cuit = ?", {key.value_or("")});
    if (rows->eof()) {
        throw Refused({Part::Taxpayer, 0, "cuit",
                       "El contribuyente " + sFormatCuit(taxpayer.cuit, true) + " no está registrado."});
    }
    const long ncontrib = static_cast<long>(rows->value("ncontrib").toWholeNumber().value_or(0));
    rows->edit();
    rows->setValue("descrip", trimmed(taxpayer.descrip));
    rows->setValue("mescierreejcom", Variant(static_cast<std::int16_t>(taxpayer.mescierreejcom)));
    rows->setValue("empProm", taxpayer.empProm);
    rows->setValue("formaJuridica", stored(taxpayer.formaJuridica));
    rows->update();
    deleteRows(ncontrib);
    writeRows(ncontrib, taxpayer);
    transaction.commit();
}

bool Registry::remove(const std::string& cuit) {
    db::Transaction transaction(taxpayers_);
    const long ncontrib = number(cuit);
    if (ncontrib == 0) {
        return false;
    }
    deleteRows(ncontrib);
    taxpayers_.execute(std::string("DELETE FROM contribs") + kByNumber, {ncontrib});
    transaction.commit();
    return true;
}

}  // namespace kapred::padron
