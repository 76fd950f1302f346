#pragma once

#include "print/report_layout.h"

class QPainter;
class QPagedPaintDevice;

namespace kapred::print {

// Draws the report on a paged device (the printer, the preview's printer, a PDF writer) whose
// painter is already open: page after page, in millimetres from the sheet's top left corner.
// The device's margins are taken as zero. The first page is the device's current one.
void renderReport(const ReportLayout& layout, const ReportData& data, QPainter& painter, QPagedPaintDevice& device);

}  // namespace kapred::print
