#include "ui/import_fields_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValidator>

#include <fstream>
#include <functional>
#include <iterator>

#include "ui/fixed_font.h"
#include "ui/help.h"
#include "ui/print_window.h"
#include "ui/qt_interface.h"
#include "ui/screen_fit.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

constexpr int kConcept = 0;
constexpr int kFrom = 1;
constexpr int kTo = 2;
constexpr int kImported = 3;
constexpr int kColumns = 4;

const QString kYes = QStringLiteral("Sí");
const QString kNo = QStringLiteral("No");

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A position takes the digits only: whatever else is typed is ignored.
class DigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return QString::fromStdString(typedDigits(input.toStdString())) == input ? Acceptable : Invalid;
    }
};

// The editors over the current cell: txtdato for the positions, ComboOpt for "Se importa". Enter,
// and the up and down arrows in a position, end the edit and move on.
class PositionsDelegate : public QStyledItemDelegate {
public:
    PositionsDelegate(std::function<void(int)> moved, QObject* parent)
        : QStyledItemDelegate(parent), moved_(std::move(moved)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        if (index.column() == kImported) {
            auto* choice = new QComboBox(parent);
            choice->setObjectName(QStringLiteral("ComboOpt"));
            choice->addItems({kYes, kNo});
            return choice;
        }
        auto* position = new QLineEdit(parent);
        position->setObjectName(QStringLiteral("txtdato"));
        position->setValidator(new DigitsValidator(position));
        position->setMaxLength(5);  // the largest position is 32767
        position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return position;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor != nullptr && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // In the list of "Se importa" the arrows choose; in a position they move.
            const bool arrow =
                (key == Qt::Key_Up || key == Qt::Key_Down) && qobject_cast<QLineEdit*>(editor) != nullptr;
            if (isEnter(key) || arrow) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                moved_(key);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    std::function<void(int)> moved_;
};

// The grid moves on with Enter as well when no cell is being edited.
class PositionsTable : public QTableWidget {
public:
    PositionsTable(std::function<void(int)> moved, QWidget* parent) : QTableWidget(parent), moved_(std::move(moved)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (isEnter(event->key()) && state() != EditingState) {
            moved_(event->key());
            return;
        }
        QTableWidget::keyPressEvent(event);
    }

private:
    std::function<void(int)> moved_;
};

// The window's size when one of its parts has the size it wants, as far as the screen allows.
QSize sizeWithPart(const QWidget& window, const QWidget& part, QSize wanted) {
    const QRect screen = window.screen() != nullptr ? window.screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size = window.sizeHint() - part.sizeHint() + wanted;
    return size.boundedTo(QSize(screen.width() * 9 / 10, screen.height() * 9 / 10))
        .expandedTo(window.minimumSizeHint());
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment, bool editable) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(editable ? item->flags() | Qt::ItemIsEditable : item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

frmImportar_ConfigurarCampos::frmImportar_ConfigurarCampos(Context& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      lblNombreF_(new QLabel(this)),
      lblSeccion_(new QLabel(this)),
      fixedNote_(new QLabel(this)),
      fraSeparador_(new QGroupBox(QStringLiteral("Separador decimal de los importes"), this)),
      chkPunto_(new QRadioButton(QStringLiteral("&Punto (1234.50)"), fraSeparador_)),
      chkComa_(new QRadioButton(QStringLiteral("C&oma (1234,50)"), fraSeparador_)),
      RTFBox_(new QPlainTextEdit(this)),
      gridPart_(new QWidget(this)) {
    setObjectName(QStringLiteral("frmImportar_ConfigurarCampos"));
    setHelpContext(*this, kHelpImportFields);
    const auto moved = [this](int key) { moveAfterEdit(key); };
    grilla_ = new PositionsTable(moved, this);
    grilla_->setObjectName(QStringLiteral("grilla"));
    grilla_->setAccessibleName(QStringLiteral("Posiciones de los datos"));
    grilla_->setItemDelegate(new PositionsDelegate(moved, grilla_));
    grilla_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed);
    grilla_->setSelectionMode(QAbstractItemView::SingleSelection);
    grilla_->setAlternatingRowColors(true);
    Cargar_Grilla();
    connect(grilla_, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { runGuarded(context_.ui, [&] { cellChanged(item); }); });

    lblNombreF_->setObjectName(QStringLiteral("lblNombreF"));
    lblNombreF_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSeccion_->setObjectName(QStringLiteral("lblSeccion"));
    fixedNote_->setObjectName(QStringLiteral("lblNota"));
    fixedNote_->setText(
        QStringLiteral("Este formato viene con el programa: sus posiciones no se pueden cambiar. Para un diseño "
                       "distinto, cree un formato propio."));
    fixedNote_->setWordWrap(true);
    fixedNote_->hide();

    chkPunto_->setObjectName(QStringLiteral("chkPunto"));
    chkComa_->setObjectName(QStringLiteral("chkComa"));
    fraSeparador_->setObjectName(QStringLiteral("fraSeparador"));
    auto* signs = new QHBoxLayout(fraSeparador_);
    signs->addWidget(chkPunto_);
    signs->addWidget(chkComa_);
    signs->addStretch();

    RTFBox_->setObjectName(QStringLiteral("RTFBox"));
    RTFBox_->setAccessibleName(QStringLiteral("Resumen de Errores de Importación"));
    RTFBox_->setReadOnly(true);
    RTFBox_->setFont(fixedPitchFont());
    RTFBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RTFBox_->hide();

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    const auto button = [bar, buttons](const char* name, const char* caption) {
        auto* command = new QPushButton(QString::fromUtf8(caption), bar);
        command->setObjectName(QLatin1String(name));
        command->setAutoDefault(false);
        buttons->addWidget(command);
        return command;
    };
    cmdOk_ = button("cmdOk", "Aceptar");
    cmdPrint_ = button("cmdPrint", "Imprimir");
    cmdExit_ = button("cmdExit", "Salir");
    connect(cmdOk_, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdOk_Click(); }));
    connect(cmdPrint_, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdPrint_Click(); }));
    connect(cmdExit_, &QPushButton::clicked, this, &QDialog::reject);
    DressButtonBar(*this);

    auto* gridLayout = new QVBoxLayout(gridPart_);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    auto* names = new QFormLayout;
    names->addRow(QStringLiteral("Formato:"), lblNombreF_);
    names->addRow(QStringLiteral("Sección:"), lblSeccion_);
    gridLayout->addLayout(names);
    gridLayout->addWidget(fixedNote_);
    gridLayout->addWidget(grilla_, 1);
    gridLayout->addWidget(fraSeparador_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridPart_, 1);
    layout->addWidget(RTFBox_, 1);
    layout->addWidget(bar);
}

void frmImportar_ConfigurarCampos::Cargar_Grilla() {
    grilla_->setColumnCount(kColumns);
    grilla_->setHorizontalHeaderLabels({QStringLiteral("Concepto del dato"), QStringLiteral("Desde"),
                                        QStringLiteral("Hasta"), QStringLiteral("Se importa")});
    QHeaderView* header = grilla_->horizontalHeader();
    header->setSectionResizeMode(kConcept, QHeaderView::Stretch);
    const int narrow = grilla_->fontMetrics().horizontalAdvance(QStringLiteral("Se importa")) + 28;
    for (int column : {kFrom, kTo, kImported}) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        grilla_->setColumnWidth(column, narrow);
    }
    header->setHighlightSections(false);
    grilla_->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A concept longer than its column wraps, and its row grows to show it whole; the others keep
    // the grid's usual height.
    grilla_->setWordWrap(true);
    grilla_->verticalHeader()->setMinimumSectionSize(grilla_->verticalHeader()->defaultSectionSize());
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (column == kConcept) {
            grilla_->resizeRowsToContents();
        }
    });
}

void frmImportar_ConfigurarCampos::Refrescar_Tabla(const ImportFormat& format) {
    fields_ = fieldGrid(context_, format);
    const bool fixed = format.fixedPositions();
    const QString name = QString::fromStdString(format.name);
    setWindowTitle(QStringLiteral("Configuración de Importación de ") + name);
    lblNombreF_->setText(name);
    const auto section = importSection(context_, format.section);
    lblSeccion_->setText(section ? QString::fromStdString(section->description) : QString());
    const QSignalBlocker quiet(grilla_);
    grilla_->setRowCount(static_cast<int>(fields_.rows.size()));
    int conceptWidth = 0;
    for (int r = 0; r < grilla_->rowCount(); ++r) {
        const FieldPosition& row = fields_.rows[static_cast<std::size_t>(r)];
        const QString label = QString::fromStdString(row.label);
        auto* conceptCell = cell(label, Qt::AlignLeft, false);
        conceptCell->setToolTip(row.required ? label + QStringLiteral(" (dato obligatorio: siempre se importa)")
                                             : label);
        grilla_->setItem(r, kConcept, conceptCell);
        grilla_->setItem(r, kFrom, cell(QString::fromStdString(row.from), Qt::AlignRight, !fixed));
        grilla_->setItem(r, kTo, cell(QString::fromStdString(row.to), Qt::AlignRight, !fixed));
        auto* imported = cell(row.imported ? kYes : kNo, Qt::AlignCenter, !fixed && !row.required);
        if (row.required) {
            imported->setToolTip(QStringLiteral("Dato obligatorio: siempre se importa"));
        }
        grilla_->setItem(r, kImported, imported);
        conceptWidth = std::max(conceptWidth, grilla_->fontMetrics().horizontalAdvance(label));
    }
    (fields_.point ? chkPunto_ : chkComa_)->setChecked(true);
    fraSeparador_->setEnabled(!fixed);
    fixedNote_->setVisible(fixed);

    // Wide enough for the longest concept and tall enough for every field; where the screen is
    // smaller, long concepts wrap and the grid scrolls.
    int width = grilla_->verticalHeader()->sizeHint().width() + 2 * grilla_->frameWidth() +
                grilla_->verticalScrollBar()->sizeHint().width();
    for (int column : {kFrom, kTo, kImported}) {
        width += grilla_->columnWidth(column);
    }
    const int rowHeight = grilla_->verticalHeader()->defaultSectionSize();
    const int headerHeight = grilla_->horizontalHeader()->sizeHint().height() + 2 * grilla_->frameWidth();
    grilla_->setMinimumSize(width + 240, headerHeight + 6 * rowHeight);
    gridWanted_ = QSize(width + conceptWidth + 24, headerHeight + grilla_->rowCount() * rowHeight);
    grilla_->setCurrentCell(0, kFrom);
}

void frmImportar_ConfigurarCampos::loadErrorFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The error file ends its texts with carriage returns, alone or before a line feed, and
    // writes a line's errors again each time one is added: runs of empty lines show as one.
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QRegularExpression(QStringLiteral("\n{3,}")), QStringLiteral("\n\n"));
    RTFBox_->setPlainText(text);
}

void frmImportar_ConfigurarCampos::HabilitarVentana(bool TipoRTF) {
    gridPart_->setVisible(!TipoRTF);
    RTFBox_->setVisible(TipoRTF);
    cmdOk_->setVisible(!TipoRTF);
    cmdPrint_->setVisible(!TipoRTF);
    cmdExit_->setText(TipoRTF ? QStringLiteral("Salir (Ctrl+S)") : QStringLiteral("Salir"));
    cmdExit_->setDefault(TipoRTF);
    DressButtonBar(*this);
    if (TipoRTF) {
        setWindowTitle(QStringLiteral(" Resumen de Errores de Importación "));
        const QFontMetrics metrics(RTFBox_->font());
        RTFBox_->setFocus();
        resizeWithinScreen(
            *this, sizeWithPart(*this, *RTFBox_,
                                QSize(metrics.horizontalAdvance(QLatin1Char('0')) * 96, metrics.lineSpacing() * 22)));
    } else {
        grilla_->setFocus();
        resizeWithinScreen(*this, sizeWithPart(*this, *grilla_, gridWanted_));
    }
    CenterWindow(*this);
}

FieldGrid frmImportar_ConfigurarCampos::typedGrid() const {
    FieldGrid typed = fields_;
    for (int r = 0; r < grilla_->rowCount(); ++r) {
        FieldPosition& row = typed.rows[static_cast<std::size_t>(r)];
        row.from = grilla_->item(r, kFrom)->text().trimmed().toStdString();
        row.to = grilla_->item(r, kTo)->text().trimmed().toStdString();
        row.imported = grilla_->item(r, kImported)->text() == kYes;
    }
    typed.point = chkPunto_->isChecked();
    return typed;
}

void frmImportar_ConfigurarCampos::cellChanged(QTableWidgetItem* item) {
    if (item->column() != kFrom) {
        return;
    }
    const auto& row = fields_.rows[static_cast<std::size_t>(item->row())];
    const std::string to = proposedTo(item->text().toStdString(), row.proposedWidth);
    if (!to.empty()) {
        grilla_->item(item->row(), kTo)->setText(QString::fromStdString(to));
    }
}

void frmImportar_ConfigurarCampos::moveAfterEdit(int key) {
    const int row = grilla_->currentRow();
    const int column = grilla_->currentColumn();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int target = row + (key == Qt::Key_Up ? -1 : 1);
        if (target >= 0 && target < grilla_->rowCount()) {
            grilla_->setCurrentCell(target, column);
        }
        return;
    }
    // Enter: the next cell that can be typed in, in reading order.
    for (int next = row * kColumns + column + 1; next < grilla_->rowCount() * kColumns; ++next) {
        if (QTableWidgetItem* item = grilla_->item(next / kColumns, next % kColumns);
            item != nullptr && (item->flags() & Qt::ItemIsEditable) != 0) {
            grilla_->setCurrentCell(next / kColumns, next % kColumns);
            return;
        }
    }
}

void frmImportar_ConfigurarCampos::cmdOk_Click() {
    const FieldGrid typed = typedGrid();
    switch (savePositions(context_, typed)) {
        case SaveOutcome::Saved:
        case SaveOutcome::NotSaved:
            accept();
            break;
        case SaveOutcome::Refused:
            // The grid goes to the row the refusal names.
            if (const auto problem = checkPositions(typed.rows)) {
                grilla_->setCurrentCell(static_cast<int>(problem->row), kFrom);
                grilla_->setFocus();
            }
            break;
        case SaveOutcome::Failed:
            break;
    }
}

void frmImportar_ConfigurarCampos::cmdPrint_Click() {
    const ImportFormat format = fields_.format;
    showPrintJob(
        context_, [this, format] { return print::formatJob(context_, format); }, this);
}

}  // namespace kapred::ui
