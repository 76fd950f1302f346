// The form of one taxpayer: its own data, its fiscal address, its other addresses and the persons
// it answers for, saved through the registry's rules.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "registry/padron.h"

class QTabWidget;
class QTableWidget;

namespace kapred::padron {

class TaxpayerForm : public QDialog {
    Q_OBJECT
public:
    // A new taxpayer when `existing` is empty; otherwise that one, whose CUIT cannot change.
    TaxpayerForm(Padron& padron, std::optional<Taxpayer> existing, QWidget* parent = nullptr);

    // Aceptar: saves what was typed and closes; a refused value is told and gets the focus.
    void save();
    // The CUIT saved (eleven digits); empty until a save succeeds.
    const std::string& savedCuit() const { return savedCuit_; }

private:
    QWidget* buildGeneral(const Taxpayer& taxpayer);
    QWidget* buildFiscalAddress(const Address& address);
    QWidget* buildOtherAddresses(const std::vector<Address>& addresses);
    QWidget* buildPersons(const std::vector<Person>& persons);
    int width(const std::string& table, const std::string& column);

    Taxpayer typed();
    void showRefusal(const Refusal& refusal);
    void showTabOf(const QWidget& control);

    Padron& padron_;
    bool adding_;
    std::string savedCuit_;
    QTabWidget* tabs_ = nullptr;
    QTableWidget* activities_ = nullptr;
    QTableWidget* addresses_ = nullptr;
    QTableWidget* persons_ = nullptr;
    // The table row of each list entry handed to the registry: blank rows are left out.
    std::vector<int> activityRows_;
    std::vector<int> addressRows_;
    std::vector<int> personRows_;
};

}  // namespace kapred::padron
