// The typed inputs of the entry windows: numbers and amounts written with the program's
// separators (1.234,50), right-aligned, and dates dd/mm/yyyy.
#pragma once

#include <QLineEdit>

#include <optional>

#include "data/values/currency.h"

namespace kapred::ui {

// A number input. With 2 decimals it is an amount: shown grouped ("1.234,50") once the user
// leaves it, read exactly as a Currency, never through a double. With 0 it takes whole numbers
// (a period, a count). Only what can become a number can be typed.
class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    NumberEdit(const QString& objectName, int decimals, QWidget* parent = nullptr);
    int decimals() const { return decimals_; }
    // The amount typed; nothing while the text is not a number (empty counts as nothing).
    std::optional<Currency> amount() const;
    void setAmount(Currency value);

private:
    void tidy();
    int decimals_;
};

// A date input shaped dd/mm/yyyy: only digits go in, the slashes are there already, and a
// date never typed stays empty.
class DateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DateEdit(const QString& objectName, QWidget* parent = nullptr);
    // The date as typed, "15/01/2005"; empty while no digit is in.
    QString date() const;

protected:
    // An empty date is typed from its first digit, wherever the cursor was left.
    void focusInEvent(QFocusEvent* event) override;
};

}  // namespace kapred::ui
