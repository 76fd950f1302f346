#include "calc/declaration_diff.h"

#include <algorithm>

#include "app/context.h"
#include "calc/determination.h"
#include "calc/liquidation.h"
#include "data/values/datetime.h"
#include "data/values/numeric_text.h"
#include "model/assets.h"
#include "model/declaration_ops.h"
#include "model/sections.h"
#include "model/tables/captions.h"

namespace kapred {

namespace {

struct Shown {
    std::string section;
    std::string item;
    std::string text;
    std::optional<Currency> amount;
};

Shown amountEntry(const std::string& section, const std::string& item, Currency amount) {
    return {section, item, formatAmount(amount), amount};
}

Shown valueEntry(const std::string& section, const std::string& item, const Variant& value, db::DataType type,
                 NumberFormat format) {
    if (type == db::DataType::Currency) {
        if (const auto amount = value.toCurrency(format)) {
            return amountEntry(section, item, *amount);
        }
    }
    if (type == db::DataType::Date) {
        if (const auto date = value.toDate()) {
            return {section, item, formatDate(*date), std::nullopt};
        }
    }
    return {section, item, value.isNull() ? std::string() : value.toText(format), std::nullopt};
}

// A caption as the window shows it, without its access key and the blanks around it.
std::string plain(std::string caption) {
    std::erase(caption, '&');
    const auto first = caption.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : caption.substr(first, caption.find_last_not_of(' ') - first + 1);
}

// The figures of a section or computed window, each under the label its window gives it.
void addFigures(std::vector<Shown>& shown, const std::string& entity, const std::vector<Figure>& figures) {
    const std::string section = plain(windowCaption(entity).value_or(entity));
    for (const Figure& figure : figures) {
        shown.push_back(
            amountEntry(section, plain(fieldLabel(entity, figure.name).value_or(figure.name)), figure.amount));
    }
}

// Every value and figure the windows of the current declaration show.
std::vector<Shown> snapshot(Context& context) {
    std::vector<Shown> shown;
    const NumberFormat format = context.numberFormat();
    for (const SectionInfo& section : declarationSections()) {
        auto object = createSection(context, section.name);
        if (!object) {
            continue;
        }
        if (section.kind() == SectionKind::List) {
            for (const ListRow& row : listRows(context, *object)) {
                const std::string prefix = "Fila " + std::to_string(row.id) + ": ";
                shown.push_back(
                    valueEntry(plain(section.caption), prefix + "Fecha", row.date, db::DataType::Date, format));
                shown.push_back(amountEntry(plain(section.caption), prefix + "Importe", row.amount));
            }
            object->CalculateLocalTotals(kListIndex);
        } else {
            object->bFind();
            for (const SectionField& field : section.fields) {
                shown.push_back(valueEntry(plain(section.caption), field.caption,
                                           object->Entity->vGetFieldValue(field.name), field.type, format));
            }
            object->CalculateLocalTotals(kPrimaryKey);
        }
        addFigures(shown, section.name, object->totals());
    }
    BActivo assets(context);
    assets.CalculateLocalTotals(kPrimaryKey);
    addFigures(shown, "Activo", assets.figures());
    BLiquidacion liquidation(context);
    liquidation.CalculateLocalTotals(kPrimaryKey);
    addFigures(shown, "Liquidacion", liquidation.figures());
    BDeterminacion determination(context);
    determination.CalculateLocalTotals(kListIndex);
    addFigures(shown, "Determinacion", determination.figures());
    return shown;
}

std::optional<std::vector<Shown>> snapshotOf(Context& context, const Variant& code) {
    if (!loadDeclaration(context, code)) {
        return std::nullopt;
    }
    return snapshot(context);
}

const Shown* findEntry(const std::vector<Shown>& entries, const Shown& wanted) {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const Shown& each) {
        return each.section == wanted.section && each.item == wanted.item;
    });
    return found != entries.end() ? &*found : nullptr;
}

void addDifference(DeclarationDiff& diff, const Shown* first, const Shown* second) {
    const Shown& some = first != nullptr ? *first : *second;
    if (first != nullptr && second != nullptr && first->text == second->text) {
        return;
    }
    FigureDifference difference{some.section, some.item, first ? first->text : "", second ? second->text : "", {}};
    const Currency before = first && first->amount ? *first->amount : Currency();
    const Currency after = second && second->amount ? *second->amount : Currency();
    if ((first == nullptr || first->amount) && (second == nullptr || second->amount)) {
        difference.difference = after - before;
    }
    diff.differences.push_back(std::move(difference));
}

}  // namespace

DeclarationDiff compareDeclarations(Context& context, const Variant& first, const Variant& second) {
    DeclarationDiff diff;
    const auto previous = context.currentDeclaration;
    const auto restore = [&] { context.currentDeclaration = previous; };
    const auto periodOf = [&]() {
        return currentHeaderValue(context, tables::DDJJ::lPeriodo).toText(context.numberFormat());
    };
    const auto before = snapshotOf(context, first);
    const std::string firstPeriod = before ? periodOf() : "";
    const auto after = before ? snapshotOf(context, second) : std::nullopt;
    const std::string secondPeriod = after ? periodOf() : "";
    restore();
    if (!before || !after) {
        diff.refusal = "No existe la Declaración Jurada " + (before ? second : first).toText(context.numberFormat()) +
                       " del contribuyente.";
        return diff;
    }
    if (firstPeriod != secondPeriod) {
        diff.refusal = "Las declaraciones no son del mismo período: " + firstPeriod + " y " + secondPeriod + ".";
        return diff;
    }
    for (const Shown& entry : *before) {
        addDifference(diff, &entry, findEntry(*after, entry));
    }
    for (const Shown& entry : *after) {
        if (findEntry(*before, entry) == nullptr) {
            addDifference(diff, nullptr, &entry);
        }
    }
    return diff;
}

}  // namespace kapred
