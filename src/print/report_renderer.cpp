#include "print/report_renderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

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

    // Text in the rectangle, vertically centred, whole: on one line at its own size when it fits,
    // else wrapped at its own size when the lines fit the rectangle's height, else the same a
    // quarter point smaller, down to half its size, where the last resort breaks anywhere.
    void text(const QRectF& box, const QString& text, double size, bool bold, Align align) {
        const Qt::Alignment horizontal = align == Align::Right    ? Qt::AlignRight
                                         : align == Align::Center ? Qt::AlignHCenter
                                                                  : Qt::AlignLeft;
        double fitted = size;
        int flags = Qt::TextWrapAnywhere;
        for (; fitted >= size / 2; fitted -= 0.25) {
            const QFontMetricsF metrics(font(fitted, bold), &device());
            if (metrics.horizontalAdvance(text) <= box.width()) {
                flags = Qt::TextSingleLine;
                break;
            }
            const QRectF wrapped =
                metrics.boundingRect(QRectF(0, 0, box.width(), box.height()), Qt::TextWordWrap, text);
            if (wrapped.width() <= box.width() && wrapped.height() <= box.height()) {
                flags = Qt::TextWordWrap;
                break;
            }
        }
        fitted = std::max(fitted, size / 2);
        painter_.setFont(font(fitted, bold));
        const QRectF target = bold && flags == Qt::TextSingleLine && align == Align::Right
                                  ? box.adjusted(0, 0, decimalsWidening(text, fitted), 0)
                                  : box;
        painter_.drawText(target, static_cast<int>(horizontal | Qt::AlignVCenter) | flags, text);
    }

    QPainter& painter() { return painter_; }

private:
    QPaintDevice& device() { return *painter_.device(); }

    // How much wider the decimals of an amount ("1.234,50": ",50") are in bold than in regular
    // type: a bold amount moved right by it keeps its decimal comma under the regular ones.
    double decimalsWidening(const QString& text, double size) {
        const qsizetype n = text.size();
        if (n < 3 || !text[n - 1].isDigit() || !text[n - 2].isDigit() || (text[n - 3] != ',' && text[n - 3] != '.')) {
            return 0;
        }
        const QString decimals = text.right(3);
        return QFontMetricsF(font(size, true), &device()).horizontalAdvance(decimals) -
               QFontMetricsF(font(size, false), &device()).horizontalAdvance(decimals);
    }

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
            // The caption takes the top line, the value all the rest: a long value has room to wrap.
            const double captionHeight = sheet.mm(4);
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
// the last column and its first one across the columns before it, and a line of one cell (a
// note) runs across them all.
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
    if (cells.size() == 1) {
        cell(cells.front(), columns.front().x, last.x + last.width - columns.front().x, Align::Left);
        return;
    }
    if (cells.size() > 1) {
        cell(cells.front(), columns.front().x, last.x - columns.front().x, Align::Left);
    }
    cell(cells.back(), last.x, last.width, last.align);
}

void drawTablePage(Sheet& sheet, const TableLayout& table, const ReportData& data, const TablePage& page,
                   bool firstPage) {
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

    const auto subtotal = [&](const char* caption, Currency amount) {
        drawRow(sheet, table, {caption, formatAmount(amount, 2, true, data.format)}, top, false);
        top += height;
    };
    if (page.broughtForward) {
        subtotal("De transporte", *page.broughtForward);
        painter.drawLine(QPointF(left, top), QPointF(right, top));
    }
    if (data.rows.empty() && firstPage && !table.empty.empty()) {
        drawRow(sheet, table, {table.empty}, top, false);
        top += height;
    }
    const std::size_t lines = data.rows.size() + data.totals.size();
    for (std::size_t line = page.first; line < page.end; ++line) {
        const bool total = line >= data.rows.size();
        // The totals under a line, the last of them (the section's own total) in bold.
        const bool last = line + 1 == lines;
        if (total && (line == data.rows.size() || last)) {
            painter.drawLine(QPointF(left, top), QPointF(right, top));
        }
        drawRow(sheet, table, total ? data.totals[line - data.rows.size()] : data.rows[line], top, total && last);
        top += height;
    }
    if (page.carriedForward) {
        painter.drawLine(QPointF(left, top), QPointF(right, top));
        subtotal("Transporte", *page.carriedForward);
    }
    painter.drawLine(QPointF(left, top), QPointF(right, top));
}

}  // namespace

void renderReport(const ReportLayout& layout, const ReportData& data, QPainter& painter, QPagedPaintDevice& device,
                  PageNumbering numbering) {
    Sheet sheet(painter, device, layout.font);
    QPen pen(Qt::black);
    pen.setWidthF(sheet.mm(0.25));
    painter.setPen(pen);
    const std::vector<TablePage> tablePages =
        layout.table ? print::tablePages(*layout.table, data) : std::vector<TablePage>{TablePage{}};
    const int pages = numbering.pagesInAll > 0 ? numbering.pagesInAll : static_cast<int>(tablePages.size());
    for (std::size_t index = 0; index < tablePages.size(); ++index) {
        if (index > 0) {
            device.newPage();
        }
        const int page = numbering.pagesBefore + static_cast<int>(index) + 1;
        for (const LayoutItem& item : layout.items) {
            drawItem(sheet, item, data, page, pages);
        }
        if (layout.table) {
            drawTablePage(sheet, *layout.table, data, tablePages[index], index == 0);
        }
    }
}

}  // namespace kapred::print
