#include "host/orel.h"

#include <cstdio>

#include "data/values/text.h"

namespace kapred {

namespace {

// A code read as a number.
long long wholeNumber(const Variant& value) {
    return value.toWholeNumber().value_or(0);
}

}  // namespace

std::string vacio(const std::string& label, const Variant& value) {
    if (value.isNull() || trimmed(value.toText()).empty()) {
        return {};
    }
    return label + value.toText();
}

std::unique_ptr<db::Recordset> BOrel::taxpayer(const Cuit& cuit, const char* equals) {
    return context_.g_dbOrel->openRecordset("select * from contribs where cuit" + std::string(equals) + "?",
                                            {cuit.dashed()});
}

long BOrel::ObtenerCodigoContribuyente(const Cuit& cuit) {
    lastError_.reset();
    long number = 0;
    try {
        auto rows = taxpayer(cuit, "=");
        if (!rows->eof()) {
            number = rows->value("ncontrib").toWholeNumber().value_or(0);
        }
    } catch (const Error& error) {
        // A host without the table or the column has no number for the taxpayer.
        lastError_ = error;
    }
    return number;
}

std::string BOrel::ObtenerDescripcionContribuyente(const Cuit& cuit) {
    lastError_.reset();
    auto rows = taxpayer(cuit, " = ");
    if (rows->recordCount() < 1) {
        return {};
    }
    rows->moveFirst();
    return rows->value("descrip").toText();
}

std::string BOrel::ObtenerActividadContribuyente(const Cuit& cuit) {
    const long number = ObtenerCodigoContribuyente(cuit);
    context_.ncontrib = number;
    auto rows = context_.g_dbOrel->openRecordset("select * from actcontrib where ncontrib= ? and tipoAct = 'Principal'",
                                                 {number});
    return rows->recordCount() >= 1 ? rows->value("CodAct").toText() : "0";
}

int BOrel::ObtenerMesCierre(const Cuit& cuit) {
    lastError_.reset();
    auto rows = taxpayer(cuit, "=");
    return rows->recordCount() >= 1 ? static_cast<int>(rows->value("mescierreejcom").toWholeNumber().value_or(0)) : 0;
}

int BOrel::EsEmpresaPromovida(const Cuit& cuit) {
    lastError_.reset();
    auto rows = taxpayer(cuit, "=");
    if (rows->recordCount() < 1) {
        return 0;
    }
    return rows->value("empProm").toWholeNumber().value_or(0) != 0 ? 1 : 0;
}

std::string BOrel::referenceName(const std::string& table, const Variant& code, const std::string& label) {
    if (code.isNull()) {
        return {};
    }
    auto rows =
        context_.g_dbSistema->openRecordset("select * from " + table + " where codigo = ?", {wholeNumber(code)});
    if (rows->recordCount() < 1) {
        return {};
    }
    rows->moveFirst();
    return label + rows->value("descrip").toText();
}

std::string BOrel::ObtenerDomicilio(const Cuit& cuit) {
    const long number = ObtenerCodigoContribuyente(cuit);
    auto rows =
        context_.g_dbOrel->openRecordset("select * from domicilio where ncontrib = ? And domfiscal = True", {number});
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

std::string BOrel::ObtenerTipoSocietario(const Cuit& cuit) {
    lastError_.reset();
    try {
        auto rows = taxpayer(cuit, "=");
        const long code = rows->recordCount() >= 1 ? rows->value("formaJuridica").toWholeNumber().value_or(0) : 0;
        if (code == 0) {
            return {};
        }
        char text[16];
        std::snprintf(text, sizeof text, "%03ld", code);
        auto forms = context_.g_dbSistema->openRecordset("Select * from formajuridica where [CODIGO]=?", {text});
        return forms->recordCount() >= 1 ? forms->value("descrip").toText() : std::string();
    } catch (const Error& error) {
        lastError_ = error;
        return {};
    }
}

std::unique_ptr<db::Recordset> BOrel::rObtenerResponsableDeudaAjena(const Cuit& cuit) {
    try {
        auto rows = context_.g_dbOrel->openRecordset("select * from respsustitutos where ncontrib = ?",
                                                     {ObtenerCodigoContribuyente(cuit)});
        return rows->eof() ? nullptr : std::move(rows);
    } catch (const Error& error) {
        lastError_ = error;
        return nullptr;
    }
}

std::string BOrel::ObtenerResponsableSustitutoDatos(const Cuit& cuit, const std::string& name) {
    const std::string none = "Responsable por deuda ajena de: NO";
    try {
        auto rows = context_.g_dbOrel->openRecordset(
            "select apeNomTitular, nroDocum, paisTitular from respsustitutos where ncontrib = ? and apeNomTitular = ?",
            {ObtenerCodigoContribuyente(cuit), name}, db::RecordsetType::Snapshot);
        if (rows->recordCount() < 1) {
            return none;
        }
        auto countries = context_.g_dbSistema->openRecordset("Select descrip from paises where codigo =?",
                                                             {wholeNumber(rows->value("paisTitular"))});
        const std::string country = countries->recordCount() > 0 ? countries->value("descrip").toText() : "";
        return "Responsable por deuda ajena de: " + rows->value("apeNomTitular").toText() + "  " +
               "Nº de Documento: " + rows->value("nroDocum").toText() + "  " + "Pais: " + country;
    } catch (const Error& error) {
        lastError_ = error;
        return none;
    }
}

std::string BOrel::ObtenerDNIRespSust(const Cuit& cuit, const std::string& name) {
    auto rows =
        context_.g_dbOrel->openRecordset("select nroDocum from respsustitutos where ncontrib = ? and apeNomTitular = ?",
                                         {ObtenerCodigoContribuyente(cuit), name});
    return rows->recordCount() >= 1 ? rows->value("nroDocum").toText() : std::string();
}

std::unique_ptr<db::Recordset> BOrel::ObtenerRsFormaJuridica() {
    lastError_.reset();
    try {
        return context_.g_dbSistema->openRecordset("Select val(codigo)as cod, descrip from formajuridica");
    } catch (const Error& error) {
        lastError_ = error;
        return nullptr;
    }
}

}  // namespace kapred
