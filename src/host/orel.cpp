#include "host/orel.h"

#include <cstdio>

#include "app/cuit.h"
#include "data/engine/dialect.h"
#include "data/values/error.h"

namespace kapred {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A code read as a number, written as a decimal integer.
std::string wholeNumber(const Variant& value) {
    return std::to_string(static_cast<long long>(value.toDouble().value_or(0)));
}

}  // namespace

Currency cuitAmount(const Context& context) {
    return parseCurrency(context.cuit()).value_or(Currency());
}

std::string vacio(const std::string& label, const Variant& value) {
    if (value.isNull() || trimmed(value.toText()).empty()) {
        return {};
    }
    return label + value.toText();
}

std::string BOrel::dashed(Currency cuit) const {
    return sFormatCuit(std::to_string(cuit.roundTo(0).scaled() / Currency::kScale), true);
}

std::unique_ptr<db::Recordset> BOrel::taxpayer(Currency cuit, const char* equals) {
    return context_.g_dbOrel->openRecordset("select * from contribs where cuit" + std::string(equals) +
                                            db::quoteText(dashed(cuit)));
}

long BOrel::ObtenerCodigoContribuyente(Currency cuit) {
    long number = 0;
    try {
        auto rows = taxpayer(cuit, "=");
        if (!rows->eof()) {
            number = static_cast<long>(rows->value("ncontrib").toDouble().value_or(0));
        }
    } catch (const Error&) {
        // A host without the table or the column has no number for the taxpayer.
    }
    return number;
}

std::string BOrel::ObtenerDescripcionContribuyente(Currency cuit) {
    auto rows = taxpayer(cuit, " = ");
    if (rows->recordCount() < 1) {
        return {};
    }
    rows->moveFirst();
    return rows->value("descrip").toText();
}

std::string BOrel::ObtenerActividadContribuyente(Currency cuit) {
    const long number = ObtenerCodigoContribuyente(cuit);
    context_.ncontrib = number;
    auto rows = context_.g_dbOrel->openRecordset("select * from actcontrib where ncontrib= " + std::to_string(number) +
                                                 " and tipoAct = 'Principal'");
    return rows->recordCount() >= 1 ? rows->value("CodAct").toText() : "0";
}

int BOrel::ObtenerMesCierre(Currency cuit) {
    auto rows = taxpayer(cuit, "=");
    return rows->recordCount() >= 1 ? static_cast<int>(rows->value("mescierreejcom").toDouble().value_or(0)) : 0;
}

int BOrel::EsEmpresaPromovida(Currency cuit) {
    auto rows = taxpayer(cuit, "=");
    if (rows->recordCount() < 1) {
        return 0;
    }
    const Variant promoted = rows->value("empProm");
    return !promoted.isNull() && promoted.toDouble().value_or(0) != 0 ? 1 : 0;
}

std::string BOrel::referenceName(const std::string& table, const Variant& code, const std::string& label) {
    if (code.isNull()) {
        return {};
    }
    auto rows = context_.g_dbSistema->openRecordset("select * from " + table + " where codigo = " + wholeNumber(code));
    if (rows->recordCount() < 1) {
        return {};
    }
    rows->moveFirst();
    return label + rows->value("descrip").toText();
}

std::string BOrel::ObtenerDomicilio(Currency cuit) {
    const long number = ObtenerCodigoContribuyente(cuit);
    auto rows = context_.g_dbOrel->openRecordset("select * from domicilio where ncontrib = " + std::to_string(number) +
                                                 " And domfiscal = True");
    if (rows->recordCount() <= 0) {
        return {};
    }
    const auto field = [&](const char* name) { return rows->value(name); };
    const std::string barrio = referenceName("tipobarrio", field("tipobarrio"), " Barrio: ");
    const std::string province = referenceName("provincias", field("codprov"), " Provincia: ");
    return vacio("Calle: ", field("calle")) + vacio(" Nro: ", field("nro")) + vacio(" Torre: ", field("torre")) +
           vacio(" Piso: ", field("piso")) + vacio(" Dto/of/loc: ", field("Dtoofloc")) +
           vacio(" Manzana: ", field("manzana")) + barrio + vacio(" Localidad: ", field("localidad")) + province +
           vacio(" C.P.: ", field("codpostal"));
}

std::string BOrel::ObtenerTipoSocietario(Currency cuit) {
    try {
        auto rows = taxpayer(cuit, "=");
        const long code =
            rows->recordCount() >= 1 ? static_cast<long>(rows->value("formaJuridica").toDouble().value_or(0)) : 0;
        if (code == 0) {
            return {};
        }
        char text[16];
        std::snprintf(text, sizeof text, "%03ld", code);
        auto forms = context_.g_dbSistema->openRecordset("Select * from formajuridica where [CODIGO]='" +
                                                         std::string(text) + "'");
        return forms->recordCount() >= 1 ? forms->value("descrip").toText() : std::string();
    } catch (const Error&) {
        return {};
    }
}

std::unique_ptr<db::Recordset> BOrel::rObtenerResponsableDeudaAjena(Currency cuit) {
    try {
        auto rows = context_.g_dbOrel->openRecordset("select * from respsustitutos where ncontrib = " +
                                                     std::to_string(ObtenerCodigoContribuyente(cuit)));
        return rows->eof() ? nullptr : std::move(rows);
    } catch (const Error&) {
        return nullptr;
    }
}

std::string BOrel::ObtenerResponsableSustitutoDatos(Currency cuit, const std::string& name) {
    const std::string none = "Responsable por deuda ajena de: NO";
    try {
        auto rows = context_.g_dbOrel->openRecordset(
            "select apeNomTitular, nroDocum, paisTitular " + std::string("from respsustitutos where ncontrib = ") +
                std::to_string(ObtenerCodigoContribuyente(cuit)) + " and apeNomTitular = " + db::quoteText(name),
            db::RecordsetType::Snapshot);
        if (rows->recordCount() < 1) {
            return none;
        }
        auto countries = context_.g_dbSistema->openRecordset(
            "Select descrip from paises " + std::string("where codigo =") + wholeNumber(rows->value("paisTitular")));
        const std::string country = countries->recordCount() > 0 ? countries->value("descrip").toText() : "";
        return "Responsable por deuda ajena de: " + rows->value("apeNomTitular").toText() + "  " +
               "Nº de Documento: " + rows->value("nroDocum").toText() + "  " + "Pais: " + country;
    } catch (const Error&) {
        return none;
    }
}

std::string BOrel::ObtenerDNIRespSust(Currency cuit, const std::string& name) {
    auto rows = context_.g_dbOrel->openRecordset(
        "select nroDocum " + std::string("from respsustitutos where ncontrib = ") +
        std::to_string(ObtenerCodigoContribuyente(cuit)) + " and apeNomTitular = " + db::quoteText(name));
    return rows->recordCount() >= 1 ? rows->value("nroDocum").toText() : std::string();
}

std::unique_ptr<db::Recordset> BOrel::ObtenerRsFormaJuridica() {
    try {
        return context_.g_dbSistema->openRecordset("Select val(codigo)as cod, descrip from formajuridica");
    } catch (const Error&) {
        return nullptr;
    }
}

}  // namespace kapred
