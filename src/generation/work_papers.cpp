// The work papers: each section of the current declaration listed with its captions and totals.
#include "generation/work_papers.h"

#include <algorithm>

#include "app/context.h"
#include "data/engine/schema.h"
#include "data/values/datetime.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "model/sections.h"
#include "model/tables/captions.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

std::string captionOf(std::string_view section, const std::string& name) {
    return trimmed(fieldLabel(section, name).value_or(name));
}

// A field of a one-row section as its work paper shows it.
std::string fieldText(const SectionField& field, const Variant& value, NumberFormat format) {
    if (field.type == db::DataType::Currency) {
        return sFormatoImporte(value.isNull() || value.isEmpty() ? Variant(Currency()) : value, format);
    }
    // The yes/no lists of the liabilities keep 0 and 1.
    if (std::ranges::any_of(tables::Pasivo::insuranceAmounts,
                            [&field](const auto& each) { return each.flag.name == field.name; })) {
        return value.toWholeNumber(format).value_or(0) == 1 ? "Sí" : "No";
    }
    return value.toText(format);
}

}  // namespace

std::optional<WorkPaperKind> findWorkPaper(std::string_view key) {
    for (const WorkPaperKind& paper : kWorkPapers) {
        if (db::equalsIgnoreCase(paper.key, key)) {
            return paper;
        }
    }
    return std::nullopt;
}

std::string sSeleccionPapeles(const Context& context) {
    using Header = tables::DDJJ;
    return "{DDJJ.CUIT}=" + currentHeaderValue(context, Header::CUIT).toText() +
           " AND {DDJJ.CODDJ}=" + currentHeaderValue(context, Header::CodDJ).toText();
}

FormulaList papelesFormulas(const WorkPaperKind& paper) {
    return {"NombreAplicativo = '" + std::string(kNombreAplicativo) + "'",
            "titulo = '" + std::string(paper.title) + "'"};
}

std::vector<std::string> screenPrintHeader(const Context& context) {
    using Header = tables::DDJJ;
    const Variant sequence = currentHeaderValue(context, Header::CODIGO_T_SECUENCIAS);
    const long number = static_cast<long>(sequence.toWholeNumber().value_or(0));
    return {
        "",
        "REXA - Ka.Pr.Ed | Papeles de trabajo",
        "CUIT        : " + currentHeaderValue(context, Header::CUIT).toText(),
        "Período    : " + currentHeaderValue(context, Header::lPeriodo).toText(),
        "Secuencia: " + (number == 0 ? std::string("Original") : "Rectificativa " + std::to_string(number)),
        std::string(15, '_'),
    };
}

ReportRows workPaperRows(Context& context, const WorkPaperKind& paper) {
    const std::string name(paper.key);
    const auto info = findSection(name);
    auto section = createSection(context, name);
    if (!info || !section) {
        throw Error(err::kItemNotFound, "workPaperRows", "No se puede leer la sección " + name + ".");
    }
    const NumberFormat format = context.numberFormat();
    ReportRows report;
    if (info->kind() == SectionKind::List) {
        std::vector<ListRow> rows = listRows(context, *section);
        // By date, as the payments were made; rows without a date last. The sort is stable, so
        // rows of one date stay by number.
        std::stable_sort(rows.begin(), rows.end(), [](const ListRow& a, const ListRow& b) {
            const auto first = a.date.toDate();
            const auto second = b.date.toDate();
            return first && (!second || first->day < second->day);
        });
        for (const ListRow& row : rows) {
            const auto date = row.date.toDate();
            report.rows.push_back({std::to_string(row.id), date ? formatDate(*date) : row.date.toText(format),
                                   sFormatoImporte(Variant(row.amount), format)});
            report.amounts.push_back(row.amount);
        }
        section->CalculateLocalTotals(kListIndex);
    } else {
        const bool found = section->bFind();
        for (const SectionField& field : info->fields) {
            const Variant value = found ? section->Entity->vGetFieldValue(field.name) : Variant();
            report.rows.push_back({field.caption, fieldText(field, value, format)});
        }
        section->CalculateLocalTotals(kPrimaryKey);
        // Subtotals stand in a column of their own, right of the values they add up.
        if (section->totals().size() > 1) {
            for (auto& row : report.rows) {
                row.emplace_back();
            }
        }
    }
    for (const Figure& total : section->totals()) {
        report.totals.push_back({captionOf(paper.key, total.name), sFormatoImporte(Variant(total.amount), format)});
    }
    return report;
}

}  // namespace kapred
