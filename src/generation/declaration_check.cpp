#include "generation/declaration_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/context.h"
#include "calc/computed_windows.h"
#include "calc/liquidation.h"
#include "data/values/datetime.h"
#include "data/values/numeric_text.h"
#include "generation/declaration_records.h"
#include "generation/delivery.h"
#include "generation/generator.h"
#include "model/declaration_ops.h"
#include "model/sections.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every saved row of the sections through the validation its window's Aceptar runs.
void validateSections(Context& context, std::vector<std::string>& refusals) {
    for (const SectionInfo& section : declarationSections()) {
        auto object = createSection(context, section.name);
        if (!object) {
            continue;
        }
        const auto validate = [&](const std::string& where) {
            if (object->iValidateBusinessRules() != 0) {
                refusals.push_back(where + failureReasons(*object));
            }
        };
        if (section.kind() == SectionKind::List) {
            for (const ListRow& row : listRows(context, *object)) {
                if (findListRow(*object, row.id)) {
                    validate(section.caption + ", fila " + std::to_string(row.id) + ": ");
                }
            }
        } else if (object->bFind()) {
            validate(section.caption + ": ");
        }
    }
}

// Advances and payments on account dated outside the declaration's fiscal year.
void checkRowDates(Context& context, std::vector<std::string>& warnings) {
    using Header = tables::DDJJ;
    const auto from = currentHeaderValue(context, Header::fPeriodoFiscalDesde).toDate();
    const auto to = currentHeaderValue(context, Header::fPeriodoFiscalHasta).toDate();
    if (!from || !to) {
        return;
    }
    for (const SectionInfo& section : declarationSections()) {
        auto object = section.kind() == SectionKind::List ? createSection(context, section.name) : nullptr;
        if (!object) {
            continue;
        }
        for (const ListRow& row : listRows(context, *object)) {
            const auto date = row.date.toDate();
            if (date && (date->day < from->day || date->day > to->day)) {
                warnings.push_back(section.caption + ", fila " + std::to_string(row.id) + ": la fecha " +
                                   formatDate(*date) + " (importe " + formatAmount(row.amount) +
                                   ") está fuera del ejercicio fiscal, del " + formatDate(*from) + " al " +
                                   formatDate(*to) + ".");
            }
        }
    }
}

void checkFigures(Context& context, std::vector<std::string>& refusals, std::vector<std::string>& warnings) {
    if (const auto assets = computeWindowFigures(context, "Activo")) {
        for (const Figure& figure : assets->figures) {
            if (figure.name == "ccActivo" && figure.amount.isZero()) {
                warnings.push_back("La declaración no tiene activos: el total del activo es 0,00.");
            }
        }
    }
    // Computed directly: the liquidation window's clean-up of the deductions would change data.
    BLiquidacion liquidation(context);
    liquidation.CalculateLocalTotals(kPrimaryKey);
    if (const auto problem = liquidation.rateProblem()) {
        refusals.push_back(*problem);
    }
}

void checkTaxpayer(Context& context, std::vector<std::string>& warnings) {
    if (taxpayerName(context).empty()) {
        warnings.push_back("El contribuyente no figura en la base de contribuyentes del sistema.");
    } else if (tipo91(context).empty()) {
        warnings.push_back(
            "El contribuyente no tiene domicilio fiscal en la base de contribuyentes: el archivo no "
            "llevará el registro 91.");
    }
}

}  // namespace

DryRun generarEnSeco(Context& context, const std::string& plainCopy) {
    DryRun run;
    BGenerarDJs generator(context);
    generator.openingPause = std::chrono::milliseconds(0);
    run.built = generator.AbrirTemporal() && generator.GenerarDatosDJ() && generator.AgregarCabecera();
    if (run.built) {
        run.file = readFile(generator.headerFile());
        run.recordCount = generator.recordCount();
        run.inspection = inspectDeclarationFile(run.file);
        checkVerificationNumber(context, run.inspection);
        run.refusals = run.inspection.faults;
        if (!run.inspection.records.empty() && run.inspection.records.front().raw.size() >= 35) {
            run.verificationNumber = run.inspection.records.front().raw.substr(29, 6);
        }
        if (!plainCopy.empty()) {
            if (!ReemplazarArchivo(context.ui, plainCopy)) {
                run.refusals.push_back("No se escribió la copia legible: " + plainCopy + " ya existe.");
            } else if (const CopyResult copy = copyIntoPlace(generator.headerFile(), plainCopy); !copy.error.empty()) {
                run.refusals.push_back("No se pudo escribir la copia legible en " + plainCopy + ". " + copy.error);
            }
        }
    } else {
        run.refusals = generator.generationInconsistencies();
        if (generator.lastError()) {
            run.refusals.push_back("No se pudo generar el archivo de la Declaración Jurada: " + *generator.lastError());
        }
    }
    std::error_code ignored;
    for (const std::string& path : {generator.temporaryFile(), generator.headerFile()}) {
        if (!path.empty()) {
            std::filesystem::remove(path, ignored);
        }
    }
    return run;
}

std::vector<std::string> DeclarationCheck::lines() const {
    std::vector<std::string> all;
    for (const std::string& each : refusals) {
        all.push_back("Impide generar: " + each);
    }
    for (const std::string& each : warnings) {
        all.push_back("Advertencia: " + each);
    }
    return all;
}

DeclarationCheck VerificarDJ(Context& context) {
    DeclarationCheck check;
    validateSections(context, check.refusals);
    checkFigures(context, check.refusals, check.warnings);
    checkRowDates(context, check.warnings);
    checkTaxpayer(context, check.warnings);
    check.dryRun = generarEnSeco(context);
    // A cause already named (a missing rate) is not told again as the failure of the file.
    for (const std::string& refusal : check.dryRun.refusals) {
        const bool told = std::any_of(check.refusals.begin(), check.refusals.end(),
                                      [&](const std::string& each) { return refusal.find(each) != std::string::npos; });
        if (!told) {
            check.refusals.push_back(refusal);
        }
    }
    return check;
}

}  // namespace kapred
