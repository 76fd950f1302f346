// The entry windows worked by keyboard alone: access keys, Enter on buttons, the tab order through
// the pages, where the focus starts and shows, Escape; and a whole declaration typed from the
// header to the determination with key presses only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <set>

#include "model/declaration.h"
#include "model/sections.h"
#include "started_program.h"
#include "support/scoped_env.h"
#include "ui/declarations_window.h"
#include "ui/section_windows.h"

namespace kapred {
namespace {

// The letter a caption underlines ("&Nuevo" gives 'n'); none when it has none.
QChar underlined(const QString& caption) {
    const auto at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

QString plain(const QString& caption) {
    return QString(caption).remove(QLatin1Char('&'));
}

class Keyboard : public test::StartedProgram {
protected:
    // The generate dialog offers the program's folder inside the user's home.
    test::ScopedEnv home{"HOME", dir.root().string()};

    std::unique_ptr<ui::frmSeccion> shown(const std::string& section) {
        auto window = std::make_unique<ui::frmSeccion>(context, ui, *findSection(section));
        window->InicializeObjects();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
};

// Where the keyboard sends a key: the focused widget of the window in front.
QWidget* front() {
    QWidget* window =
        QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget() : QApplication::activeWindow();
    return window;
}

QWidget* keyTarget() {
    QWidget* window = front();
    if (window == nullptr) {
        return nullptr;
    }
    return window->focusWidget() != nullptr ? window->focusWidget() : window;
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = keyTarget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

void type(const char* text) {
    QWidget* target = keyTarget();
    ASSERT_NE(target, nullptr);
    QTest::keyClicks(target, QString::fromUtf8(text));
}

void pressAccessKey(const QString& caption) {
    const QChar letter = underlined(caption);
    ASSERT_FALSE(letter.isNull()) << caption.toStdString();
    press(static_cast<Qt::Key>(Qt::Key_A + (letter.unicode() - 'a')), Qt::AltModifier);
}

// Alt and the letter underlined on the window's button of that name or caption, as a person reads
// it off the button.
void alt(const char* button) {
    QWidget* window = front();
    ASSERT_NE(window, nullptr);
    for (auto* candidate : window->findChildren<QAbstractButton*>()) {
        if (candidate->isVisibleTo(window) && (candidate->objectName() == QLatin1String(button) ||
                                               plain(candidate->text()) == QString::fromUtf8(button))) {
            pressAccessKey(candidate->text());
            // The button shows itself pressed a moment before it acts.
            const QPointer<QAbstractButton> pressed(candidate);
            EXPECT_TRUE(QTest::qWaitFor([pressed] { return pressed == nullptr || !pressed->isDown(); }));
            return;
        }
    }
    // A frame's access key takes the focus into it.
    for (auto* frame : window->findChildren<QGroupBox*>()) {
        if (frame->isVisibleTo(window) && plain(frame->title()) == QString::fromUtf8(button)) {
            pressAccessKey(frame->title());
            return;
        }
    }
    ADD_FAILURE() << "no button " << button << " on " << window->objectName().toStdString();
}

TEST_F(Keyboard, EveryButtonHasAnAccessKeyUniqueInItsWindow) {
    addDeclaration();
    ui::frmDDJJ declarations(context, ui);
    declarations.InicializeObjects();
    declarations.show();
    std::vector<std::unique_ptr<QWidget>> windows;
    for (const auto& section : declarationSections()) {
        windows.push_back(shown(section.name));
    }
    for (const char* name : {"Activo", "Liquidacion", "Determinacion"}) {
        windows.push_back(std::make_unique<ui::frmCalculo>(context, ui, name));
        windows.back()->show();
    }
    std::vector<QWidget*> all{&declarations};
    for (auto& window : windows) {
        all.push_back(window.get());
    }
    for (QWidget* window : all) {
        std::set<QChar> letters;
        for (auto* button : window->findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty()) {
                continue;  // the grids' corners, the pages' arrows
            }
            const QChar letter = underlined(button->text());
            EXPECT_FALSE(letter.isNull()) << window->objectName().toStdString() << " " << button->text().toStdString();
            EXPECT_TRUE(letter.isNull() || letters.insert(letter).second)
                << window->objectName().toStdString() << " " << button->text().toStdString();
        }
    }
}

TEST_F(Keyboard, TabRunsThroughTheInputsInReadingOrderOverEveryPage) {
    addDeclaration();
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"ActivoComputable",
         {"txtcDineroEfectivoNac", "txtcDineroEfectivoExt", "txtcDepositosNac", "txtcDepositosExt", "txtcCreditosNac",
          "txtcCreditosExt", "txtcIntereses", "txtcTitulosPublicos", "txtcParticipacionesCapital", "txtcBienesCambio",
          "txtcBienesAdquiridos", "txtcBienesElaborados", "txtcBienesEnCurso", "txtcInmueblesNoBienesCambio",
          "txtcInmueblesActForestales", "txtcBienesInmateriales", "txtcOtrosBienes", "cmdOk"}},
        // The reserves and the life-insurance funds are skipped while their lists say NO.
        {"Pasivo",
         {"cboiCooperativaSegurosCapitalizacion", "cboiCooperativaAseguradoresVida", "txtcDeudas", "txtcProvisiones",
          "txtcBeneficios", "cmdOk"}},
        {"Anticipos", {"txtfFecha", "txtcImporte", "cmdOk"}},
    };
    for (const auto& [section, order] : cases) {
        auto window = shown(section);
        press(Qt::Key_Return);  // Nuevo
        std::vector<std::string> visited{QApplication::focusWidget()->objectName().toStdString()};
        for (std::size_t i = 1; i < order.size(); ++i) {
            press(Qt::Key_Tab);
            visited.push_back(QApplication::focusWidget()->objectName().toStdString());
        }
        EXPECT_EQ(visited, std::vector<std::string>(order.begin(), order.end())) << section;
        // And back.
        for (std::size_t i = 1; i < order.size(); ++i) {
            press(Qt::Key_Backtab, Qt::ShiftModifier);
        }
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), order.front()) << section;
    }
}

TEST_F(Keyboard, TheFocusStartsOnTheFirstCommandAndOnlyTheFocusIsFramed) {
    addDeclaration();
    for (const auto& section : declarationSections()) {
        auto window = shown(section.name);
        ASSERT_NE(QApplication::focusWidget(), nullptr) << section.name;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdNew")) << section.name;
        // Round the window once: no other button wears the frame of the one Enter would press.
        QWidget* first = QApplication::focusWidget();
        do {
            for (auto* button : window->findChildren<QPushButton*>()) {
                EXPECT_TRUE(button == QApplication::focusWidget() || !button->isDefault())
                    << section.name << ": " << button->objectName().toStdString() << " framed while "
                    << QApplication::focusWidget()->objectName().toStdString() << " has the focus";
            }
            press(Qt::Key_Tab);
        } while (QApplication::focusWidget() != first);
    }
}

TEST_F(Keyboard, EscapeCancelsWhileEditingAndClosesOtherwise) {
    addDeclaration();
    auto window = shown("ActivoExento");
    press(Qt::Key_Return);  // Nuevo
    press(Qt::Key_Escape);
    EXPECT_EQ(window->mode(), QStringLiteral("C"));
    EXPECT_TRUE(window->isVisible());
    press(Qt::Key_Return);
    type("1500");
    alt("cmdOk");
    ASSERT_EQ(window->mode(), QStringLiteral("E"));
    EXPECT_TRUE(ui.script.inconsistencies.empty());
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// Runs each step of a script once its window is in front, inside whatever modal loop runs then:
// the section windows open modally one from another.
class Script {
public:
    void add(const char* window, std::function<void()> keys) { steps_.push_back({window, std::move(keys)}); }

    // True when every step ran; a step whose window never comes is reported and the modal windows
    // closed, so that nothing hangs.
    bool run() {
        waiting_.start();
        schedule();
        return QTest::qWaitFor([this] { return steps_.empty() && !aborting_; }, 120000) &&
               !::testing::Test::HasFailure();
    }

private:
    // A timer of its own for each look: a timer does not fire again while its previous firing
    // waits in a window that it opened.
    void schedule() {
        QTimer::singleShot(5, &context_, [this] { look(); });
    }

    void look() {
        if (aborting_) {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
                schedule();
            } else {
                aborting_ = false;
            }
            return;
        }
        if (steps_.empty()) {
            return;
        }
        schedule();
        QWidget* window = front();
        // The window manager's part: the window in front is the active one; when one closes, the
        // one under it becomes active again.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (window == nullptr && top->isVisible() && top->objectName() == QLatin1String(steps_.front().window)) {
                window = top;
            }
        }
        if (window != nullptr && window->isVisible() && !window->isActiveWindow()) {
            window->activateWindow();
            return;
        }
        if (window != nullptr && window->isActiveWindow() &&
            window->objectName() == QLatin1String(steps_.front().window)) {
            const auto step = steps_.front();
            steps_.pop_front();
            waiting_.restart();
            step.keys();
        } else if (waiting_.elapsed() > 5000) {
            ADD_FAILURE() << "the window " << steps_.front().window << " never came; in front: "
                          << (window != nullptr ? window->objectName().toStdString() : "none");
            steps_.clear();
            aborting_ = true;
        }
    }

    struct Step {
        const char* window;
        std::function<void()> keys;
    };
    std::deque<Step> steps_;
    QElapsedTimer waiting_;
    bool aborting_ = false;
    QObject context_;
};

// Types the values into the inputs from the focused one on, Tab between them; an empty value
// leaves its input as it is.
void fill(std::initializer_list<const char*> values) {
    bool first = true;
    for (const char* value : values) {
        if (!first) {
            press(Qt::Key_Tab);
        }
        first = false;
        type(value);
    }
}

// Nuevo (where the focus is when a window opens and after each Aceptar), the values, Aceptar.
void addRow(std::initializer_list<const char*> values) {
    press(Qt::Key_Return);
    fill(values);
    alt("cmdOk");
}

TEST_F(Keyboard, AWholeDeclarationIsEnteredByKeyboardAlone) {
    ui::frmDDJJ declarations(context, ui);
    declarations.InicializeObjects();
    declarations.show();
    declarations.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&declarations));

    Script script;
    // The header: period, sequence and kind as offered, the dates, the economic year.
    script.add("frmDDJJ", [] {
        press(Qt::Key_Enter, Qt::KeypadModifier);  // Nuevo, where the focus starts
        fill({"2004", "", "", "01012004", "31122004", "1"});
        alt("cmdOk");
        alt("Secciones de la declaración");  // the sections tree
        press(Qt::Key_Home);
        press(Qt::Key_Down);  // Activo
        press(Qt::Key_Return);
    });
    script.add("frmActivo", [] { alt("Activo Computable"); });
    script.add("frmActivoComputable", [] {
        addRow({"600000", "1000,50", "", "", "", "", "", "", "", "2500", "300", "", "", "", "", "", "99"});
        press(Qt::Key_Escape);
    });
    script.add("frmActivo", [] { alt("Activo No Computable"); });
    script.add("frmActivoNoComputable", [] {
        press(Qt::Key_Return);
        type("200000");
        alt("cmdOk");
        alt("Activo Exento");
    });
    script.add("frmActivoExento", [] {
        addRow({"", "50000", "150000"});
        press(Qt::Key_Escape);
    });
    script.add("frmActivoNoComputable", [] { press(Qt::Key_Escape); });
    script.add("frmActivo", [] { press(Qt::Key_Escape); });
    script.add("frmDDJJ", [] {
        press(Qt::Key_Down);  // Pasivo
        press(Qt::Key_Return);
    });
    script.add("frmPasivo", [] {
        addRow({"", "", "100000", "", "5000"});
        press(Qt::Key_Escape);
    });
    script.add("frmDDJJ", [] {
        press(Qt::Key_Down);  // Liquidación
        press(Qt::Key_Return);
    });
    script.add("frmLiquidacion", [] { alt("Deducciones al Capital al Cierre del Ejercicio"); });
    script.add("frmLiqDeduccionesAlCapital", [] {
        addRow({"", "", "200"});
        press(Qt::Key_Escape);
    });
    script.add("frmLiquidacion", [] { press(Qt::Key_Escape); });
    script.add("frmDDJJ", [] {
        press(Qt::Key_Down);  // Determinación
        press(Qt::Key_Return);
    });
    script.add("frmDeterminacion", [] { alt("Saldo a Favor Períodos Anteriores"); });
    script.add("frmSaldoFavorPeriodoAnt", [] {
        addRow({"2003", "700"});
        press(Qt::Key_Escape);
    });
    script.add("frmDeterminacion", [] { alt("Pagos a Cuenta"); });
    script.add("frmPagosCuenta", [] {
        addRow({"15062004", "1000"});
        addRow({"15092004", "2000"});
        press(Qt::Key_Escape);
    });
    script.add("frmDeterminacion", [] { alt("Anticipos Ingresados"); });
    script.add("frmAnticipos", [] {
        addRow({"20012005", "3000"});
        press(Qt::Key_Escape);
    });
    script.add("frmDeterminacion", [] { press(Qt::Key_Escape); });
    // The file, to the folder the dialog offers: the program's own.
    script.add("frmDDJJ", [] { alt("cmdGenerate"); });
    script.add("frmGenerar", [] {
        alt("cmdOk");
        press(Qt::Key_Escape);
    });
    const bool ran = script.run();
    for (const auto& refused : ui.script.inconsistencies) {
        ADD_FAILURE() << refused.title << ": " << (refused.lines.empty() ? "" : refused.lines.front());
    }
    ASSERT_TRUE(ran);

    const std::pair<const char*, long> stored[] = {
        {"DDJJ WHERE CodDJ = 20040 AND iEjercicioEconomico = 1 AND Format(fPeriodoFiscalHasta,'YYYYMMDD') = "
         "'20041231'",
         1},
        {"ActivoComputable WHERE cDineroEfectivoNac = CCur(600000) AND cDineroEfectivoExt = CCur(1000.5) AND "
         "cBienesCambio = "
         "CCur(2500) AND cBienesAdquiridos = CCur(300) AND cOtrosBienes = CCur(99)",
         1},
        {"ActivoNoComputable WHERE cBienesExterior = CCur(200000)", 1},
        {"ActivoExento WHERE cAccionesParticipaciones = CCur(50000) AND cCuotasSociales = CCur(150000)", 1},
        {"Pasivo WHERE cDeudas = CCur(100000) AND cBeneficios = CCur(5000) AND iCooperativaSegurosCapitalizacion = 0",
         1},
        {"LiqDeduccionesAlCapital WHERE cRetornoExcedente = CCur(200)", 1},
        {"SaldoFavorPeriodoAnt WHERE lPeriodo = 2003 AND cImporte = CCur(700)", 1},
        {"PagosCuenta WHERE cImporte IN (CCur(1000), CCur(2000))", 2},
        {"Anticipos WHERE cImporte = CCur(3000)", 1},
    };
    for (const auto& [rows, count] : stored) {
        EXPECT_EQ(test::countRows(context, rows), count) << rows;
    }
    ASSERT_FALSE(ui.script.shown.empty());
    EXPECT_NE(ui.script.shown.back().text.find("ha sido generado correctamente"), std::string::npos)
        << ui.script.shown.back().text;
    EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(dir.home()), {},
                            [](const auto& entry) { return entry.path().extension() == ".B64"; }),
              1);
}

}  // namespace
}  // namespace kapred
