#pragma once

#include <memory>
#include <string>

#include "app/context.h"
#include "data/engine/recordset.h"

namespace kapred {

// Read-only access to the host's taxpayer data (rexa.mdb) and reference data (sistema.mdb).
// The CUIT is given as the amount holding its eleven digits; the host keys taxpayers by the
// CUIT written with dashes and joins its tables by its own taxpayer number, ncontrib.
class BOrel {
public:
    explicit BOrel(Context& context) : context_(context) {}

    // The host's number of the taxpayer; 0 when it is not there.
    long ObtenerCodigoContribuyente(Currency cuit);
    std::string ObtenerDescripcionContribuyente(Currency cuit);
    // The code of the main activity, or "0". Also stores the taxpayer's host number in the
    // context, where the address record of the declaration file takes it from.
    std::string ObtenerActividadContribuyente(Currency cuit);
    int ObtenerMesCierre(Currency cuit);
    int EsEmpresaPromovida(Currency cuit);
    // The fiscal address as one line: "Calle: ... Nro: ... Localidad: ...", parts without a
    // value left out with their labels.
    std::string ObtenerDomicilio(Currency cuit);
    std::string ObtenerTipoSocietario(Currency cuit);
    // The taxpayer's rows of people whose debt it answers for; nothing when there are none.
    std::unique_ptr<db::Recordset> rObtenerResponsableDeudaAjena(Currency cuit);
    std::string ObtenerResponsableSustitutoDatos(Currency cuit, const std::string& name);
    std::string ObtenerDNIRespSust(Currency cuit, const std::string& name);
    // Every legal form: its code as a number ("cod") and its description.
    std::unique_ptr<db::Recordset> ObtenerRsFormaJuridica();

private:
    std::string dashed(Currency cuit) const;
    std::unique_ptr<db::Recordset> taxpayer(Currency cuit, const char* equals);
    // The description of a code in a reference table, when it names a row.
    std::string referenceName(const std::string& table, const Variant& code, const std::string& label);

    Context& context_;
};

// The label followed by the value, or the empty text when the value is Null or blank.
std::string vacio(const std::string& label, const Variant& value);

// The CUIT of the command line as the host methods take it.
Currency cuitAmount(const Context& context);

}  // namespace kapred
