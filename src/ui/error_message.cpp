#include "ui/error_message.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/help.h"
#include "ui/screen_fit.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {
constexpr int kSentenceRole = Qt::UserRole;
}

QString sentenceNodeText(const QString& sentence) {
    return sentence.left(kSentenceCut) + QStringLiteral("...");
}

frmErrorMessage::frmErrorMessage(const QString& title, const std::vector<std::string>& sentences, QWidget* parent)
    : QDialog(parent), tree_(new QTreeWidget(this)), description_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmErrorMessage"));
    setWindowTitle(QStringLiteral("Inconsistencias"));
    setHelpContext(*this, kHelpInconsistencies);

    auto* heading = new QLabel(title.trimmed(), this);
    heading->setObjectName(QStringLiteral("lblTitulo"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setWordWrap(true);

    tree_->setObjectName(QStringLiteral("tvwErrores"));
    tree_->setHeaderHidden(true);
    tree_->setAccessibleName(QStringLiteral("Inconsistencias encontradas"));
    auto* root = new QTreeWidgetItem(tree_, QStringList{title});
    root->setData(0, Qt::UserRole + 1, QStringLiteral("inconsistencias"));
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const QString sentence = QString::fromStdString(sentences[i]);
        auto* node = new QTreeWidgetItem(root, QStringList{sentenceNodeText(sentence)});
        node->setData(0, Qt::UserRole + 1, QStringLiteral("A%1").arg(i));
        node->setData(0, kSentenceRole, sentence);
        node->setIcon(0, QIcon::fromTheme(QStringLiteral("dialog-warning"), warning));
    }
    root->setExpanded(true);
    tree_->setCurrentItem(root);

    description_->setObjectName(QStringLiteral("txtDescripcion"));
    description_->setReadOnly(true);
    description_->setPlainText(title);
    description_->setAccessibleName(QStringLiteral("Descripción"));
    description_->setMaximumHeight(description_->fontMetrics().lineSpacing() * 5);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) { showSelected(item); });

    auto* buttons = new QDialogButtonBox(this);
    auto* exit = buttons->addButton(QStringLiteral("&Salir"), QDialogButtonBox::RejectRole);
    exit->setObjectName(QStringLiteral("cmdSalir"));
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(tree_, 1);
    layout->addWidget(new QLabel(QStringLiteral("Descripción:"), this));
    layout->addWidget(description_);
    layout->addWidget(buttons);
    resizeWithinScreen(*this, QSize(720, 380));
    CenterWindow(*this);
}

void frmErrorMessage::showSelected(QTreeWidgetItem* item) {
    // Only a sentence's node carries a sentence; the root leaves the description as it is.
    if (item != nullptr && item->data(0, kSentenceRole).isValid()) {
        description_->setPlainText(item->data(0, kSentenceRole).toString());
    }
}

}  // namespace kapred::ui
