#include "ui/work_papers_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/context.h"
#include "data/user_interface.h"
#include "generation/work_papers.h"
#include "ui/help.h"
#include "ui/print_window.h"
#include "ui/qt_interface.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

constexpr int kKeyRole = Qt::UserRole;

}  // namespace

frmPapelesdeTrabajo::frmPapelesdeTrabajo(Context& context, QWidget* parent)
    : QDialog(parent), context_(context), tvwArbol_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("frmPapelesdeTrabajo"));
    setHelpContext(*this, kHelpWorkPapers);
    tvwArbol_->setObjectName(QStringLiteral("tvwArbol"));
    tvwArbol_->setHeaderHidden(true);
    tvwArbol_->setAccessibleName(QStringLiteral("Papeles de Trabajo"));
    connect(tvwArbol_, &QTreeWidget::itemDoubleClicked, this, guarded(context_.ui, [this] { cmdPrint_Click(); }));

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    auto* print = new QPushButton(QStringLiteral("Imprimir (Ctrl+I)"), bar);
    print->setObjectName(QStringLiteral("cmdPrint"));
    auto* exit = new QPushButton(QStringLiteral("Salir (Ctrl+S)"), bar);
    exit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(print);
    buttons->addWidget(exit);
    connect(print, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdPrint_Click(); }));
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvwArbol_, 1);
    layout->addWidget(bar);
    DressButtonBar(*this);
    InicializeObjects();
}

void frmPapelesdeTrabajo::InicializeObjects() {
    setWindowTitle(QStringLiteral("Papeles de Trabajo"));
    tvwArbol_->clear();
    auto* root = new QTreeWidgetItem(tvwArbol_, {qtText(kWorkPapersRootText)});
    root->setData(0, kKeyRole, qtText(kWorkPapersRootKey));
    root->setIcon(0, QIcon::fromTheme(QStringLiteral("folder-open"), style()->standardIcon(QStyle::SP_DirOpenIcon)));
    for (const WorkPaperKind& paper : kWorkPapers) {
        auto* node = new QTreeWidgetItem(root, {qtText(paper.text)});
        node->setData(0, kKeyRole, qtText(paper.key));
        node->setIcon(0, QIcon::fromTheme(QStringLiteral("dialog-information"),
                                          style()->standardIcon(QStyle::SP_MessageBoxInformation)));
    }
    root->setExpanded(true);
    resize(420, 300);
    CenterWindow(*this);
}

void frmPapelesdeTrabajo::cmdPrint_Click() {
    QTreeWidgetItem* node = tvwArbol_->currentItem();
    if (node == nullptr || !node->isSelected()) {
        MsgInformacion(context_.ui, "Por favor, seleccione un elemento del árbol");
        return;
    }
    const auto paper = findWorkPaper(node->data(0, kKeyRole).toString().toLower().toStdString());
    showPrintJob(
        context_, [this, paper] { return print::workPaperJob(context_, paper); }, this);
}

void frmPapelesdeTrabajo::keyReleaseEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && HandleCtrlKey(*this, event->key())) {
        return;
    }
    QDialog::keyReleaseEvent(event);
}

}  // namespace kapred::ui
