#include "ui/window_routines.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
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
            if (control->objectName().contains(QLatin1String("cc")) && isReadOnly(control)) {
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

void ShowEntity(QWidget& window, const db::TableDef& table, const EntityBase& entity) {
    for (const auto& field : table.fields) {
        QWidget* control = controlFor(window, field.name);
        if (control == nullptr) {
            continue;
        }
        const Variant& value = entity.vGetFieldValue(field.name);
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

EntryValues ReadControls(QWidget& window, const db::TableDef& table) {
    EntryValues values;
    for (const auto& field : table.fields) {
        QWidget* control = controlFor(window, field.name);
        if (control == nullptr) {
            continue;
        }
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            const QVariant data = list->currentIndex() >= 0 ? list->currentData() : QVariant();
            values.push_back({field.name, Variant(data.isValid() ? data.toString().toStdString() : std::string())});
        } else if (auto* box = qobject_cast<QAbstractButton*>(control)) {
            values.push_back({field.name, Variant(box->isChecked())});
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            values.push_back({field.name, Variant(line->text().trimmed().toStdString())});
        } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
            values.push_back({field.name, Variant(text->toPlainText().toStdString())});
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
            values.push_back({field.name, Variant(plain->toPlainText().toStdString())});
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
    item->setData(sortKey, kSortRole);
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
    // Once: each label is widened to reach the right edge of the widest one.
    if (window.property("formsAligned").toBool()) {
        return;
    }
    window.setProperty("formsAligned", true);
    std::vector<std::pair<QWidget*, int>> labels;
    int rightmost = 0;
    for (auto* form : window.findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole);
            if (item == nullptr || item->widget() == nullptr) {
                continue;
            }
            QWidget* text = item->widget();
            const int left = text->mapTo(&window, QPoint(0, 0)).x();
            labels.emplace_back(text, left);
            rightmost = std::max(rightmost, left + text->sizeHint().width());
        }
    }
    for (const auto& [text, left] : labels) {
        text->setMinimumWidth(rightmost - left);
    }
    window.adjustSize();
    CenterWindow(window);
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
