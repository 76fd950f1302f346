#include "registry/taxpayer.h"

#include <map>

#include "data/values/text.h"

namespace kapred::padron {

bool Address::empty() const {
    for (const AddressText& piece : kAddressTexts) {
        if (!trimmed(this->*piece.part).empty()) {
            return false;
        }
    }
    return !tipobarrio && !codprov;
}

std::string captionOf(const std::string& column) {
    static const std::map<std::string, std::string> captions{
        {"cuit", "CUIT"},
        {"descrip", "Razón social"},
        {"mescierreejcom", "Mes de cierre"},
        {"empProm", "Empresa promovida"},
        {"formaJuridica", "Forma jurídica"},
        {"actividadPrincipal", "Actividad principal"},
        {"CodAct", "Actividad"},
        {"calle", "Calle"},
        {"nro", "Número"},
        {"sector", "Sector"},
        {"torre", "Torre"},
        {"piso", "Piso"},
        {"Dtoofloc", "Dto/of/loc"},
        {"manzana", "Manzana"},
        {"barrio", "Barrio"},
        {"tipobarrio", "Tipo de barrio"},
        {"localidad", "Localidad"},
        {"partido", "Partido"},
        {"codprov", "Provincia"},
        {"codpostal", "Código postal"},
        {"apeNomTitular", "Apellido y nombre"},
        {"nroDocum", "Nº de documento"},
        {"paisTitular", "País"},
    };
    const auto found = captions.find(column);
    return found != captions.end() ? found->second : column;
}

std::string placeOf(Part part, int row, const std::string& column) {
    const std::string number = std::to_string(row + 1);
    switch (part) {
        case Part::Taxpayer:
            return captionOf(column);
        case Part::FiscalAddress:
            return captionOf(column) + " del domicilio fiscal";
        case Part::SecondaryActivity:
            return "Actividad secundaria " + number;
        case Part::OtherAddress:
            return captionOf(column) + " del domicilio " + number;
        case Part::Person:
            return captionOf(column) + " del responsable " + number;
    }
    return captionOf(column);
}

}  // namespace kapred::padron
