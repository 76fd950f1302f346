#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kapred::padron {

// One address of a taxpayer, as the table domicilio keeps it. Texts are empty when not given;
// the two codes refer to the reference lists of sistema.mdb.
struct Address {
    std::string calle;
    std::string nro;
    std::string sector;
    std::string torre;
    std::string piso;
    std::string Dtoofloc;
    std::string manzana;
    std::string barrio;
    std::optional<int> tipobarrio;
    std::string localidad;
    std::string partido;
    std::optional<int> codprov;
    std::string codpostal;

    bool empty() const;
};

// The text parts of an address with their columns, in the form's reading order.
struct AddressText {
    const char* column;
    std::string Address::*part;
};
inline constexpr AddressText kAddressTexts[] = {{"calle", &Address::calle},         {"nro", &Address::nro},
                                                {"sector", &Address::sector},       {"torre", &Address::torre},
                                                {"piso", &Address::piso},           {"Dtoofloc", &Address::Dtoofloc},
                                                {"manzana", &Address::manzana},     {"barrio", &Address::barrio},
                                                {"localidad", &Address::localidad}, {"partido", &Address::partido},
                                                {"codpostal", &Address::codpostal}};

// A person whose debt the taxpayer answers for (table respsustitutos).
struct Person {
    std::string apeNomTitular;
    std::string nroDocum;
    std::optional<int> paisTitular;
};

// Everything the registry keeps of one taxpayer.
struct Taxpayer {
    std::string cuit;  // eleven digits, without dashes
    std::string descrip;
    int mescierreejcom = 12;
    bool empProm = false;
    std::optional<int> formaJuridica;
    std::string actividadPrincipal;  // six digits, or empty
    std::vector<std::string> actividadesSecundarias;
    Address domicilioFiscal;
    std::vector<Address> otrosDomicilios;
    std::vector<Person> responsables;
};

// A taxpayer as the list shows it.
struct TaxpayerLine {
    std::string cuit;  // with dashes
    std::string descrip;
    std::string formaJuridica;  // the legal form's name
    std::string localidad;      // of the fiscal address
};

// An entry of a reference list.
struct CodeName {
    int code = 0;
    std::string name;
};

// The legal form a new taxpayer starts with: the cooperative's.
inline constexpr int kCooperativeLegalForm = 7;

// Where a value of the form is: the taxpayer's own data, its fiscal address, or a row of one of
// its lists (counted from 0).
enum class Part { Taxpayer, FiscalAddress, SecondaryActivity, OtherAddress, Person };

// A value the registry refuses: where it is, the column it goes to, and why, in Spanish.
struct Refusal {
    Part part = Part::Taxpayer;
    int row = 0;
    std::string column;
    std::string message;
};

// The caption of a column of the registry's tables ("Calle", "Razón social").
std::string captionOf(const std::string& column);

// How a value is named in a message: its caption and, but for the taxpayer's own data, its place
// ("Calle del domicilio fiscal", "País del responsable 2").
std::string placeOf(Part part, int row, const std::string& column);

}  // namespace kapred::padron
