#include "ui/input_widgets.h"

#include <QValidator>

#include "data/values/numeric_text.h"

namespace kapred::ui {

namespace {

// Accepts the program's numeric text and what may still become it while it is typed.
class NumberValidator : public QValidator {
public:
    NumberValidator(int decimals, QObject* parent) : QValidator(parent), decimals_(decimals) {}

    State validate(QString& input, int&) const override {
        const std::string text = input.toStdString();
        if (text.empty() || isNumeric(text)) {
            return decimals_ == 0 && text.find(',') != std::string::npos ? Invalid : Acceptable;
        }
        const QString allowed = decimals_ == 0 ? QStringLiteral("0123456789.- ") : QStringLiteral("0123456789.,- ");
        for (const QChar c : input) {
            if (!allowed.contains(c)) {
                return Invalid;
            }
        }
        return Intermediate;
    }

private:
    int decimals_;
};

}  // namespace

NumberEdit::NumberEdit(const QString& objectName, int decimals, QWidget* parent)
    : QLineEdit(parent), decimals_(decimals) {
    setObjectName(objectName);
    setProperty("Decimales", decimals);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new NumberValidator(decimals, this));
    connect(this, &QLineEdit::editingFinished, this, &NumberEdit::tidy);
}

std::optional<Currency> NumberEdit::amount() const {
    return parseCurrency(text().toStdString());
}

void NumberEdit::setAmount(Currency value) {
    setText(QString::fromStdString(formatAmount(value, decimals_, decimals_ > 0)));
}

void NumberEdit::tidy() {
    if (decimals_ > 0) {
        if (const auto value = amount()) {
            setAmount(*value);
        }
    }
}

DateEdit::DateEdit(const QString& objectName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(objectName);
    // Digits not required, so that a date may be left empty.
    setInputMask(QStringLiteral("00/00/0000"));
    setToolTip(QStringLiteral("dd/mm/aaaa"));
}

QString DateEdit::date() const {
    const QString typed = text();
    return QString(typed).remove(QLatin1Char('/')).trimmed().isEmpty() ? QString() : typed.trimmed();
}

void DateEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (date().isEmpty()) {
        setCursorPosition(0);
    }
}

}  // namespace kapred::ui
