#include "generation/declaration_records.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

#include "app/context.h"
#include "calc/determination.h"
#include "data/engine/recordset.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "data/windows1252.h"
#include "generation/form_totals.h"
#include "generation/verification_number.h"
#include "model/declaration.h"
#include "model/liabilities.h"
#include "model/section_object.h"

namespace kapred {

namespace {

void writeLine(std::ostream& file, const std::string& record) {
    file.write(record.data(), static_cast<std::streamsize>(record.size()));
    file.put('\n');
}

// 1 when the record was written, -1 when its length was wrong.
long writeChecked(Context& context, std::ostream& file, const RecordLayout& layout,
                  std::initializer_list<Variant> values) {
    return writeRecord(file, layout, std::span<const Variant>(values.begin(), values.size()), context.numberFormat())
               ? 1
               : -1;
}

// The time of day of a date and time as "hhmmss"; a Null stays Null, for the record's number
// field to refuse.
Variant recordTime(const Variant& value) {
    if (value.isNull()) {
        return value;
    }
    const auto stamp = value.toDate();
    if (!stamp) {
        raiseTypeMismatch("tipo01");
    }
    return Variant(formatCompactTime(*stamp));
}

// The version of the running program as record 01 wants it: minor, major, revision.
std::string versionForRecord01() {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%03d", KAPRED_VERSION_MINOR % 100, KAPRED_VERSION_MAJOR % 100,
                  KAPRED_VERSION_PATCH % 1000);
    return text;
}

// Capitals as the address masks give them, for the letters of the file's code page.
std::string capitals(const std::string& utf8) {
    std::string bytes = toWindows1252(utf8);
    for (char& each : bytes) {
        const auto code = static_cast<unsigned char>(each);
        if ((code >= 'a' && code <= 'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) {
            each = static_cast<char>(code - 0x20);
        } else if (code == 0x9A || code == 0x9C || code == 0x9E) {  // š œ ž
            each = static_cast<char>(code - 0x10);
        } else if (code == 0xFF) {  // ÿ
            each = static_cast<char>(0x9F);
        }
    }
    return fromWindows1252(bytes);
}

Variant addressText(const Variant& value) {
    if (value.isNull()) {
        return Variant();
    }
    return Variant(capitals(value.toText()));
}

// The figures of the declaration that the records 04 and 90 carry, by the names their item
// tables use.
class Figures {
public:
    void set(std::string name, Variant value) { values_[std::move(name)] = std::move(value); }
    // Every field of the entity by its name.
    void setFields(const EntityBase& entity) {
        for (const auto& [name, value] : entity.fields().pairs()) {
            set(name, value);
        }
    }
    const Variant& at(std::string_view name) const {
        const auto found = values_.find(name);
        if (found == values_.end()) {
            throw Error(err::kItemNotFound, "Figures",
                        "No se calculó el importe " + std::string(name) + " de la declaración.");
        }
        return found->second;
    }

private:
    std::map<std::string, Variant, std::less<>> values_;
};

// A figure that depends on a rate no row of the rate tables gave is not written as if valid.
void requireRate(const BLiquidacion& liquidation, const char* source) {
    if (const auto problem = liquidation.rateProblem()) {
        throw Error(err::kNoCurrentRecord, source, *problem);
    }
}

void addLiquidation(Context& context, Figures& figures, const char* source) {
    BLiquidacion liquidation(context);
    liquidation.CalculateLocalTotals(kPrimaryKey);
    requireRate(liquidation, source);
    figures.set("BLiquidacion.ccActivoComputable", liquidation.g_BActivoComputable->ccActivoComputable());
    figures.set("ccPasivoAlCierre", liquidation.ccPasivoAlCierre());
    figures.set("ccCapitalAlCierre", liquidation.ccCapitalAlCierre());
    figures.set("BLiquidacion.ccDeduccionesAlCierre", liquidation.g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre());
    figures.set("ccCapitalCooperativo", liquidation.ccCapitalCooperativo());
    figures.set("ccAlicuota x 100", liquidation.ccAlicuota() * Currency::fromUnits(100));
    figures.set("ccContribEspecial", liquidation.ccContribEspecial());
}

void addDetermination(Context& context, Figures& figures, const char* source) {
    BDeterminacion determination(context);
    determination.CalculateLocalTotals(kListIndex);
    requireRate(*determination.g_BLiquidacion, source);
    figures.set("BPagosCuenta.ccImporte", determination.g_BPagosCuenta->ccImporte());
    figures.set("BAnticipos.ccImporte", determination.g_BAnticipos->ccImporte());
    figures.set("BSaldoFavorPeriodoAnt.ccImporte", determination.g_BSaldoFavorPeriodoAnt->ccImporte());
    figures.set("ccSaldoRexa", determination.ccSaldoRexa());
    figures.set("ccSaldoContrib", determination.ccSaldoContrib());
}

// What the records 04 carry, computed section by section from fresh objects, each released
// before the next is made.
Figures declarationFigures(Context& context) {
    Figures figures;
    {
        BActivo assets(context);
        assets.CalculateLocalTotals(kPrimaryKey);
        BActivoComputable& computable = *assets.g_BActivoComputable;
        BActivoExento& exempt = *assets.g_BActivoExento;
        BActivoNoComputable& nonComputable = *assets.g_BActivoNoComputable;
        figures.set("ccActivoComputable", computable.ccActivoComputable());
        figures.set("ccActivoExento", exempt.ccActivoExento());
        figures.set("ccActivoNoComputable", nonComputable.ccActivoNoComputable());
        figures.set("ccActivoExento + ccActivoNoComputable",
                    exempt.ccActivoExento() + nonComputable.ccActivoNoComputable());
        figures.set("ccActivo", assets.ccActivo());

        computable.bFind();
        figures.setFields(*computable.Entity);
        figures.set("ccDineroEfectivo", computable.ccDineroEfectivo());
        figures.set("ccDepositos", computable.ccDepositos());
        figures.set("ccCreditos", computable.ccCreditos());
        figures.set("ccBienesMueblesAmortizables", computable.ccBienesMueblesAmortizables());
        figures.set("ccInmuebles", computable.ccInmuebles());

        exempt.bFind();
        figures.setFields(*exempt.Entity);
    }
    {
        BPasivo liabilities(context);
        liabilities.CalculateLocalTotals(kPrimaryKey);
        liabilities.bFind();
        figures.setFields(*liabilities.Entity);
        figures.set("ccPasivo", liabilities.ccPasivo());
    }
    addLiquidation(context, figures, "tipo04");
    addDetermination(context, figures, "tipo04");
    {
        using Previous = tables::SaldoFavorPeriodoAnt;
        BSaldoFavorPeriodoAnt previous(context);
        previous.bFind();
        for (const tables::Column& column : {Previous::lPeriodo, Previous::cImporte}) {
            figures.set(std::string(column.name), previous.Entity->vGetFieldValue(column));
        }
    }
    return figures;
}

// What the records 90 carry.
Figures formFigures(Context& context) {
    Figures figures;
    addLiquidation(context, figures, "sGenerarRegistrointerfaceF369");
    addDetermination(context, figures, "sGenerarRegistrointerfaceF369");
    return figures;
}

}  // namespace

long tipo01(Context& context, std::ostream& file) {
    using Header = tables::DDJJ;
    const Variant period = currentHeaderValue(context, Header::lPeriodo);
    return writeChecked(context, file, kRecord01,
                        {
                            currentHeaderValue(context, Header::CUIT),
                            currentHeaderValue(context, Header::iEstablecimiento),
                            Variant(period.toText(context.numberFormat()) + "00"),
                            currentHeaderValue(context, Header::CODIGO_T_SECUENCIAS),
                            Variant(CalcularNumeroMagico(context)),
                            recordTime(currentHeaderValue(context, Header::hora)),
                            Variant(versionForRecord01()),
                        });
}

long tipo02(Context& context, std::ostream& file) {
    using Header = tables::DDJJ;
    return writeChecked(context, file, kRecord02,
                        {
                            currentHeaderValue(context, Header::iTipoEjercicioFiscal),
                            currentHeaderValue(context, Header::fPeriodoFiscalDesde),
                            currentHeaderValue(context, Header::fPeriodoFiscalHasta),
                            currentHeaderValue(context, Header::iEjercicioEconomico),
                        });
}

long tipo04(Context& context, std::ostream& file) {
    const Figures figures = declarationFigures(context);
    long written = 0;
    bool failed = false;
    for (const Item04& item : kItems04) {
        const Variant amount = item.amount.empty() ? Variant(Currency()) : figures.at(item.amount);
        const Variant quantity = item.quantity.empty() ? Variant(Currency()) : figures.at(item.quantity);
        if (writeChecked(context, file, kRecord04,
                         {Variant(std::string(item.section)), Variant(std::string(item.item)), amount, quantity}) > 0) {
            ++written;
        } else {
            failed = true;
        }
    }
    return failed ? -1 : written;
}

long BPrintDDJJ::sGenerarRegistrointerfaceF369(std::ostream& file) {
    const Figures figures = formFigures(context_);
    for (const Item90& item : kItems90) {
        const Variant values[] = {Variant(std::string(item.code)), figures.at(item.amount)};
        writeLine(file, buildRecord(kRecord90, values, context_.numberFormat()));
    }
    return static_cast<long>(std::size(kItems90));
}

long sGenerarRegistrointerface(BListSection& section, std::ostream& file, const std::function<void(double)>& progress) {
    Context& context = section.context();
    const RecordLayout& layout = section.Entity->sEntityName() == tables::Anticipos::table ? kRecord06 : kRecord05;
    const auto wholeNumber = [&context](std::string_view field) {
        return currentHeaderValue(context, field).toWholeNumber(context.numberFormat()).value_or(0);
    };
    const std::string where = " Where [CUIT] = ? And [CodDJ] = ?";
    const db::Parameters key{wholeNumber(tables::DeclarationKey::CUIT), wholeNumber(tables::DeclarationKey::CodDJ)};
    const double total =
        progress ? context.g_dbAplicativo
                       ->openRecordset("Select Count(*) As Filas From " + section.Entity->sEntityName() + where, key)
                       ->value("Filas")
                       .toDouble()
                       .value_or(0)
                 : 0;
    // One pass over the section's rows in key order, read forward: a generation holds one row
    // at a time however many the declaration has. The columns are found once, not on every row.
    auto rows = context.g_dbAplicativo->openForwardOnly(
        "Select fFecha,cImporte From " + section.Entity->sEntityName() + where + " Order By ID", key);
    const std::size_t date = rows->fieldIndex(tables::ListSection::fFecha);
    const std::size_t amount = rows->fieldIndex(tables::ListSection::cImporte);
    const NumberFormat format = context.numberFormat();
    long written = 0;
    for (; !rows->eof(); rows->moveNext()) {
        const Variant values[] = {rows->value(date), rows->value(amount)};
        if (!writeRecord(file, layout, values, format)) {
            return -1;
        }
        ++written;
        if (progress && written % kRowsPerProgress == 0 && total > 0) {
            progress(std::min(static_cast<double>(written) / total, 1.0));
        }
    }
    return written;
}

std::string tipo91(Context& context) {
    auto rows = context.g_dbOrel->openRecordset("select * from domicilio where ncontrib=? And domFiscal = True",
                                                {context.ncontrib});
    if (rows->recordCount() <= 0) {
        return {};
    }
    rows->moveFirst();
    const Variant province = rows->value("codProv");
    const Variant values[] = {
        addressText(rows->value("calle")),      addressText(rows->value("nro")),
        addressText(rows->value("sector")),     addressText(rows->value("torre")),
        addressText(rows->value("piso")),       addressText(rows->value("Dtoofloc")),
        addressText(rows->value("manzana")),    addressText(rows->value("barrio")),
        addressText(rows->value("tipoBarrio")), addressText(rows->value("localidad")),
        addressText(rows->value("partido")),    province.isNull() ? Variant(Currency()) : province,
        addressText(rows->value("codPostal")),
    };
    rows->close();
    return buildRecord(kRecord91, values, context.numberFormat());
}

std::string tipo99(Context& context) {
    BDeterminacion determination(context);
    determination.CalculateLocalTotals(kListIndex);
    const Variant values[] = {Variant(determination.ccSaldoRexa())};
    return buildRecord(kRecord99, values, context.numberFormat());
}

std::string ArmarCabecera(int a, int b, long count) {
    // A seventh digit would shift the line and leave a file the agency cannot read.
    constexpr long kMostRecords = 999999;
    if (count > kMostRecords) {
        throw Error(err::kTooManyRecords, "Componente de Generación",
                    "la Declaración Jurada tiene " + std::to_string(count) +
                        " registros y el archivo admite como máximo " + std::to_string(kMostRecords));
    }
    char text[64];
    std::snprintf(text, sizeof text, "HEAD10 %02d %02d %06ld", b, a, count);
    return text;
}

std::string formatNumeroMagico(const std::string& number) {
    if (number.empty() || number.size() >= 6 || number.find_first_not_of("0123456789") != std::string::npos) {
        return number;
    }
    return padLeft(number, 6);
}

}  // namespace kapred
