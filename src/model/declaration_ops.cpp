#include "model/declaration_ops.h"

#include <cstdlib>

#include "app/cuit.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "host/orel.h"

namespace kapred {

namespace {

// Two entries compare as numbers when both are numbers, else as texts.
int compareEntries(const std::string& typed, const Variant& stored, NumberFormat format) {
    const auto left = Variant(typed).toDouble(format);
    const auto right = stored.toDouble(format);
    if (left && right) {
        return *left < *right ? -1 : (*left > *right ? 1 : 0);
    }
    return typed.compare(stored.toText(format));
}

}  // namespace

bool loadDeclaration(Context& context, const Variant& codDJ) {
    // The code is written into the find's statement as it stands, so only a whole number may
    // name a declaration: a text such as "20040 OR 1=1" would otherwise find some other row.
    const auto code = codDJ.toWholeNumber(context.numberFormat());
    if (!code || std::abs(*code) > 2147483647) {
        return false;
    }
    auto header = std::make_shared<BDDJJ>(context);
    header->Entity->SetFieldValue(tables::DDJJ::CodDJ, Variant(static_cast<std::int32_t>(*code)));
    if (!header->bFind()) {
        return false;
    }
    context.currentDeclaration = header;
    BOrel host(context);
    host.ObtenerActividadContribuyente(Cuit(context.cuit()));
    return true;
}

std::vector<EDDJJ> declarationsOfTaxpayer(Context& context) {
    db::Database& database = *context.g_dbAplicativo;
    BDDJJ header(context);
    const SqlText select = sBuildSelect(database, *header.Entity, kListIndex, "Select  * ",
                                        std::string(tables::DDJJ::CodDJ.name), context.numberFormat());
    auto rows = database.openRecordset(select.text, select.values, db::RecordsetType::Snapshot);
    std::vector<EDDJJ> list;
    for (long r = 0; r < rows->recordCount(); ++r) {
        r == 0 ? rows->moveFirst() : rows->moveNext();
        EDDJJ& entity = list.emplace_back();
        for (const auto& field : rows->fields()) {
            entity.SetFieldValue(field.name, rows->value(field.name));
        }
    }
    return list;
}

std::string fiscalYearKindName(const Variant& kind) {
    const auto code = kind.toWholeNumber();
    for (const auto& entry : kFiscalYearKinds) {
        if (code == entry.code) {
            return entry.name;
        }
    }
    return {};
}

std::string taxpayerName(Context& context) {
    return BOrel(context).ObtenerDescripcionContribuyente(Cuit(context.cuit()));
}

std::string taxpayerLine(Context& context) {
    BOrel host(context);
    const Cuit cuit(context.cuit());
    return "CUIT: " + cuit.dashed() + " - " + " Nombre y Apellido : " + host.ObtenerDescripcionContribuyente(cuit) +
           " Actividad: " + host.ObtenerActividadContribuyente(cuit);
}

std::string sequenceDescription(const Variant& sequence) {
    const std::string text = trimmed(sequence.toText());
    if (text.empty() || text.back() == '0') {
        return "Original";
    }
    return "Rectificativa " + text.substr(text.size() - 1);
}

std::vector<std::string> copyEntryErrors(const BDDJJ& origin, const std::string& period, const std::string& sequence,
                                         NumberFormat format) {
    std::vector<std::string> errors;
    const Variant& originPeriod = origin.Entity->vGetFieldValue(tables::DDJJ::lPeriodo);
    const Variant& originSequence = origin.Entity->vGetFieldValue(tables::DDJJ::CODIGO_T_SECUENCIAS);
    if (trimmed(period).empty()) {
        errors.push_back(" Debe ingresar el Periodo de Destino");
    } else if (trimmed(sequence).empty()) {
        errors.push_back(" Debe seleccionar una Secuencia de Destino");
    } else if (const auto amount = Variant(trimmed(sequence)).toCurrency(format);
               !amount || amount->scaled() % Currency::kScale != 0) {
        // A typed sequence that is no whole number is told as such, not as a wrong period.
        errors.push_back(" La Secuencia de Destino " + trimmed(sequence) + " no es un número entero");
        return errors;
    } else if (compareEntries(period, originPeriod, format) != 0) {
        errors.push_back(" El Período Destino debe ser igual al Período Origen ");
    }
    if (!trimmed(period).empty() && !trimmed(sequence).empty() && compareEntries(period, originPeriod, format) == 0) {
        if (compareEntries(sequence, originSequence, format) == 0) {
            errors.push_back(" La Declaración Jurada Origen debe ser distinta a la de Destino");
        } else if (compareEntries(sequence, originSequence, format) < 0) {
            errors.push_back(" La secuencia Destino debe ser mayor a la secuencia Origen");
        }
    }
    return errors;
}

CopyOutcome copyDeclaration(Context& context, const std::string& period, const std::string& sequence) {
    BDDJJ& origin = *currentHeader(context);
    const NumberFormat format = context.numberFormat();
    const auto errors = copyEntryErrors(origin, period, sequence, format);
    if (!errors.empty()) {
        context.ui.showInconsistencies(" Inconsistencias al Copiar la Declaración Jurada", errors);
        return CopyOutcome::Refused;
    }
    const Variant cuit = origin.Entity->vGetFieldValue(tables::DDJJ::CUIT);
    const Variant originCode = origin.Entity->vGetFieldValue(tables::DDJJ::CodDJ);
    const auto destinationCode =
        Variant(declarationCodeText(Variant(trimmed(period)), Variant(trimmed(sequence)), format))
            .toWholeNumber(format);
    if (!destinationCode || *destinationCode > 2147483647) {
        context.ui.showInconsistencies(" Inconsistencias al Copiar la Declaración Jurada",
                                       {" El Período Destino debe ser igual al Período Origen "});
        return CopyOutcome::Refused;
    }
    const auto destination = static_cast<std::int32_t>(*destinationCode);
    db::Database& database = *context.g_dbAplicativo;
    auto existing = database.openRecordset("Select count(CODDJ) as records From DDJJ Where [CUIT]=? and coddj=?",
                                           {cuit, destination});
    if (existing->value("records").toDouble().value_or(0) > 0) {
        origin.g_vecErroresInconsistencia.clear();
        AddInconsistencyToObject(origin, "x", "La Declaración Jurada a la que intenta copiar ya existe.");
        ShowInconsistencies(context.ui, origin, kRuleError, format);
        return CopyOutcome::Refused;
    }
    try {
        db::Transaction transaction(database);
        std::vector<std::string> tables;
        for (const auto& table : database.tableDefs()) {
            if (table.attributes == 0) {
                tables.push_back(table.name);
            }
        }
        for (std::size_t done = 0; done < tables.size(); ++done) {
            const std::string& table = tables[done];
            auto source =
                database.openRecordset("Select * from " + table + " Where cuit=? AND coddj=?", {cuit, originCode});
            auto target = database.openRecordset("Select * from " + table + " Where 0 = 1");
            for (long row = 0; row < source->recordCount(); ++row) {
                row == 0 ? source->moveFirst() : source->moveNext();
                target->addNew();
                for (const auto& field : source->fields()) {
                    target->setValue(field.name, source->value(field.name));
                }
                target->setValue(tables::DeclarationKey::CodDJ, Variant(destination));
                if (table == tables::DDJJ::table) {
                    target->setValue(tables::DDJJ::lPeriodo, Variant(trimmed(period)));
                    target->setValue(tables::DDJJ::CODIGO_T_SECUENCIAS, Variant(trimmed(sequence)));
                }
                target->update();
            }
            context.ui.showProgress(static_cast<double>(done + 1) * 100.0 / static_cast<double>(tables.size()));
        }
        transaction.commit();
    } catch (const Error& error) {
        MsgError(context.ui, "No se pudo copiar la Declaración Jurada: " + error.description());
        return CopyOutcome::Failed;
    }
    MsgInformacion(context.ui, "La Copia ha finalizado correctamente!.");
    return CopyOutcome::Copied;
}

}  // namespace kapred
