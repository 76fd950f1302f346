// The print jobs: the core's formula lists and rows, put into the layouts of resources/reports.
#include "print/reports.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cstdlib>

#include "app/context.h"
#include "app/cuit.h"
#include "app/installation.h"
#include "data/user_interface.h"
#include "data/values/error.h"
#include "data/values/numeric_text.h"
#include "import/format_print.h"
#include "model/declaration_ops.h"
#include "model/section_object.h"
#include "model/tables/tables.h"
#include "print/report_renderer.h"

namespace kapred::print {

namespace {

namespace fs = std::filesystem;

void addFormulas(ReportData& data, const FormulaList& formulas) {
    for (const std::string& formula : formulas) {
        const NamedValue named = splitFormula(formula);
        data.values[named.name] = named.value;
    }
}

// The columns of the declaration's row the selection picks, as "DDJJ.column": dates as
// dd/mm/yyyy, with the taxpayer's name from the host as "denominacion".
void addDeclaration(Context& context, ReportData& data) {
    if (!context.currentDeclaration) {
        return;
    }
    for (const auto& [name, value] : context.currentDeclaration->Entity->fields().pairs()) {
        const auto date = value.type() == Variant::Type::Date ? value.toDate() : std::nullopt;
        data.values[std::string(tables::DDJJ::table) + "." + name] =
            date ? formatDate(*date) : value.toText(context.numberFormat());
    }
    if (!data.values.contains("denominacion")) {
        data.values["denominacion"] = taxpayerName(context);
    }
}

Report report(const std::string& layout, ReportData data) {
    return {loadLayout(reportsDirectory() / (layout + ".json")), std::move(data)};
}

std::string declarationCode(const Context& context) {
    using Header = tables::DDJJ;
    return currentHeaderValue(context, Header::CodDJ).toText();
}

}  // namespace

fs::path reportsDirectory() {
    if (const char* folder = std::getenv("KAPRED_REPORTSDIR"); folder != nullptr && *folder != '\0') {
        return folder;
    }
    return installation().templates / "informes";
}

PrintJob formJob(Context& context) {
    FormulaList formulas;
    BPrintDDJJ(context).PrepararFomulario(formulas);
    ReportData data;
    addFormulas(data, formulas);
    addFormulas(data, determinationDetail(context));
    addDeclaration(context, data);
    return {"Formulario 369 - Declaración Jurada " + declarationCode(context), {report("f369", std::move(data))}};
}

PrintJob workPaperJob(Context& context, const std::optional<WorkPaperKind>& paper) {
    PrintJob job{"Papeles de Trabajo - Declaración Jurada " + declarationCode(context), {}};
    for (const WorkPaperKind& each : kWorkPapers) {
        if (paper && paper->key != each.key) {
            continue;
        }
        ReportRows rows = workPaperRows(context, each);
        ReportData data{
            {}, std::move(rows.rows), std::move(rows.totals), std::move(rows.amounts), context.numberFormat()};
        addFormulas(data, papelesFormulas(each));
        addDeclaration(context, data);
        job.reports.push_back(report(std::string(each.reportFile), std::move(data)));
    }
    if (paper) {
        job.title = std::string(paper->title) + " - Declaración Jurada " + declarationCode(context);
    }
    return job;
}

PrintJob formatJob(Context& context, const ImportFormat& format) {
    ReportData data;
    const auto section = importSection(context, format.section);
    data.rows = formatPrintRows(fieldGrid(context, format), section ? section->entityName : std::string());
    addFormulas(data, formatPrintFormulas(format));
    data.values["Seccion"] = section ? section->description : std::string();
    data.values["IdFormato"] = std::to_string(format.id);
    data.values["Separador"] = format.pointDecimal() ? "Punto" : "Coma";
    return {"Formato de Importación " + format.name, {report("kprdfimp", std::move(data))}};
}

PrintJob receiptJob(Context& context, const DeliveryReceipt& receipt) {
    ReportData data;
    data.values["Cuit"] = sFormatCuit(context.cuit(), true);
    data.values["denominacion"] = taxpayerName(context);
    data.values["DJ"] = std::to_string(receipt.codDJ);
    data.values["Fecha"] = Variant(receipt.deliveredAt).toText();
    data.values["Verificacion"] = receipt.verificationNumber;
    data.values["Archivo"] = receipt.fileName;
    data.values["Tamano"] =
        formatAmount(Currency::fromScaled(static_cast<std::int64_t>(receipt.size) * Currency::kScale), 0);
    data.values["Carpeta"] = receipt.folder;
    data.values["Sha256"] = receipt.sha256;
    data.values["Estado"] = receipt.declarationDeleted ? "Declaración eliminada después de la entrega."
                                                       : "La declaración entregada sigue guardada en el programa.";
    data.values["Periodo"] = receipt.period ? std::to_string(*receipt.period) : "No registrado";
    data.values["Secuencia"] =
        receipt.sequence ? sequenceDescription(Variant(std::to_string(*receipt.sequence))) : "No registrada";
    if (receipt.balance) {
        data.values["SaldoConcepto"] = *receipt.balance < Currency() ? "Saldo a favor del contribuyente"
                                                                     : "Saldo a favor de Rexa (importe a ingresar)";
        data.values["Saldo"] = formatAmount(*receipt.balance < Currency() ? -*receipt.balance : *receipt.balance, 2,
                                            true, context.numberFormat());
    } else {
        data.values["SaldoConcepto"] = "Saldo";
        data.values["Saldo"] = "No registrado";
    }
    return {"Comprobante de Entrega " + receipt.fileName, {report("kprdrec", std::move(data))}};
}

void renderJob(const PrintJob& job, QPainter& painter, QPagedPaintDevice& device) {
    // The pages are numbered through the whole print, so that its sheets can be put back in order.
    PageNumbering numbering;
    for (const Report& each : job.reports) {
        numbering.pagesInAll += pageCount(each.layout, each.data);
    }
    for (std::size_t i = 0; i < job.reports.size(); ++i) {
        if (i > 0) {
            device.newPage();
        }
        renderReport(job.reports[i].layout, job.reports[i].data, painter, device, numbering);
        numbering.pagesBefore += pageCount(job.reports[i].layout, job.reports[i].data);
    }
}

bool savePdf(Context& context, const PrintJob& job, const fs::path& file) {
    std::error_code error;
    const auto status = fs::symlink_status(file, error);
    if (fs::is_symlink(status)) {
        MsgError(context.ui, "No se escribe el archivo " + file.string() + ": es un enlace a otro archivo.");
        return false;
    }
    if (fs::exists(status) &&
        !MsgAdvertencia(context.ui, "El archivo " + file.string() + " ya existe. ¿Desea reemplazarlo?")) {
        return false;
    }
    QSaveFile out(QString::fromStdString(file.string()));
    if (!out.open(QIODevice::WriteOnly)) {
        MsgError(context.ui, "No se pudo escribir el archivo " + file.string() + ".");
        return false;
    }
    {
        QPdfWriter writer(&out);
        writer.setResolution(300);
        writer.setTitle(QString::fromStdString(job.title));
        writer.setCreator(QStringLiteral("Kapred"));
        const ReportLayout& first = job.reports.front().layout;
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(first.pageWidth, first.pageHeight), QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        renderJob(job, painter, writer);
    }
    if (!out.commit()) {
        MsgError(context.ui, "No se pudo escribir el archivo " + file.string() + ".");
        return false;
    }
    return true;
}

}  // namespace kapred::print
