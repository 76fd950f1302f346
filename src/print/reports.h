#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "generation/delivery_receipts.h"
#include "generation/work_papers.h"
#include "import/import_formats.h"
#include "print/report_layout.h"

class QPainter;
class QPagedPaintDevice;

namespace kapred {
struct Context;
}

namespace kapred::print {

// A report ready to draw: its layout and what fills it.
struct Report {
    ReportLayout layout;
    ReportData data;
};

// What one print command sends to the preview, the printer or a PDF: one or more reports, one
// after the other, and the document's title.
struct PrintJob {
    std::string title;
    std::vector<Report> reports;
};

// The folder of the report layouts: KAPRED_REPORTSDIR when set, else "informes" beside the
// program.
std::filesystem::path reportsDirectory();

// The form 369 of the current declaration (layout f369). Raises as PrepararFomulario.
PrintJob formJob(Context& context);
// The work paper of the current declaration's section; all five, one after the other, for the
// root of the work papers' tree (nothing given).
PrintJob workPaperJob(Context& context, const std::optional<WorkPaperKind>& paper);
// The positions of an import format (layout kprdfimp).
PrintJob formatJob(Context& context, const ImportFormat& format);

// The receipt of a delivered file (layout kprdrec).
PrintJob receiptJob(Context& context, const DeliveryReceipt& receipt);

// Every page of the job on a device whose painter is open.
void renderJob(const PrintJob& job, QPainter& painter, QPagedPaintDevice& device);

// Writes the job as a PDF. An existing file is replaced only when the user agrees; a link is
// never followed. False, after telling the user why, when nothing was written.
bool savePdf(Context& context, const PrintJob& job, const std::filesystem::path& file);

}  // namespace kapred::print
