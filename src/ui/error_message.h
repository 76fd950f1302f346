// The inconsistency viewer: the sentences of a refused operation as a tree under its title, each
// cut to 85 characters and "..."; the selected one is shown whole below.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class QPlainTextEdit;

namespace kapred::ui {

inline constexpr int kSentenceCut = 85;

// The text of a sentence's node: its first 85 characters followed by "...", always.
QString sentenceNodeText(const QString& sentence);

class frmErrorMessage : public QDialog {
    Q_OBJECT
public:
    frmErrorMessage(const QString& title, const std::vector<std::string>& sentences, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    QPlainTextEdit* description() const { return description_; }

private:
    void showSelected(QTreeWidgetItem* item);

    QTreeWidget* tree_;
    QPlainTextEdit* description_;
};

}  // namespace kapred::ui
