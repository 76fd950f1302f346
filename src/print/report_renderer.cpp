#include "print/report_renderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

namespace kapred::print {

namespace {

constexpr double kMillimetresPerInch = 25.4;

// Converts millimetres on the sheet to the device's units.
class Sheet {
public:
    Sheet(QPainter& painter, const QPaintDevice& device, const std::string& family)
        : painter_(painter),
          dotsPerMm_(device.logicalDpiX() / kMillimetresPerInch),
          family_(QString::fromStdString(family)) {}

    double mm(double value) const { return value * dotsPerMm_; }
    QRectF rect(const Rect& r) const { return {mm(r.x), mm(r.y), mm(r.width), mm(r.height)}; }

    QFont font(double size, bool bold) const {
        QFont font(family_);
        font.setPointSizeF(size);
        font.setBold(bold);
        font.setKerning(false);  // figures keep their columns
        // A spacing too small to see keeps the shaper from joining "fi" into one ligature glyph,
        // so that a copied or searched text reads as printed.
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
        return font;
    }

    // Text in the rectangle, vertically centred. Text too wide is wrapped at its own size when the
    // rectangle has room for two lines, else drawn smaller, down to two thirds of its size, and
    // wrapped only if it still does not fit: nothing is ever cut.
    void text(const QRectF& box, const QString& text, double size, bool bold, Align align) {
        const Qt::Alignment horizontal = align == Align::Right    ? Qt::AlignRight
                                         : align == Align::Center ? Qt::AlignHCenter
                                                                  : Qt::AlignLeft;
        const auto width = [&](double points) {
            return QFontMetricsF(font(points, bold), &device()).horizontalAdvance(text);
        };
        // A text far too long for one line (a sentence) is wrapped at its own size.
        double fitted = size;
        const bool roomForLines = box.height() >= 2 * QFontMetricsF(font(size, bold), &device()).lineSpacing();
        if (!roomForLines && width(size * 2 / 3) <= box.width()) {
            while (width(fitted) > box.width()) {
                fitted -= 0.25;
            }
        }
        painter_.setFont(font(fitted, bold));
        const bool fits = width(fitted) <= box.width();
        painter_.drawText(box, horizontal | Qt::AlignVCenter | (fits ? Qt::TextSingleLine : Qt::TextWordWrap), text);
    }

    QPainter& painter() { return painter_; }

private:
    QPaintDevice& device() { return *painter_.device(); }

    QPainter& painter_;
    double dotsPerMm_;
    QString family_;
};

QString filled(const std::string& text, const ReportData& data, int page, int pages) {
    return QString::fromStdString(fillText(text, data, page, pages));
}

void drawItem(Sheet& sheet, const LayoutItem& item, const ReportData& data, int page, int pages) {
    QPainter& painter = sheet.painter();
    const QRectF box = sheet.rect(item.rect);
    switch (item.kind) {
        case LayoutItem::Kind::Text:
            if (item.framed) {
                painter.drawRect(box);
                const double pad = sheet.mm(1.5);
                sheet.text(box.adjusted(pad, 0, -pad, 0), filled(item.text, data, page, pages), item.size, item.bold,
                           item.align);
            } else {
                sheet.text(box, filled(item.text, data, page, pages), item.size, item.bold, item.align);
            }
            break;
        case LayoutItem::Kind::Field: {
            painter.drawRect(box);
            const double pad = sheet.mm(1.5);
            const double captionHeight = box.height() * 0.42;
            sheet.text(QRectF(box.left() + pad, box.top() + sheet.mm(0.5), box.width() - 2 * pad, captionHeight),
                       filled(item.caption, data, page, pages), 7, false, Align::Left);
            sheet.text(QRectF(box.left() + pad, box.top() + captionHeight, box.width() - 2 * pad,
                              box.height() - captionHeight - sheet.mm(0.5)),
                       filled(item.text, data, page, pages), item.size, item.bold, item.align);
            break;
        }
        case LayoutItem::Kind::Frame:
            if (item.shaded) {
                painter.fillRect(box, QColor(232, 232, 232));
            }
            painter.drawRect(box);
            break;
        case LayoutItem::Kind::Line:
            painter.drawLine(box.topLeft(), box.bottomRight());
            break;
    }
}

// One line of the table; a line with fewer cells than columns (a total) puts its last cell in
// the last column and its first one across the columns before it.
void drawRow(Sheet& sheet, const TableLayout& table, const std::vector<std::string>& cells, double top, bool bold) {
    const double height = sheet.mm(table.rowHeight);
    const double pad = sheet.mm(1.5);
    const auto cell = [&](const std::string& text, double x, double width, Align align) {
        sheet.text(QRectF(sheet.mm(x) + pad, top, sheet.mm(width) - 2 * pad, height), QString::fromStdString(text),
                   table.size, bold, align);
    };
    const auto& columns = table.columns;
    if (cells.size() >= columns.size()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            cell(cells[i], columns[i].x, columns[i].width, columns[i].align);
        }
        return;
    }
    if (cells.empty()) {
        return;
    }
    const TableColumn& last = columns.back();
    if (cells.size() > 1) {
        cell(cells.front(), columns.front().x, last.x - columns.front().x, Align::Left);
    }
    cell(cells.back(), last.x, last.width, last.align);
}

void drawTablePage(Sheet& sheet, const TableLayout& table, const ReportData& data, int page) {
    QPainter& painter = sheet.painter();
    const double left = sheet.mm(table.columns.front().x);
    const double right = sheet.mm(table.columns.back().x + table.columns.back().width);
    const double height = sheet.mm(table.rowHeight);
    double top = sheet.mm(table.top);
    painter.fillRect(QRectF(left, top, right - left, height), QColor(232, 232, 232));
    painter.drawRect(QRectF(left, top, right - left, height));
    std::vector<std::string> titles;
    for (const auto& column : table.columns) {
        titles.push_back(column.title);
    }
    drawRow(sheet, table, titles, top, true);
    top += height;

    const int perPage = rowsPerPage(table);
    const auto first = static_cast<std::size_t>((page - 1) * perPage);
    const std::size_t end = first + static_cast<std::size_t>(perPage);
    if (data.rows.empty() && page == 1 && !table.empty.empty()) {
        drawRow(sheet, table, {table.empty}, top, false);
        top += height;
    }
    for (std::size_t line = first; line < end && line < data.rows.size() + data.totals.size(); ++line) {
        const bool total = line >= data.rows.size();
        // The totals under a line, the last of them (the section's own total) in bold.
        const bool last = line + 1 == data.rows.size() + data.totals.size();
        if (total && (line == data.rows.size() || last)) {
            painter.drawLine(QPointF(left, top), QPointF(right, top));
        }
        drawRow(sheet, table, total ? data.totals[line - data.rows.size()] : data.rows[line], top, total && last);
        top += height;
    }
    painter.drawLine(QPointF(left, top), QPointF(right, top));
}

}  // namespace

void renderReport(const ReportLayout& layout, const ReportData& data, QPainter& painter, QPagedPaintDevice& device) {
    Sheet sheet(painter, device, layout.font);
    QPen pen(Qt::black);
    pen.setWidthF(sheet.mm(0.25));
    painter.setPen(pen);
    const int pages = pageCount(layout, data);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            device.newPage();
        }
        for (const LayoutItem& item : layout.items) {
            drawItem(sheet, item, data, page, pages);
        }
        if (layout.table) {
            drawTablePage(sheet, *layout.table, data, page);
        }
    }
}

}  // namespace kapred::print
