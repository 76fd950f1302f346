// The routines every entry window shares, working on the controls' object names: the state of
// the standard buttons, the dressing of the button bar, centring, clearing, the input states,
// the transfer of values between controls named prefix + column and the entity, and the
// Ctrl+letter key handler.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <span>
#include <string_view>

#include "data/business_object.h"
#include "data/entity.h"
#include "model/section_object.h"
#include "model/tables/tables.h"

class QStandardItem;
class QStandardItemModel;
class QWidget;

namespace kapred::ui {

// The window modes of the button-state and input-state routines.
inline constexpr int kEditing = 0;
inline constexpr int kBrowsing = 1;

// Whether the standard button of that name is visible in the mode; nothing for a name that is
// not a standard button, or a mode that changes nothing.
std::optional<bool> standardButtonVisible(const QString& buttonName, int mode, bool hasRecords, bool singleRow);

// Sets the visibility of the window's standard buttons; the ones it lacks are skipped.
// A text of the core (UTF-8) for a widget.
inline QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetButtonsState(QWidget& window, int mode, bool hasRecords, bool singleRow);

// Gives each command button of the window's bar "picMant" the picture named after it (the
// desktop's icon theme, else one of the toolkit's own) and keeps its caption as the tooltip.
void DressButtonBar(QWidget& window);

// Places the window in the middle of its parent window, or of the screen.
void CenterWindow(QWidget& window);

// Empties the inputs: boxes unchecked, lists without a selection, texts empty ("0" for the
// amount inputs); a computed total ("cc" in its name) is left alone while it is read-only.
void ClearControls(QWidget& window);

// Inputs editable in mode 0 and read-only in mode 1; computed totals always read-only; lists and
// trees usable only while browsing, and then as `lists` says. The first editable input, in tab
// order, gets the focus.
void EnableInputs(int mode, QWidget& window, bool lists);

// The column a control stands for: its name from the fourth character on ("txtcImporte" gives
// "cImporte"); empty for labels and for names too short.
QString columnOf(const QWidget& control);

// Entity to window: each of the table's columns into the first control named after it. Dates show
// dd/mm/yyyy (empty before 1900), amounts and numbers of 0 show empty, lists select the item
// whose data is the value.
void ShowEntity(QWidget& window, std::span<const tables::Column> columns, const EntityBase& entity);

// Window to entity: the values typed into the controls of the table's columns, for Aceptar.
EntryValues ReadControls(QWidget& window, std::span<const tables::Column> columns);

// After a refused Aceptar: the focus to the input of the first field the object's list names, its
// tab page brought forward.
void FocusFirstListed(QWidget& window, const BusinessObject& object);

// The role under which a grid's cells keep what they sort by (numbers, ISO dates), so that a click
// on a heading sorts by value rather than by the text shown.
inline constexpr int kSortRole = Qt::UserRole + 1;
// A read-only grid cell showing the text and sorting by the key.
QStandardItem* gridCell(const QString& text, const QVariant& sortKey, Qt::Alignment alignment = Qt::AlignLeft);

// The row of a list whose first column holds the key under the role; -1 when none does.
int rowOfKey(const QStandardItemModel& rows, int role, long long key);

// Lines up the inputs of the window's forms that are nested alike (every frame of every page):
// each label as wide as the widest.
void alignForms(QWidget& window);

// The widgets inside `within` that Tab reaches, in the window's tab order; those of a page not
// shown count too.
QList<QWidget*> tabStops(QWidget& window, QWidget& within);

// The focus to the first command the button bar "picMant" offers.
void focusFirstButton(QWidget& window);

// Widens the window, when needed, so that its title shows whole in the title bar.
void fitTitle(QWidget& window);

// Read-only boxes look read-only, however they became so.
void shadeReadOnly(QWidget& window);

// For work by keyboard alone: each button of the window gets an access key (Alt+letter) unique in
// its top-level window, the bar's commands keeping the letter of their Ctrl hint where free; Enter
// presses the focused button; a frame's access key leads to its first input; no button is the
// default, so the focus frame alone marks one. Once
// the window is in its top-level window (on its first showing); later calls do nothing.
void prepareKeyboard(QWidget& window);

// The shared Ctrl+letter handler: clicks the button the letter stands for when the window has
// it and it is visible. True when a button was clicked.
bool HandleCtrlKey(QWidget& window, int key);

}  // namespace kapred::ui
