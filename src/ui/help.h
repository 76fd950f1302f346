// Help: our own Spanish pages, one per help context number, shown in a help window; F1 opens the
// topic of the window that has the focus.
#pragma once

#include <QDialog>
#include <QObject>

#include <filesystem>

class QTextBrowser;

namespace kapred::ui {

// The help context numbers of the windows.
inline constexpr int kHelpContents = 1;
inline constexpr int kHelpDeclarations = 2;
inline constexpr int kHelpCopy = 3;
inline constexpr int kHelpInconsistencies = 4;
inline constexpr int kHelpSystemTables = 5;
inline constexpr int kHelpGenerate = 16;
inline constexpr int kHelpImport = 17;
inline constexpr int kHelpImportFields = 18;
inline constexpr int kHelpPrint = 19;
inline constexpr int kHelpWorkPapers = 20;
inline constexpr int kHelpStartupMessage = 33;

// The folder of the help pages: KAPRED_HELPDIR when set, else "ayuda" beside the program.
std::filesystem::path helpDirectory();

// The window's help context number, which F1 opens for it and every control inside it.
void setHelpContext(QWidget& window, int topic);
// The topic of the widget: the nearest help context number up its parents (the contents when
// none has one).
int helpContextOf(const QWidget* widget);

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(int topic, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// Opens the topic over the active window.
void showHelp(int topic, QWidget* parent);

// Installed on the application: F1 opens the topic of the focused window.
class HelpKey : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kapred::ui
