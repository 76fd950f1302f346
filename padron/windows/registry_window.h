// The window "Contribuyentes": the registered taxpayers, their form, their removal, the backup of
// the registry, and Kapred started for the one chosen.
#pragma once

#include <QMainWindow>
#include <QSortFilterProxyModel>

#include <filesystem>

#include "registry/kapred_link.h"
#include "registry/padron.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace kapred::padron {

// The rows whose CUIT or name hold the text searched for, ignoring case, accents and the CUIT's
// dashes.
class TaxpayerFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setSearch(const QString& text);
    // The text as the search compares it: folded case, no accents.
    static QString searchKey(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString search_;
};

class RegistryWindow : public QMainWindow {
    Q_OBJECT
public:
    // `kapred` is the desktop program Abrir Kapred starts.
    explicit RegistryWindow(Padron& padron, std::filesystem::path kapred = kapredBeside(), QWidget* parent = nullptr);

    // The CUIT (eleven digits) of the row chosen; empty when none is.
    std::string selectedCuit() const;
    // Reads the list again and chooses the row of that CUIT, when given.
    void refresh(const std::string& select = {});
    // The program's exit status once a restore ended it.
    int exitCode() const { return exitCode_; }

    void newTaxpayer();
    void modifyTaxpayer();
    void deleteTaxpayer();
    void openKapred();
    void backup();
    void restore();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void updateState();
    // Whether a Kapred started from here still runs.
    bool kapredRunning() const;

    Padron& padron_;
    std::filesystem::path kapred_;
    QStandardItemModel* rows_;
    TaxpayerFilter* filter_;
    QTableView* list_;
    QLineEdit* search_;
    QLabel* hint_;
    QPushButton* modify_;
    QPushButton* delete_;
    QPushButton* open_;
    bool ended_ = false;
    int exitCode_ = 0;
};

}  // namespace kapred::padron
