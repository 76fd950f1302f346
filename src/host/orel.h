#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/context.h"
#include "app/cuit.h"
#include "data/engine/recordset.h"
#include "data/values/error.h"

namespace kapred {

// Read-only access to the host's taxpayer data (rexa.mdb) and reference data (sistema.mdb).
// The host keys taxpayers by the CUIT written with dashes and joins its tables by its own
// taxpayer number, ncontrib.
class BOrel {
public:
    explicit BOrel(Context& context) : context_(context) {}

    // The host's number of the taxpayer; 0 when it is not there.
    long ObtenerCodigoContribuyente(const Cuit& cuit);
    std::string ObtenerDescripcionContribuyente(const Cuit& cuit);
    // The code of the main activity, or "0". Also stores the taxpayer's host number in the
    // context, where the address record of the declaration file takes it from.
    std::string ObtenerActividadContribuyente(const Cuit& cuit);
    int ObtenerMesCierre(const Cuit& cuit);
    int EsEmpresaPromovida(const Cuit& cuit);
    // The fiscal address as one line: "Calle: ... Nro: ... Localidad: ...", parts without a
    // value left out with their labels.
    std::string ObtenerDomicilio(const Cuit& cuit);
    std::string ObtenerTipoSocietario(const Cuit& cuit);
    // The taxpayer's rows of people whose debt it answers for; nothing when there are none.
    std::unique_ptr<db::Recordset> rObtenerResponsableDeudaAjena(const Cuit& cuit);
    std::string ObtenerResponsableSustitutoDatos(const Cuit& cuit, const std::string& name);
    std::string ObtenerDNIRespSust(const Cuit& cuit, const std::string& name);
    // Every legal form: its code as a number ("cod") and its description.
    std::unique_ptr<db::Recordset> ObtenerRsFormaJuridica();

    // The host number, the legal form, the substitute responsibility and the legal forms answer
    // as if nothing were found when the host's data cannot be read (a missing table or column).
    // This is why the last call answered so; nothing when it read what it needed.
    const std::optional<Error>& lastError() const { return lastError_; }

private:
    std::unique_ptr<db::Recordset> taxpayer(const Cuit& cuit, const char* equals);
    // The description of a code in a reference table, when it names a row.
    std::string referenceName(const std::string& table, const Variant& code, const std::string& label);

    Context& context_;
    std::optional<Error> lastError_;
};

// The label followed by the value, or the empty text when the value is Null or blank.
std::string vacio(const std::string& label, const Variant& value);

}  // namespace kapred
