#include "ui/window_routines.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>

#include <array>
#include <utility>

#include "data/values/numeric_text.h"
#include "ui/input_widgets.h"

namespace kapred::ui {

namespace {

// The standard buttons that browsing shows only when the window has records.
constexpr std::array kRecordButtons{"cmdDelete",    "cmdEdit",       "cmdGenerate", "cmdForm", "cmdDetail",
                                    "cmdDeleteAll", "cmdDeleteItem", "cmdQuery",    "cmdCopy", "cmdPrint"};
// The ones browsing always shows.
constexpr std::array kAlwaysButtons{"cmdExit", "cmdImport", "cmdExport"};

bool isOneOf(const QString& name, const auto& names) {
    for (const char* candidate : names) {
        if (name == QLatin1String(candidate)) {
            return true;
        }
    }
    return false;
}

// The picture of a button from the desktop's icon theme, by the part of its name after "cmd",
// with one of the toolkit's own pictures when the theme has none.
QIcon buttonIcon(const QString& key, const QStyle& style) {
    struct Picture {
        const char* key;
        const char* themeName;
        QStyle::StandardPixmap fallback;
    };
    static constexpr Picture kPictures[] = {
        {"New", "document-new", QStyle::SP_FileIcon},
        {"Edit", "document-properties", QStyle::SP_FileDialogDetailedView},
        {"Delete", "edit-delete", QStyle::SP_TrashIcon},
        {"DeleteAll", "edit-clear-all", QStyle::SP_DialogDiscardButton},
        {"DeleteItem", "list-remove", QStyle::SP_TrashIcon},
        {"Ok", "dialog-ok", QStyle::SP_DialogApplyButton},
        {"Cancel", "dialog-cancel", QStyle::SP_DialogCancelButton},
        {"Exit", "application-exit", QStyle::SP_DialogCloseButton},
        {"Print", "document-print", QStyle::SP_ComputerIcon},
        {"Form", "document-print-preview", QStyle::SP_FileDialogContentsView},
        {"Generate", "document-save-as", QStyle::SP_DialogSaveButton},
        {"Import", "document-open", QStyle::SP_DialogOpenButton},
        {"Export", "document-save", QStyle::SP_DialogSaveButton},
        {"Copy", "edit-copy", QStyle::SP_FileLinkIcon},
        {"Query", "edit-find", QStyle::SP_FileDialogInfoView},
        {"Detail", "go-next", QStyle::SP_ArrowRight},
    };
    for (const auto& picture : kPictures) {
        if (key == QLatin1String(picture.key)) {
            return QIcon::fromTheme(QLatin1String(picture.themeName), style.standardIcon(picture.fallback));
        }
    }
    return {};
}

bool isList(const QWidget* widget) {
    return qobject_cast<const QAbstractItemView*>(widget) != nullptr;
}

bool isTextInput(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr;
}

bool isInput(const QWidget* widget) {
    return isTextInput(widget) || qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QCheckBox*>(widget) != nullptr || qobject_cast<const QRadioButton*>(widget) != nullptr;
}

void setReadOnly(QWidget* widget, bool readOnly) {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setReadOnly(readOnly);
    } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        text->setReadOnly(readOnly);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setReadOnly(readOnly);
    } else {
        // Lists and boxes have no read-only state of their own.
        widget->setEnabled(!readOnly);
    }
}

bool isReadOnly(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
        return line->isReadOnly();
    }
    if (const auto* text = qobject_cast<const QTextEdit*>(widget)) {
        return text->isReadOnly();
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) {
        return plain->isReadOnly();
    }
    return !widget->isEnabled();
}

// The first control of the window that stands for the field (labels never do).
QWidget* controlFor(QWidget& window, const std::string& field) {
    const QString column = QString::fromStdString(field);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (isInput(control) && columnOf(*control).compare(column, Qt::CaseInsensitive) == 0) {
            return control;
        }
    }
    return nullptr;
}

void selectByData(QComboBox& list, const Variant& value) {
    const auto wanted = value.toWholeNumber();
    int found = -1;
    for (int i = 0; wanted && i < list.count(); ++i) {
        if (list.itemData(i).toLongLong() == *wanted) {
            found = i;
            break;
        }
    }
    list.setCurrentIndex(found);
}

QString shownValue(const QWidget& control, const Variant& value) {
    if (qobject_cast<const DateEdit*>(&control) != nullptr) {
        const auto date = value.toDate();
        return date && static_cast<int>(date->date().year()) >= 1900 ? QString::fromStdString(formatDate(*date))
                                                                     : QString();
    }
    if (const auto* number = qobject_cast<const NumberEdit*>(&control)) {
        const auto amount = value.toCurrency();
        if (!amount || amount->isZero()) {
            return {};
        }
        return QString::fromStdString(formatAmount(*amount, number->decimals(), number->decimals() > 0));
    }
    return QString::fromStdString(value.toText());
}

}  // namespace

std::optional<bool> standardButtonVisible(const QString& name, int mode, bool hasRecords, bool singleRow) {
    const bool standard = name == QLatin1String("cmdOk") || name == QLatin1String("cmdCancel") ||
                          name == QLatin1String("cmdNew") || isOneOf(name, kAlwaysButtons) ||
                          isOneOf(name, kRecordButtons);
    if (!standard || (mode != kEditing && mode != kBrowsing)) {
        return std::nullopt;
    }
    if (name == QLatin1String("cmdOk") || name == QLatin1String("cmdCancel")) {
        return mode == kEditing;
    }
    if (mode == kEditing) {
        return false;
    }
    if (name == QLatin1String("cmdNew")) {
        return !singleRow || !hasRecords;
    }
    return isOneOf(name, kAlwaysButtons) || hasRecords;
}

void SetButtonsState(QWidget& window, int mode, bool hasRecords, bool singleRow) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (const auto visible = standardButtonVisible(button->objectName(), mode, hasRecords, singleRow)) {
            button->setVisible(*visible);
        }
    }
}

void DressButtonBar(QWidget& window) {
    auto* bar = window.findChild<QWidget*>(QStringLiteral("picMant"));
    if (bar == nullptr) {
        return;
    }
    for (QAbstractButton* button : bar->findChildren<QAbstractButton*>()) {
        QString caption = button->text();
        button->setToolTip(QString(caption).remove(QLatin1Char('&')));
        button->setAccessibleName(button->toolTip());
        // The shortcut between parentheses stays in the tooltip; the button shows the word.
        if (const auto open = caption.indexOf(QLatin1String(" (")); open > 0) {
            caption.truncate(open);
        }
        button->setText(caption);
        const QIcon icon = buttonIcon(button->objectName().mid(3), *window.style());
        if (!icon.isNull()) {
            button->setIcon(icon);
        }
    }
}

void CenterWindow(QWidget& window) {
    QRect area;
    if (const QWidget* parent = window.parentWidget(); parent != nullptr && parent->window() != &window) {
        area = parent->window()->geometry();
    } else if (const QScreen* screen = window.screen(); screen != nullptr) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

void ClearControls(QWidget& window) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (auto* box = qobject_cast<QAbstractButton*>(control);
            box != nullptr &&
            (qobject_cast<QCheckBox*>(box) != nullptr || qobject_cast<QRadioButton*>(box) != nullptr)) {
            box->setChecked(false);
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            if (!label->property("tag").toString().isEmpty()) {
                label->clear();
            }
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            if (list->objectName().startsWith(QLatin1String("dbc"))) {
                selectByData(*list, Variant(std::int32_t{0}));
            } else {
                list->setCurrentIndex(-1);
            }
        } else if (isTextInput(control)) {
            if (columnOf(*control).startsWith(QLatin1String("cc")) && isReadOnly(control)) {
                continue;
            }
            const QString empty = control->property("Decimales").toInt() == 2 ? QStringLiteral("0") : QString();
            if (auto* line = qobject_cast<QLineEdit*>(control)) {
                line->setText(empty);
            } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
                text->setPlainText(empty);
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
                plain->setPlainText(empty);
            }
        }
    }
}

void EnableInputs(int mode, QWidget& window, bool lists) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (isList(control)) {
            control->setEnabled(mode == kBrowsing && lists);
        } else if (control->objectName().contains(QLatin1String("txtcc"))) {
            setReadOnly(control, true);
            control->setFocusPolicy(Qt::NoFocus);
        } else if (isInput(control)) {
            const bool locked = control->property("locked").toBool();
            const bool editable = !locked && mode == kEditing;
            setReadOnly(control, !editable);
            control->setFocusPolicy(editable || locked ? Qt::StrongFocus : Qt::NoFocus);
        }
    }
    if (mode != kEditing) {
        return;
    }
    for (QWidget* next = window.nextInFocusChain(); next != nullptr && next != &window;
         next = next->nextInFocusChain()) {
        if (isInput(next) && next->isVisibleTo(&window) && next->isEnabled() && !isReadOnly(next) &&
            (next->focusPolicy() & Qt::TabFocus) != 0) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QString columnOf(const QWidget& control) {
    if (qobject_cast<const QLabel*>(&control) != nullptr || control.objectName().size() <= 3) {
        return {};
    }
    return control.objectName().mid(3);
}

void ShowEntity(QWidget& window, std::span<const tables::Column> columns, const EntityBase& entity) {
    for (const auto& column : columns) {
        QWidget* control = controlFor(window, std::string(column.name));
        if (control == nullptr) {
            continue;
        }
        const Variant& value = entity.vGetFieldValue(column);
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            selectByData(*list, value);
        } else if (auto* box = qobject_cast<QAbstractButton*>(control)) {
            box->setChecked(value.toDouble().value_or(0) != 0);
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            line->setText(shownValue(*control, value));
        } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
            text->setPlainText(shownValue(*control, value));
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
            plain->setPlainText(shownValue(*control, value));
        }
    }
}

EntryValues ReadControls(QWidget& window, std::span<const tables::Column> columns) {
    EntryValues values;
    for (const auto& column : columns) {
        const std::string field(column.name);
        QWidget* control = controlFor(window, field);
        if (control == nullptr) {
            continue;
        }
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            const QVariant data = list->currentIndex() >= 0 ? list->currentData() : QVariant();
            values.push_back({field, Variant(data.isValid() ? data.toString().toStdString() : std::string())});
        } else if (auto* box = qobject_cast<QAbstractButton*>(control)) {
            values.push_back({field, Variant(box->isChecked())});
        } else if (auto* date = qobject_cast<DateEdit*>(control)) {
            values.push_back({field, Variant(date->date().toStdString())});
        } else if (auto* number = qobject_cast<NumberEdit*>(control);
                   number != nullptr && number->decimals() > 0 && number->text().trimmed().isEmpty()) {
            // The transfer shows an amount of 0 as an empty box: read back, it is 0 again.
            values.push_back({field, Variant("0")});
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            values.push_back({field, Variant(line->text().trimmed().toStdString())});
        } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
            values.push_back({field, Variant(text->toPlainText().toStdString())});
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
            values.push_back({field, Variant(plain->toPlainText().toStdString())});
        }
    }
    return values;
}

void FocusFirstListed(QWidget& window, const BusinessObject& object) {
    for (const auto& entry : object.g_vecErroresInconsistencia.entries()) {
        QWidget* control = entry.field.empty() ? nullptr : controlFor(window, entry.field);
        if (control == nullptr || !control->isEnabled()) {
            continue;
        }
        for (QWidget* up = control; up != nullptr && up != &window; up = up->parentWidget()) {
            if (auto* pages = qobject_cast<QTabWidget*>(up); pages != nullptr) {
                for (int page = 0; page < pages->count(); ++page) {
                    if (pages->widget(page)->isAncestorOf(control)) {
                        pages->setCurrentIndex(page);
                    }
                }
            }
        }
        control->setFocus();
        return;
    }
}

QStandardItem* gridCell(const QString& text, const QVariant& sortKey, Qt::Alignment alignment) {
    auto* item = new QStandardItem(text);
    // The model compares only int, long long and their like as numbers; a long would go as text.
    const bool narrowWhole = sortKey.typeId() == QMetaType::Long || sortKey.typeId() == QMetaType::ULong ||
                             sortKey.typeId() == QMetaType::Short || sortKey.typeId() == QMetaType::UShort;
    item->setData(narrowWhole ? QVariant(sortKey.toLongLong()) : sortKey, kSortRole);
    item->setData(QVariant::fromValue(int(alignment | Qt::AlignVCenter)), Qt::TextAlignmentRole);
    item->setEditable(false);
    return item;
}

int rowOfKey(const QStandardItemModel& rows, int role, long long key) {
    for (int r = 0; r < rows.rowCount(); ++r) {
        if (rows.item(r, 0)->data(role).toLongLong() == key) {
            return r;
        }
    }
    return -1;
}

void alignForms(QWidget& window) {
    // Every label as wide as the widest: forms nested alike then start their inputs at one x, on
    // every page, shown or not, without waiting for a geometry.
    std::vector<QWidget*> labels;
    int widest = 0;
    for (auto* form : window.findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole);
            if (item != nullptr && item->widget() != nullptr) {
                labels.push_back(item->widget());
                widest = std::max(widest, item->widget()->sizeHint().width());
            }
        }
    }
    for (QWidget* text : labels) {
        text->setMinimumWidth(widest);
    }
}

QList<QWidget*> tabStops(QWidget& window, QWidget& within) {
    QList<QWidget*> stops;
    for (QWidget* next = window.nextInFocusChain(); next != nullptr && next != &window;
         next = next->nextInFocusChain()) {
        if (within.isAncestorOf(next) && next->isEnabled() && next->isVisibleTo(&within) &&
            (next->focusPolicy() & Qt::TabFocus) != 0) {
            stops.append(next);
        }
    }
    return stops;
}

void focusFirstButton(QWidget& window) {
    auto* bar = window.findChild<QWidget*>(QStringLiteral("picMant"));
    if (bar == nullptr) {
        return;
    }
    for (auto* button : bar->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&window) && button->isEnabled()) {
            button->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void fitTitle(QWidget& window) {
    // The title bar's font is the desktop's, usually bold; its icon and buttons take the rest.
    QFont title = window.font();
    title.setBold(true);
    constexpr int kTitleBarExtras = 160;
    const int needed = QFontMetrics(title).horizontalAdvance(window.windowTitle()) + kTitleBarExtras;
    if (window.width() < needed) {
        window.resize(needed, window.height());
    }
}

void shadeReadOnly(QWidget& window) {
    // Whoever makes a box read-only, it takes the window's colour and no longer looks writable.
    window.setStyleSheet(window.styleSheet() + QStringLiteral("QLineEdit:read-only { background: palette(window); }"));
}

namespace {

// The letter after a single "&" of a caption, in lower case; nothing when it has none.
QChar accessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] != QLatin1Char('&')) {
                return caption[i + 1].toLower();
            }
            ++i;
        }
    }
    return {};
}

// Marks the first letter of the caption that is free, the one its Ctrl hint names first ("Nuevo
// (Ctrl+N)", kept in the tooltip by the bar's dressing).
void giveAccessKey(QAbstractButton& button, QSet<QChar>& taken) {
    QString caption = button.text();
    QString candidates = caption;
    if (const auto hint = button.toolTip().indexOf(QLatin1String("Ctrl+")); hint >= 0) {
        candidates.prepend(button.toolTip().mid(hint + 5, 1));
    }
    for (const QChar candidate : candidates) {
        const QChar letter = candidate.toLower();
        const auto at = caption.indexOf(letter, 0, Qt::CaseInsensitive);
        // Plain letters only: Alt with an accented one is beyond many keyboards.
        if (letter < QLatin1Char('a') || letter > QLatin1Char('z') || taken.contains(letter) || at < 0) {
            continue;
        }
        caption.insert(at, QLatin1Char('&'));
        button.setText(caption);
        taken.insert(letter);
        return;
    }
}

// Enter or Return on a focused button presses it, as Space does; a frame's access key leads to
// its first input in tab order (the toolkit would go back to whatever last had the focus there).
class KeyboardAids : public QObject {
public:
    explicit KeyboardAids(QWidget& window) : QObject(&window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* frame = qobject_cast<QGroupBox*>(watched); frame != nullptr && event->type() == QEvent::Shortcut) {
            const QList<QWidget*> stops = tabStops(window_, *frame);
            if (!stops.isEmpty()) {
                stops.front()->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button == nullptr || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        button->click();
        return true;
    }

private:
    QWidget& window_;
};

}  // namespace

void prepareKeyboard(QWidget& window) {
    if (window.property("keyboardPrepared").toBool()) {
        return;
    }
    window.setProperty("keyboardPrepared", true);
    auto* aids = new KeyboardAids(window);
    QSet<QChar> taken;
    QWidget* top = window.window();
    for (auto* bar : top->findChildren<QMenuBar*>()) {
        for (QAction* menu : bar->actions()) {
            taken.insert(accessKey(menu->text()));
        }
    }
    for (auto* label : top->findChildren<QLabel*>()) {
        if (label->buddy() != nullptr) {
            taken.insert(accessKey(label->text()));
        }
    }
    for (auto* button : top->findChildren<QAbstractButton*>()) {
        taken.insert(accessKey(button->text()));
    }
    for (auto* frame : top->findChildren<QGroupBox*>()) {
        taken.insert(accessKey(frame->title()));
    }
    taken.remove(QChar());
    // The bar's commands choose first, so that they keep the letters of their Ctrl hints.
    QList<QAbstractButton*> buttons;
    if (auto* bar = window.findChild<QWidget*>(QStringLiteral("picMant"))) {
        buttons = bar->findChildren<QAbstractButton*>();
    }
    for (auto* button : window.findChildren<QAbstractButton*>()) {
        if (!buttons.contains(button)) {
            buttons.append(button);
        }
    }
    for (auto* button : buttons) {
        if (accessKey(button->text()).isNull() && !button->text().isEmpty()) {
            giveAccessKey(*button, taken);
        }
        // No button stands out as the default: the only frame is the focus's.
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }
        button->installEventFilter(aids);
    }
    for (auto* frame : window.findChildren<QGroupBox*>()) {
        if (!accessKey(frame->title()).isNull()) {
            frame->installEventFilter(aids);
        }
    }
}

bool HandleCtrlKey(QWidget& window, int key) {
    static constexpr std::pair<int, const char*> kButtons[] = {
        {Qt::Key_A, "cmdAceptar"},       {Qt::Key_C, "cmdCancelar"}, {Qt::Key_D, "cmdDetallar"},
        {Qt::Key_E, "cmdEliminar"},      {Qt::Key_I, "cmdImprimir"}, {Qt::Key_M, "cmdModificar"},
        {Qt::Key_N, "cmdNuevo"},         {Qt::Key_R, "cmdImportar"}, {Qt::Key_S, "cmdSalir"},
        {Qt::Key_T, "cmdEliminarTodos"}, {Qt::Key_Z, "imgDetallar"},
    };
    for (const auto& [letter, name] : kButtons) {
        if (letter != key) {
            continue;
        }
        auto* button = window.findChild<QAbstractButton*>(QLatin1String(name));
        if (button == nullptr || !button->isVisibleTo(&window) || !button->isEnabled()) {
            return false;
        }
        button->click();
        return true;
    }
    return false;
}

}  // namespace kapred::ui
