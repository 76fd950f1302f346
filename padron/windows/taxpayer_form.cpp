#include "windows/taxpayer_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/cuit.h"
#include "data/engine/database.h"
#include "ui/help.h"
#include "ui/qt_interface.h"
#include "windows/help_topics.h"

namespace kapred::padron {

namespace {

constexpr int kCodeRole = Qt::UserRole;

// A part of an address: a text, or a code of a reference list.
struct AddressColumn {
    const char* column;
    const char* label;  // with its access key
    std::string Address::*text;
    std::optional<int> Address::*code;
};

// In the form's reading order, which is the registry's.
const AddressColumn kAddressColumns[] = {
    {"calle", "Call&e:", &Address::calle, nullptr},
    {"nro", "&Número:", &Address::nro, nullptr},
    {"sector", "&Sector:", &Address::sector, nullptr},
    {"torre", "&Torre:", &Address::torre, nullptr},
    {"piso", "&Piso:", &Address::piso, nullptr},
    {"Dtoofloc", "&Dto/of/loc:", &Address::Dtoofloc, nullptr},
    {"manzana", "&Manzana:", &Address::manzana, nullptr},
    {"barrio", "&Barrio:", &Address::barrio, nullptr},
    {"tipobarrio", "T&ipo de barrio:", nullptr, &Address::tipobarrio},
    {"localidad", "&Localidad:", &Address::localidad, nullptr},
    {"partido", "Pa&rtido:", &Address::partido, nullptr},
    {"codprov", "Pr&ovincia:", nullptr, &Address::codprov},
    {"codpostal", "Códi&go postal:", &Address::codpostal, nullptr},
};

constexpr const char* kPersonColumns[] = {"apeNomTitular", "nroDocum", "paisTitular"};

template <std::size_t N>
int indexOf(const char* const (&columns)[N], const std::string& column) {
    const auto found = std::find(std::begin(columns), std::end(columns), column);
    return found != std::end(columns) ? static_cast<int>(found - std::begin(columns)) : 0;
}

int addressIndexOf(const std::string& column) {
    const auto found = std::find_if(std::begin(kAddressColumns), std::end(kAddressColumns),
                                    [&](const AddressColumn& entry) { return column == entry.column; });
    return found != std::end(kAddressColumns) ? static_cast<int>(found - std::begin(kAddressColumns)) : 0;
}

// A column of a list: a text of at most `width` characters, or an entry of `codes`.
struct CellColumn {
    std::string column;
    int width = 0;  // 0 for a list column
    std::vector<CodeName> codes;
    bool digits = false;
};

void fillCodes(QComboBox& combo, const std::vector<CodeName>& codes) {
    // The empty entry: a value not given.
    combo.addItem(QString());
    for (const CodeName& entry : codes) {
        combo.addItem(QString::fromStdString(entry.name), entry.code);
    }
}

void selectCode(QComboBox& combo, const std::optional<int>& code) {
    combo.setCurrentIndex(code ? std::max(0, combo.findData(*code)) : 0);
}

std::optional<int> codeOf(const QVariant& data) {
    return data.isValid() ? std::optional<int>(data.toInt()) : std::nullopt;
}

QValidator* digitsOnly(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

// The editors of a list's cells: the column's width or its reference list.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(std::vector<CellColumn> columns, QObject* parent)
        : QStyledItemDelegate(parent), columns_(std::move(columns)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const CellColumn& column = columns_[static_cast<std::size_t>(index.column())];
        if (column.width == 0) {
            auto* combo = new QComboBox(parent);
            fillCodes(*combo, column.codes);
            return combo;
        }
        auto* line = new QLineEdit(parent);
        line->setMaxLength(column.width);
        if (column.digits) {
            line->setValidator(digitsOnly(line));
        }
        return line;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            selectCode(*combo, codeOf(index.data(kCodeRole)));
        } else {
            QStyledItemDelegate::setEditorData(editor, index);
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentData(), kCodeRole);
            model->setData(index, combo->currentText(), Qt::DisplayRole);
        } else {
            QStyledItemDelegate::setModelData(editor, model, index);
        }
    }

private:
    std::vector<CellColumn> columns_;
};

QTableWidget* rowsTable(const QString& name, const std::vector<CellColumn>& columns, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(columns.size()), parent);
    table->setObjectName(name);
    QStringList captions;
    for (const CellColumn& column : columns) {
        captions << QString::fromStdString(captionOf(column.column));
    }
    table->setHorizontalHeaderLabels(captions);
    table->setItemDelegate(new CellDelegate(columns, table));
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    // Tab leaves the list, as in the rest of the form; the arrows move between its cells.
    table->setTabKeyNavigation(false);
    // Each column as wide as a good part of what it holds, so the cell being written shows it.
    const QFontMetrics metrics = table->fontMetrics();
    for (int index = 0; index < table->columnCount(); ++index) {
        const CellColumn& column = columns[static_cast<std::size_t>(index)];
        const int characters = column.width == 0 ? 22 : std::clamp(column.width, 6, 24);
        table->setColumnWidth(index, std::max(metrics.horizontalAdvance(QString(characters, QLatin1Char('n'))),
                                              metrics.horizontalAdvance(captions[index]) + 12) +
                                         12);
    }
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void setCell(QTableWidget& table, int row, int column, const std::string& text, const std::optional<int>& code = {}) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    if (code) {
        item->setData(kCodeRole, *code);
    }
    table.setItem(row, column, item);
}

// The name of a code in its list, for a cell that shows it.
std::string nameOf(const std::vector<CodeName>& codes, const std::optional<int>& code) {
    if (!code) {
        return {};
    }
    const auto found =
        std::find_if(codes.begin(), codes.end(), [&](const CodeName& entry) { return entry.code == *code; });
    return found != codes.end() ? found->name : std::to_string(*code);
}

QString cellText(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = table.item(row, column);
    return item != nullptr ? item->text() : QString();
}

std::optional<int> cellCode(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = table.item(row, column);
    return item != nullptr ? codeOf(item->data(kCodeRole)) : std::nullopt;
}

bool blankRow(const QTableWidget& table, int row) {
    for (int column = 0; column < table.columnCount(); ++column) {
        if (!cellText(table, row, column).trimmed().isEmpty() || cellCode(table, row, column)) {
            return false;
        }
    }
    return true;
}

// The list with its Agregar and Quitar buttons beside it.
QWidget* withRowButtons(QTableWidget* table, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* add = new QPushButton(QStringLiteral("A&gregar"), box);
    add->setObjectName(table->objectName() + QStringLiteral("Add"));
    auto* remove = new QPushButton(QStringLiteral("&Quitar"), box);
    remove->setObjectName(table->objectName() + QStringLiteral("Remove"));
    for (QPushButton* button : {add, remove}) {
        // Enter saves the form wherever the focus is.
        button->setAutoDefault(false);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    QObject::connect(add, &QPushButton::clicked, table, [table] {
        const int row = table->rowCount();
        table->insertRow(row);
        for (int column = 0; column < table->columnCount(); ++column) {
            table->setItem(row, column, new QTableWidgetItem);
        }
        table->setCurrentCell(row, 0);
        table->setFocus();
        table->editItem(table->item(row, 0));
    });
    QObject::connect(remove, &QPushButton::clicked, table, [table] {
        if (table->currentRow() >= 0) {
            table->removeRow(table->currentRow());
        }
        table->setFocus();
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    layout->addStretch();
    return box;
}

// Narrows an input to the characters it takes, so short codes do not look like long texts.
void fitTo(QWidget& input, int characters) {
    input.setMaximumWidth(input.fontMetrics().horizontalAdvance(QString(characters + 1, QLatin1Char('0'))) + 24);
}

QLabel* buddyLabel(const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TaxpayerForm::TaxpayerForm(Padron& padron, std::optional<Taxpayer> existing, QWidget* parent)
    : QDialog(parent), padron_(padron), adding_(!existing) {
    Taxpayer taxpayer;
    if (existing) {
        taxpayer = *existing;
    } else {
        taxpayer.formaJuridica = kCooperativeLegalForm;
    }
    setObjectName(QStringLiteral("frmContribuyente"));
    setWindowTitle(
        adding_ ? QStringLiteral("Nuevo contribuyente")
                : QStringLiteral("Contribuyente %1").arg(QString::fromStdString(sFormatCuit(taxpayer.cuit, true))));
    ui::setHelpContext(*this, kHelpTaxpayer);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->addTab(buildGeneral(taxpayer), QStringLiteral("Datos generales"));
    tabs_->addTab(buildFiscalAddress(taxpayer.domicilioFiscal), QStringLiteral("Domicilio fiscal"));
    tabs_->addTab(buildOtherAddresses(taxpayer.otrosDomicilios), QStringLiteral("Otros domicilios"));
    tabs_->addTab(buildPersons(taxpayer.responsables), QStringLiteral("Responsables sustitutos"));

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("&Aceptar"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* help = buttons->addButton(QStringLiteral("A&yuda"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("cmdHelp"));
    for (QPushButton* button : {cancel, help}) {
        button->setAutoDefault(false);
    }
    connect(ok, &QPushButton::clicked, this, ui::guarded(padron_.context().ui, [this] { save(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ui::showHelp(kHelpTaxpayer, this); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    // Ctrl+Tab turns the tabs, as everywhere; Ctrl+PgDn and Ctrl+PgUp as in many programs too.
    for (const auto& [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
        connect(new QShortcut(QKeySequence(Qt::CTRL | key), this), &QShortcut::activated, this, [this, step = step] {
            tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) % tabs_->count());
        });
    }
    resize(760, 520);
    // The first field to type in, not the tab bar that comes first in the focus chain: the CUIT
    // of a new taxpayer, the name of a registered one.
    findChild<QLineEdit*>(adding_ ? QStringLiteral("txtcuit") : QStringLiteral("txtdescrip"))->setFocus();
}

int TaxpayerForm::width(const std::string& table, const std::string& column) {
    return static_cast<int>(padron_.registry().width(table, column));
}

QWidget* TaxpayerForm::buildGeneral(const Taxpayer& taxpayer) {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);

    auto* cuit = new QLineEdit(page);
    cuit->setObjectName(QStringLiteral("txtcuit"));
    cuit->setMaxLength(13);
    if (adding_) {
        // Eleven digits, with the dashes after the second and the tenth or without them.
        cuit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,2}(-[0-9]{0,8}(-[0-9]?)?|[0-9]{0,9})")), cuit));
        cuit->setPlaceholderText(QStringLiteral("30-71234567-1"));
        cuit->setToolTip(QStringLiteral("Once dígitos, con o sin guiones"));
    } else {
        cuit->setText(QString::fromStdString(sFormatCuit(taxpayer.cuit, true)));
        cuit->setReadOnly(true);
        cuit->setToolTip(QStringLiteral("El CUIT de un contribuyente registrado no se puede cambiar"));
    }
    fitTo(*cuit, 13);
    form->addRow(buddyLabel("C&UIT:", cuit, page), cuit);

    auto* name = new QLineEdit(QString::fromStdString(taxpayer.descrip), page);
    name->setObjectName(QStringLiteral("txtdescrip"));
    name->setMaxLength(width("contribs", "descrip"));
    form->addRow(buddyLabel("&Razón social:", name, page), name);

    auto* month = new QSpinBox(page);
    month->setObjectName(QStringLiteral("txtmescierreejcom"));
    // 0 stands for a month not given, shown empty, which the registry refuses.
    month->setRange(0, 12);
    month->setSpecialValueText(QStringLiteral(" "));
    month->setValue(taxpayer.mescierreejcom);
    month->setToolTip(QStringLiteral("Mes (1 a 12) en que cierra el ejercicio comercial"));
    fitTo(*month, 4);
    form->addRow(buddyLabel("&Mes de cierre:", month, page), month);

    auto* legalForm = new QComboBox(page);
    legalForm->setObjectName(QStringLiteral("cboformaJuridica"));
    fillCodes(*legalForm, padron_.registry().legalForms());
    selectCode(*legalForm, taxpayer.formaJuridica);
    form->addRow(buddyLabel("Forma &jurídica:", legalForm, page), legalForm);

    auto* promoted = new QCheckBox(QStringLiteral("Empresa &promovida"), page);
    promoted->setObjectName(QStringLiteral("chkempProm"));
    promoted->setChecked(taxpayer.empProm);
    form->addRow(QString(), promoted);

    auto* activity = new QLineEdit(QString::fromStdString(taxpayer.actividadPrincipal), page);
    activity->setObjectName(QStringLiteral("txtactividadPrincipal"));
    activity->setMaxLength(width("actcontrib", "CodAct"));
    activity->setValidator(digitsOnly(activity));
    activity->setToolTip(QStringLiteral("Código de actividad de seis dígitos"));
    fitTo(*activity, 6);
    form->addRow(buddyLabel("Actividad pr&incipal:", activity, page), activity);

    activities_ = rowsTable(QStringLiteral("grdactividadesSecundarias"),
                            {CellColumn{"CodAct", width("actcontrib", "CodAct"), {}, true}}, page);
    for (const std::string& code : taxpayer.actividadesSecundarias) {
        const int row = activities_->rowCount();
        activities_->insertRow(row);
        setCell(*activities_, row, 0, code);
    }
    activities_->setToolTip(QStringLiteral("Códigos de actividad de seis dígitos"));
    activities_->setMaximumWidth(260);
    form->addRow(buddyLabel("Actividades secu&ndarias:", activities_, page), withRowButtons(activities_, page));
    return page;
}

QWidget* TaxpayerForm::buildFiscalAddress(const Address& address) {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    for (const AddressColumn& entry : kAddressColumns) {
        QWidget* input = nullptr;
        if (entry.text != nullptr) {
            auto* line = new QLineEdit(QString::fromStdString(address.*entry.text), page);
            line->setObjectName(QStringLiteral("txt") + QLatin1String(entry.column));
            line->setMaxLength(width("domicilio", entry.column));
            // The short parts alike, so the column of inputs looks even.
            if (line->maxLength() <= 8) {
                fitTo(*line, 8);
            }
            input = line;
        } else {
            auto* combo = new QComboBox(page);
            combo->setObjectName(QStringLiteral("cbo") + QLatin1String(entry.column));
            fillCodes(*combo, std::string(entry.column) == "codprov" ? padron_.registry().provinces()
                                                                     : padron_.registry().neighbourhoodTypes());
            selectCode(*combo, address.*entry.code);
            input = combo;
        }
        form->addRow(buddyLabel(entry.label, input, page), input);
    }
    return page;
}

QWidget* TaxpayerForm::buildOtherAddresses(const std::vector<Address>& addresses) {
    auto* page = new QWidget(this);
    const auto provinces = padron_.registry().provinces();
    const auto types = padron_.registry().neighbourhoodTypes();
    std::vector<CellColumn> columns;
    for (const AddressColumn& entry : kAddressColumns) {
        if (entry.text != nullptr) {
            columns.push_back({entry.column, width("domicilio", entry.column), {}, false});
        } else {
            columns.push_back({entry.column, 0, std::string(entry.column) == "codprov" ? provinces : types, false});
        }
    }
    addresses_ = rowsTable(QStringLiteral("grdotrosDomicilios"), columns, page);
    for (const Address& address : addresses) {
        const int row = addresses_->rowCount();
        addresses_->insertRow(row);
        int column = 0;
        for (const AddressColumn& entry : kAddressColumns) {
            if (entry.text != nullptr) {
                setCell(*addresses_, row, column, address.*entry.text);
            } else {
                setCell(*addresses_, row, column,
                        nameOf(columns[static_cast<std::size_t>(column)].codes, address.*entry.code),
                        address.*entry.code);
            }
            ++column;
        }
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        buddyLabel("&Domicilios además del fiscal (doble clic o F2 para escribir en una celda):", addresses_, page));
    layout->addWidget(withRowButtons(addresses_, page), 1);
    return page;
}

QWidget* TaxpayerForm::buildPersons(const std::vector<Person>& persons) {
    auto* page = new QWidget(this);
    const auto countries = padron_.registry().countries();
    persons_ = rowsTable(QStringLiteral("grdresponsables"),
                         {CellColumn{"apeNomTitular", width("respsustitutos", "apeNomTitular"), {}, false},
                          CellColumn{"nroDocum", width("respsustitutos", "nroDocum"), {}, false},
                          CellColumn{"paisTitular", 0, countries, false}},
                         page);
    for (const Person& person : persons) {
        const int row = persons_->rowCount();
        persons_->insertRow(row);
        setCell(*persons_, row, 0, person.apeNomTitular);
        setCell(*persons_, row, 1, person.nroDocum);
        setCell(*persons_, row, 2, nameOf(countries, person.paisTitular), person.paisTitular);
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        buddyLabel("&Responsables por deuda ajena (doble clic o F2 para escribir en una celda):", persons_, page));
    layout->addWidget(withRowButtons(persons_, page), 1);
    return page;
}

Taxpayer TaxpayerForm::typed() {
    const auto text = [this](const char* name) {
        return findChild<QLineEdit*>(QLatin1String(name))->text().toStdString();
    };
    const auto code = [this](const QString& name) { return codeOf(findChild<QComboBox*>(name)->currentData()); };

    Taxpayer taxpayer;
    taxpayer.cuit = text("txtcuit");
    taxpayer.descrip = text("txtdescrip");
    taxpayer.mescierreejcom = findChild<QSpinBox*>(QStringLiteral("txtmescierreejcom"))->value();
    taxpayer.formaJuridica = code(QStringLiteral("cboformaJuridica"));
    taxpayer.empProm = findChild<QCheckBox*>(QStringLiteral("chkempProm"))->isChecked();
    taxpayer.actividadPrincipal = text("txtactividadPrincipal");

    activityRows_.clear();
    for (int row = 0; row < activities_->rowCount(); ++row) {
        if (!blankRow(*activities_, row)) {
            taxpayer.actividadesSecundarias.push_back(cellText(*activities_, row, 0).trimmed().toStdString());
            activityRows_.push_back(row);
        }
    }
    for (const AddressColumn& entry : kAddressColumns) {
        if (entry.text != nullptr) {
            taxpayer.domicilioFiscal.*entry.text = text((std::string("txt") + entry.column).c_str());
        } else {
            taxpayer.domicilioFiscal.*entry.code = code(QStringLiteral("cbo") + QLatin1String(entry.column));
        }
    }
    addressRows_.clear();
    for (int row = 0; row < addresses_->rowCount(); ++row) {
        if (blankRow(*addresses_, row)) {
            continue;
        }
        Address address;
        int column = 0;
        for (const AddressColumn& entry : kAddressColumns) {
            if (entry.text != nullptr) {
                address.*entry.text = cellText(*addresses_, row, column).toStdString();
            } else {
                address.*entry.code = cellCode(*addresses_, row, column);
            }
            ++column;
        }
        taxpayer.otrosDomicilios.push_back(address);
        addressRows_.push_back(row);
    }
    personRows_.clear();
    for (int row = 0; row < persons_->rowCount(); ++row) {
        if (!blankRow(*persons_, row)) {
            taxpayer.responsables.push_back({cellText(*persons_, row, 0).toStdString(),
                                             cellText(*persons_, row, 1).toStdString(), cellCode(*persons_, row, 2)});
            personRows_.push_back(row);
        }
    }
    return taxpayer;
}

void TaxpayerForm::save() {
    Taxpayer taxpayer = typed();
    try {
        if (adding_) {
            padron_.registry().add(taxpayer);
        } else {
            padron_.registry().modify(taxpayer);
        }
    } catch (const Refused& refused) {
        showRefusal(refused.refusal());
        return;
    }
    savedCuit_ = commandLineCuit(taxpayer.cuit).value_or(taxpayer.cuit);
    accept();
}

void TaxpayerForm::showTabOf(const QWidget& control) {
    for (int tab = 0; tab < tabs_->count(); ++tab) {
        if (tabs_->widget(tab)->isAncestorOf(&control)) {
            tabs_->setCurrentIndex(tab);
        }
    }
}

void TaxpayerForm::showRefusal(const Refusal& refusal) {
    MsgError(padron_.context().ui, refusal.message);
    const auto focusCell = [this](QTableWidget* table, const std::vector<int>& rows, int row, int column) {
        showTabOf(*table);
        if (row >= 0 && static_cast<std::size_t>(row) < rows.size()) {
            table->setCurrentCell(rows[static_cast<std::size_t>(row)], column);
        }
        table->setFocus();
    };
    switch (refusal.part) {
        case Part::SecondaryActivity:
            focusCell(activities_, activityRows_, refusal.row, 0);
            return;
        case Part::OtherAddress:
            focusCell(addresses_, addressRows_, refusal.row, addressIndexOf(refusal.column));
            return;
        case Part::Person:
            focusCell(persons_, personRows_, refusal.row, indexOf(kPersonColumns, refusal.column));
            return;
        case Part::Taxpayer:
        case Part::FiscalAddress:
            break;
    }
    const QString column = QString::fromStdString(refusal.column);
    for (const char* prefix : {"txt", "cbo", "chk"}) {
        if (auto* control = findChild<QWidget*>(QLatin1String(prefix) + column)) {
            showTabOf(*control);
            control->setFocus();
            if (auto* line = qobject_cast<QLineEdit*>(control)) {
                line->selectAll();
            }
            return;
        }
    }
}

}  // namespace kapred::padron
