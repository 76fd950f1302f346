#include "print/report_layout.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>

#include "app/cuit.h"
#include "data/values/error.h"
#include "model/declaration.h"
#include "model/declaration_ops.h"

namespace kapred::print {

namespace {

using nlohmann::json;

Align alignOf(const json& node) {
    const std::string align = node.value("align", "left");
    return align == "right" ? Align::Right : align == "center" ? Align::Center : Align::Left;
}

Rect rectOf(const json& node) {
    const auto& r = node.at("rect");
    return {r.at(0).get<double>(), r.at(1).get<double>(), r.at(2).get<double>(), r.at(3).get<double>()};
}

LayoutItem itemOf(const json& node) {
    static const std::map<std::string, LayoutItem::Kind> kinds{{"text", LayoutItem::Kind::Text},
                                                               {"field", LayoutItem::Kind::Field},
                                                               {"frame", LayoutItem::Kind::Frame},
                                                               {"line", LayoutItem::Kind::Line}};
    LayoutItem item;
    item.kind = kinds.at(node.at("type").get<std::string>());
    item.rect = rectOf(node);
    item.text = node.value("text", "");
    item.caption = node.value("caption", "");
    item.size = node.value("size", 9.0);
    item.bold = node.value("bold", false);
    item.shaded = node.value("shaded", false);
    item.framed = node.value("framed", false);
    item.align = alignOf(node);
    return item;
}

TableLayout tableOf(const json& node) {
    TableLayout table;
    table.top = node.at("top").get<double>();
    table.bottom = node.at("bottom").get<double>();
    table.rowHeight = node.value("rowHeight", 6.0);
    table.size = node.value("size", 9.0);
    table.empty = node.value("empty", "");
    for (const auto& column : node.at("columns")) {
        table.columns.push_back({column.value("title", ""), column.at("x").get<double>(),
                                 column.at("width").get<double>(), alignOf(column)});
    }
    // A page between two others holds a brought and a carried subtotal and at least one row.
    if (table.columns.empty() || rowsPerPage(table) < 3) {
        throw std::out_of_range("table");
    }
    return table;
}

// A value as a brace asks for it: plain, or written as a CUIT or as a sequence.
std::string formatted(const std::string& value, const std::string& format) {
    if (format == "cuit") {
        const std::string dashed = sFormatCuit(value, true);
        return dashed.empty() ? value : dashed;
    }
    if (format == "time" && value.size() == 6) {
        return value.substr(0, 2) + ":" + value.substr(2, 2) + ":" + value.substr(4, 2);
    }
    if (format == "version") {
        return versionDisplayText(value);
    }
    if (format == "sequence") {
        return value.empty() ? value : sequenceDescription(Variant(value));
    }
    return value;
}

}  // namespace

ReportLayout loadLayout(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        throw Error(err::kItemNotFound, "loadLayout", "No se encontró el diseño del informe " + file.string() + ".");
    }
    try {
        const json root = json::parse(in);
        ReportLayout layout;
        layout.name = root.value("name", file.stem().string());
        layout.pageWidth = root.at("page").at(0).get<double>();
        layout.pageHeight = root.at("page").at(1).get<double>();
        layout.font = root.value("font", layout.font);
        for (const auto& item : root.at("items")) {
            layout.items.push_back(itemOf(item));
        }
        if (root.contains("table")) {
            layout.table = tableOf(root.at("table"));
        }
        return layout;
    } catch (const std::exception&) {
        throw Error(err::kItemNotFound, "loadLayout", "El diseño del informe " + file.string() + " no es válido.");
    }
}

std::string fillText(const std::string& text, const ReportData& data, int page, int pages) {
    std::string filled;
    std::size_t from = 0;
    while (from < text.size()) {
        const auto open = text.find('{', from);
        const auto close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos) {
            filled += text.substr(from);
            break;
        }
        filled += text.substr(from, open - from);
        const std::string reference = text.substr(open + 1, close - open - 1);
        const auto bar = reference.find('|');
        const std::string name = reference.substr(0, bar);
        const std::string format = bar == std::string::npos ? "" : reference.substr(bar + 1);
        if (name == "page") {
            filled += std::to_string(page);
        } else if (name == "pages") {
            filled += std::to_string(pages);
        } else if (const auto found = data.values.find(name); found != data.values.end()) {
            filled += formatted(found->second, format);
        }
        from = close + 1;
    }
    return filled;
}

int rowsPerPage(const TableLayout& table) {
    // The first row height holds the columns' heading.
    return static_cast<int>((table.bottom - table.top) / table.rowHeight) - 1;
}

std::vector<TablePage> tablePages(const TableLayout& table, const ReportData& data) {
    const std::size_t rows = data.rows.size();
    const std::size_t lines = rows + data.totals.size();
    const bool carries = !data.amounts.empty() && data.amounts.size() == rows;
    const auto perPage = static_cast<std::size_t>(rowsPerPage(table));
    std::vector<TablePage> pages;
    Currency subtotal;
    std::size_t first = 0;
    do {
        TablePage page;
        page.first = first;
        if (!pages.empty() && pages.back().carriedForward) {
            page.broughtForward = pages.back().carriedForward;
        }
        const std::size_t room = perPage - (page.broughtForward ? 1 : 0);
        page.end = std::min(lines, first + room);
        if (carries && page.end < rows) {
            page.end = first + room - 1;  // the last line takes the subtotal
        }
        for (std::size_t row = first; carries && row < std::min(page.end, rows); ++row) {
            subtotal += data.amounts[row];
        }
        if (carries && page.end < rows) {
            page.carriedForward = subtotal;
        }
        pages.push_back(page);
        first = page.end;
    } while (first < lines);
    return pages;
}

int pageCount(const ReportLayout& layout, const ReportData& data) {
    return layout.table ? static_cast<int>(tablePages(*layout.table, data).size()) : 1;
}

}  // namespace kapred::print
