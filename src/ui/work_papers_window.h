// The work-papers window: a tree of the sections that have a work paper; printing a node shows
// its paper in the print window, the root all five one after the other.
#pragma once

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

namespace kapred {
struct Context;
}

namespace kapred::ui {

class frmPapelesdeTrabajo : public QDialog {
    Q_OBJECT
public:
    frmPapelesdeTrabajo(Context& context, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tvwArbol_; }
    void cmdPrint_Click();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void InicializeObjects();

    Context& context_;
    QTreeWidget* tvwArbol_;
};

}  // namespace kapred::ui
