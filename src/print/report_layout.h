#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/values/currency.h"
#include "data/values/numeric_text.h"

namespace kapred::print {

// A report layout as kept in resources/reports (one JSON file per report): a page in
// millimetres, the items drawn on every page, and an optional table of rows that runs over as
// many pages as it needs, with its totals after the last row.
//
// Texts may name values between braces: "{Cuit}" is the value of the formula Cuit, "{Cuit|cuit}"
// the same written with dashes, "{Secuencia|sequence}" "Original" or "Rectificativa N",
// "{Hora|time}" "HHMMSS" as "HH:MM:SS", "{Version|version}" "0100000" as "1.0.0", "{page}" and "{pages}" the page
// number and the page count.

enum class Align { Left, Center, Right };

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
};

struct LayoutItem {
    enum class Kind {
        Text,   // text in its rectangle
        Field,  // a framed box: a small caption at its top and the value below it
        Frame,  // a rectangle, optionally shaded
        Line,   // a line from the rectangle's top left to its bottom right
    };
    Kind kind = Kind::Text;
    Rect rect;
    std::string text;     // Text: the text; Field: the value
    std::string caption;  // Field: the caption
    double size = 9;      // points
    bool bold = false;
    bool shaded = false;  // Frame: a light grey fill
    bool framed = false;  // Text: a rectangle round it, the text kept off its sides
    Align align = Align::Left;
};

struct TableColumn {
    std::string title;
    double x = 0, width = 0;
    Align align = Align::Left;
};

struct TableLayout {
    double top = 0;     // where the heading of the columns starts on every page
    double bottom = 0;  // where the rows must end
    double rowHeight = 6;
    double size = 9;
    std::vector<TableColumn> columns;
    std::string empty;  // what the table says when there are no rows
};

struct ReportLayout {
    std::string name;
    double pageWidth = 210, pageHeight = 297;
    std::string font = "DejaVu Sans";
    std::vector<LayoutItem> items;
    std::optional<TableLayout> table;
};

// Reads a layout file; raises kapred::Error with a Spanish description when it cannot be read
// or is not a layout.
ReportLayout loadLayout(const std::filesystem::path& file);

// What fills a layout: the named values and the rows of its table with the totals under them.
// When the rows add up to the total, `amounts` holds each row's amount, and a list longer than
// a page carries their subtotal from page to page, written with `format`.
struct ReportData {
    std::map<std::string, std::string> values;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::vector<std::string>> totals;
    std::vector<Currency> amounts;
    NumberFormat format;
};

// The text with its braces replaced by the data's values (an unknown name gives the empty text).
std::string fillText(const std::string& text, const ReportData& data, int page, int pages);

// How many lines of the table fit on a page below its heading.
int rowsPerPage(const TableLayout& table);

// The lines of the table on one page, counting the rows and then the totals as one list, with
// the subtotal brought from the page before (above the first line) and the one carried to the
// next (below the last) when the rows' amounts are given and the rows go on.
struct TablePage {
    std::size_t first = 0;
    std::size_t end = 0;
    std::optional<Currency> broughtForward;
    std::optional<Currency> carriedForward;
};
std::vector<TablePage> tablePages(const TableLayout& table, const ReportData& data);

// How many pages the data takes (at least one).
int pageCount(const ReportLayout& layout, const ReportData& data);

}  // namespace kapred::print
