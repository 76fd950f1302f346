#pragma once

#include "print/report_layout.h"

class QPainter;
class QPagedPaintDevice;

namespace kapred::print {

// Where a report's pages stand in the whole print: the pages printed before them and the number
// of pages in all (0: the report's own).
struct PageNumbering {
    int pagesBefore = 0;
    int pagesInAll = 0;
};

// Draws the report on a paged device (the printer, the preview's printer, a PDF writer) whose
// painter is already open: page after page, in millimetres from the sheet's top left corner.
// The device's margins are taken as zero. The first page is the device's current one.
void renderReport(const ReportLayout& layout, const ReportData& data, QPainter& painter, QPagedPaintDevice& device,
                  PageNumbering numbering = {});

}  // namespace kapred::print
