#include "windows/registry_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "app/backup.h"
#include "app/cuit.h"
#include "ui/help.h"
#include "ui/qt_interface.h"
#include "windows/help_topics.h"
#include "windows/taxpayer_form.h"

namespace kapred::padron {

namespace {

constexpr int kCuitRole = Qt::UserRole;
constexpr int kSearchRole = Qt::UserRole + 1;

QPushButton* commandButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

}  // namespace

QString TaxpayerFilter::searchKey(const QString& text) {
    QString key;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            key += c;
        }
    }
    return key.toCaseFolded();
}

void TaxpayerFilter::setSearch(const QString& text) {
    search_ = searchKey(text.trimmed());
    invalidateRowsFilter();
}

bool TaxpayerFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    return search_.isEmpty() ||
           sourceModel()->index(sourceRow, 0, sourceParent).data(kSearchRole).toString().contains(search_);
}

RegistryWindow::RegistryWindow(Padron& padron, std::filesystem::path kapred, QWidget* parent)
    : QMainWindow(parent), padron_(padron), kapred_(std::move(kapred)) {
    setObjectName(QStringLiteral("frmContribuyentes"));
    setWindowTitle(QString::fromUtf8(kRegistryTitle));
    ui::setHelpContext(*this, kHelpRegistry);

    auto* central = new QWidget(this);
    search_ = new QLineEdit(central);
    search_->setObjectName(QStringLiteral("txtBuscar"));
    search_->setClearButtonEnabled(true);
    search_->setPlaceholderText(QStringLiteral("CUIT o razón social"));
    auto* searchLabel = new QLabel(QStringLiteral("&Buscar:"), central);
    searchLabel->setBuddy(search_);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);

    rows_ = new QStandardItemModel(0, 4, this);
    rows_->setHorizontalHeaderLabels({QStringLiteral("CUIT"), QStringLiteral("Razón social"),
                                      QStringLiteral("Forma jurídica"), QStringLiteral("Localidad")});
    filter_ = new TaxpayerFilter(this);
    filter_->setSourceModel(rows_);
    filter_->setSortCaseSensitivity(Qt::CaseInsensitive);
    filter_->setSortLocaleAware(true);
    list_ = new QTableView(central);
    list_->setObjectName(QStringLiteral("grdContribuyentes"));
    list_->setAccessibleName(QStringLiteral("Contribuyentes registrados"));
    list_->setModel(filter_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSortingEnabled(true);
    list_->sortByColumn(0, Qt::AscendingOrder);
    list_->setTabKeyNavigation(false);
    list_->setAlternatingRowColors(true);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    list_->setToolTip(QStringLiteral("Doble clic (o Intro) para abrir Kapred con el contribuyente"));
    hint_ = new QLabel(central);
    hint_->setObjectName(QStringLiteral("lblAviso"));
    hint_->setWordWrap(true);

    auto* create = commandButton("cmdNew", "&Nuevo", central);
    modify_ = commandButton("cmdEdit", "&Modificar", central);
    delete_ = commandButton("cmdDelete", "&Eliminar", central);
    open_ = commandButton("cmdOpen", "&Abrir Kapred", central);
    auto* help = commandButton("cmdHelp", "A&yuda", central);
    auto* leave = commandButton("cmdExit", "&Salir", central);
    create->setToolTip(QStringLiteral("Registra un contribuyente"));
    modify_->setToolTip(QStringLiteral("Cambia los datos del contribuyente elegido"));
    delete_->setToolTip(QStringLiteral("Quita del padrón al contribuyente elegido"));
    open_->setToolTip(QStringLiteral("Abre Kapred con el contribuyente elegido"));
    UserInterface& dialogs = padron_.context().ui;
    connect(create, &QPushButton::clicked, this, ui::guarded(dialogs, [this] { newTaxpayer(); }));
    connect(modify_, &QPushButton::clicked, this, ui::guarded(dialogs, [this] { modifyTaxpayer(); }));
    connect(delete_, &QPushButton::clicked, this, ui::guarded(dialogs, [this] { deleteTaxpayer(); }));
    connect(open_, &QPushButton::clicked, this, ui::guarded(dialogs, [this] { openKapred(); }));
    connect(help, &QPushButton::clicked, this, [this] { ui::showHelp(kHelpRegistry, this); });
    connect(leave, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {create, modify_, delete_, open_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(leave);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(searchRow);
    layout->addWidget(list_, 1);
    layout->addWidget(hint_);
    layout->addLayout(buttons);
    setCentralWidget(central);

    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Padrón"));
    menu->addAction(QStringLiteral("&Copia de seguridad…"), this, ui::guarded(dialogs, [this] { backup(); }));
    menu->addAction(QStringLiteral("&Restaurar…"), this, ui::guarded(dialogs, [this] { restore(); }));
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Salir"), this, &QWidget::close);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        ui::runGuarded(padron_.context().ui, [&] {
            filter_->setSearch(text);
            updateState();
        });
    });
    connect(list_, &QAbstractItemView::activated, this, ui::guarded(dialogs, [this] { openKapred(); }));
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            ui::guarded(dialogs, [this] { updateState(); }));

    if (!padron_.created().empty()) {
        statusBar()->showMessage(QStringLiteral("Primer inicio: se creó el padrón en %1.")
                                     .arg(QString::fromStdString(padron_.created().front().parent_path().string())));
    }
    refresh();
    list_->setFocus();
    resize(900, 500);
}

std::string RegistryWindow::selectedCuit() const {
    const QModelIndexList chosen = list_->selectionModel()->selectedRows();
    return chosen.isEmpty() ? std::string() : chosen.front().data(kCuitRole).toString().toStdString();
}

void RegistryWindow::refresh(const std::string& select) {
    const std::string chosen = select.empty() ? selectedCuit() : select;
    rows_->removeRows(0, rows_->rowCount());
    for (const TaxpayerLine& line : padron_.registry().list()) {
        const QString dashed = QString::fromStdString(line.cuit);
        const QString digits = QString::fromStdString(sFormatCuit(line.cuit, false));
        auto* cuit = new QStandardItem(dashed);
        cuit->setData(digits, kCuitRole);
        cuit->setData(TaxpayerFilter::searchKey(digits + QLatin1Char(' ') + dashed + QLatin1Char(' ') +
                                                QString::fromStdString(line.descrip)),
                      kSearchRole);
        rows_->appendRow({cuit, new QStandardItem(QString::fromStdString(line.descrip)),
                          new QStandardItem(QString::fromStdString(line.formaJuridica)),
                          new QStandardItem(QString::fromStdString(line.localidad))});
    }
    // The taxpayer worked on stays chosen; otherwise the first, so Intro opens Kapred at once.
    int row = filter_->rowCount() > 0 ? 0 : -1;
    for (int r = 0; r < filter_->rowCount(); ++r) {
        if (filter_->index(r, 0).data(kCuitRole).toString().toStdString() == chosen) {
            row = r;
        }
    }
    if (row >= 0) {
        list_->selectRow(row);
        list_->scrollTo(filter_->index(row, 0));
    }
    updateState();
}

void RegistryWindow::updateState() {
    const bool chosen = !selectedCuit().empty();
    for (QPushButton* button : {modify_, delete_, open_}) {
        button->setEnabled(chosen);
    }
    if (rows_->rowCount() == 0) {
        hint_->setText(QStringLiteral("El padrón está vacío. Registre su cooperativa con Nuevo."));
    } else if (filter_->rowCount() == 0) {
        hint_->setText(QStringLiteral("Ningún contribuyente coincide con «%1».").arg(search_->text().trimmed()));
    } else {
        hint_->clear();
    }
    hint_->setVisible(!hint_->text().isEmpty());
}

void RegistryWindow::newTaxpayer() {
    TaxpayerForm form(padron_, std::nullopt, this);
    if (form.exec() == QDialog::Accepted) {
        search_->clear();
        refresh(form.savedCuit());
    }
}

void RegistryWindow::modifyTaxpayer() {
    const std::string cuit = selectedCuit();
    if (cuit.empty()) {
        return;
    }
    const auto taxpayer = padron_.registry().find(cuit);
    if (!taxpayer) {
        MsgError(padron_.context().ui, "El contribuyente " + sFormatCuit(cuit, true) + " ya no está registrado.");
        refresh();
        return;
    }
    TaxpayerForm form(padron_, taxpayer, this);
    if (form.exec() == QDialog::Accepted) {
        refresh(form.savedCuit());
    }
}

void RegistryWindow::deleteTaxpayer() {
    const std::string cuit = selectedCuit();
    if (!cuit.empty() && padron_.eliminar(cuit)) {
        refresh();
    }
}

void RegistryWindow::openKapred() {
    const std::string cuit = selectedCuit();
    if (cuit.empty()) {
        return;
    }
    const KapredStart start = kapredStart(kapred_, cuit, padron_.programDirectory());
    auto* process = new QProcess(this);
    process->setProgram(QString::fromStdString(start.program.string()));
    QStringList arguments;
    for (const std::string& argument : start.arguments) {
        arguments << QString::fromStdString(argument);
    }
    process->setArguments(arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KAPRED_HOME"), QString::fromStdString(start.home.string()));
    process->setProcessEnvironment(environment);
    // Nothing here reads what Kapred writes; left in a pipe it could fill it and stop Kapred.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::errorOccurred, this,
            [this, process, program = start.program](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) {
                    return;
                }
                process->deleteLater();
                MsgError(padron_.context().ui,
                         "No se pudo iniciar Kapred: " + (std::filesystem::exists(program)
                                                              ? "no se puede ejecutar " + program.string() + "."
                                                              : "no se encuentra " + program.string() + "."));
            });
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::CrashExit) {
            MsgError(padron_.context().ui, "Kapred terminó de forma anormal.");
        } else if (code != 0) {
            MsgError(padron_.context().ui, "Kapred terminó con un error (código " + std::to_string(code) + ").");
        }
    });
    process->start();
}

bool RegistryWindow::kapredRunning() const {
    const auto processes = findChildren<QProcess*>();
    return std::any_of(processes.begin(), processes.end(),
                       [](const QProcess* process) { return process->state() != QProcess::NotRunning; });
}

void RegistryWindow::backup() {
    // The registry asks itself before it replaces a file, so the dialog does not.
    const QString path = QFileDialog::getSaveFileName(
        this, QString::fromUtf8(kBackupTitle), QDir::home().filePath(QStringLiteral("padron-copia.kbk")),
        QStringLiteral("Copias del padrón (*.kbk);;Todos los archivos (*)"), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty() && CopiaDeSeguridad(padron_.context(), path.toStdString(), padron_.backupContents())) {
        MsgInformacion(padron_.context().ui,
                       "La copia de seguridad se escribió y se verificó en " + path.toStdString() + ".");
    }
}

void RegistryWindow::restore() {
    if (kapredRunning()) {
        MsgError(padron_.context().ui, "Cierre Kapred antes de restaurar el padrón.");
        return;
    }
    const QString path =
        QFileDialog::getOpenFileName(this, QString::fromUtf8(kRestoreTitle), QDir::homePath(),
                                     QStringLiteral("Copias del padrón (*.kbk);;Todos los archivos (*)"));
    if (path.isEmpty()) {
        return;
    }
    if (const ProgramEnding end = Restaurar(padron_.context(), path.toStdString(), padron_.backupContents())) {
        // The restored databases take over at the next start; this run must not touch them.
        ended_ = true;
        exitCode_ = *end;
        close();
        QCoreApplication::exit(exitCode_);
    }
}

void RegistryWindow::closeEvent(QCloseEvent* event) {
    // Ending here would end the Kapred started from here, and lose what it has not saved.
    if (!ended_ && kapredRunning()) {
        MsgInformacion(padron_.context().ui, "Kapred sigue abierto. Ciérrelo antes de salir del padrón.");
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace kapred::padron
