#include "ui/generate_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "data/values/numeric_text.h"
#include "ui/help.h"
#include "ui/qt_interface.h"
#include "ui/wait_window.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

constexpr int kRootRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
constexpr const char* kAtRest = "0,00 %";

// The path is the folder or lies inside it.
bool isInside(const QString& path, const QString& folder) {
    return path == folder || folder == QLatin1String("/") || path.startsWith(folder + QLatin1Char('/'));
}

// Some folder between the root and the path is hidden, so the list does not show the path.
bool hiddenBelow(const QString& path, const QString& root) {
    const QStringList folders = path.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::any_of(folders.begin(), folders.end(),
                       [](const QString& folder) { return folder.startsWith(QLatin1Char('.')); });
}

// The percentage as the mask "###,###" shows it: whole, with thousands points, nothing for 0.
QString maskedPercent(double percent, NumberFormat format) {
    const Currency whole = Currency::fromDouble(percent).value_or(Currency()).roundTo(0);
    return QString::fromStdString(whole.isZero() ? std::string() : formatAmount(whole, 0, true, format)) +
           QStringLiteral(" %");
}

// The events come while the generation runs inside the Aceptar handler: the window repaints
// what they changed, and ignores the user's input until the handler ends.
void repaintNow() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QProgressBar* progressBar(const char* name, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QLabel* label(const char* name, const char* text, QWidget* parent) {
    auto* shown = new QLabel(QString::fromUtf8(text), parent);
    shown->setObjectName(QLatin1String(name));
    return shown;
}

}  // namespace

// The folders of one drive under the drive itself: the file-system model knows the whole tree,
// this shows the drive's root folder, named after the drive, and what lies inside it.
class DriveFolders : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setDrive(const QString& root, const QString& caption, const QIcon& icon) {
        root_ = root;
        caption_ = caption;
        icon_ = icon;
        invalidateFilter();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (index.column() == 0 && (role == Qt::DisplayRole || role == Qt::DecorationRole) &&
            pathOf(mapToSource(index)) == root_) {
            return role == Qt::DisplayRole ? QVariant(caption_) : QVariant(icon_);
        }
        return QSortFilterProxyModel::data(index, role);
    }

protected:
    // The drive's folders, and the folders that lead down to its root.
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QString path = pathOf(sourceModel()->index(row, 0, parent));
        return isInside(path, root_) || isInside(root_, path);
    }

private:
    QString pathOf(const QModelIndex& index) const {
        return static_cast<const QFileSystemModel*>(sourceModel())->filePath(index);
    }

    QString root_;
    QString caption_;
    QIcon icon_;
};

frmGenerar::frmGenerar(Context& context, QWidget* parent, const QStringList& mediaRoots)
    : QDialog(parent), context_(context), generator_(context, this) {
    setObjectName(QStringLiteral("frmGenerar"));
    setWindowTitle(QStringLiteral(" Generar Archivo "));
    setHelpContext(*this, kHelpGenerate);
    buildControls();
    fillDrives(mediaRoots);
    adjustSize();

    // It starts at the program's folder when the user can see that folder in the list; otherwise
    // (it lies among the user's hidden data) at the home folder.
    const QString program = QDir::cleanPath(QString::fromStdString(context_.appPath.string()));
    const int drive = driveOf(program);
    if (drive < 0 || hiddenBelow(program, drive_->itemData(drive, kRootRole).toString()) || !selectFolder(program)) {
        selectFolder(drive_->itemData(0, kRootRole).toString());
    }
    CenterWindow(*this);
}

void frmGenerar::buildControls() {
    folderFrame_ = new QGroupBox(QStringLiteral(" Destino de la Presentación "), this);
    folderFrame_->setObjectName(QStringLiteral("FraFolder"));
    drive_ = new QComboBox(folderFrame_);
    drive_->setObjectName(QStringLiteral("Drive"));
    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    files_->setReadOnly(true);
    folders_ = new DriveFolders(this);
    folders_->setSourceModel(files_);
    folders_->setSortCaseSensitivity(Qt::CaseInsensitive);
    folders_->sort(0, Qt::AscendingOrder);
    // The model lists folders in the background, and a listing taken just before a folder was
    // created leaves it out for a moment: the view would then choose its parent. The chosen
    // folder stays chosen while it exists and is shown chosen again when it comes back. Connected
    // before the view is, so that these run first.
    connect(folders_, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { rowsLeaving_ = true; });
    connect(folders_, &QAbstractItemModel::rowsRemoved, this, guarded(context_.ui, [this] {
                rowsLeaving_ = false;
                if (!QFileInfo(folderPath_).isDir()) {
                    Folder_Change();
                }
            }));
    connect(folders_, &QAbstractItemModel::rowsInserted, this,
            [this] { QTimer::singleShot(0, this, guarded(context_.ui, [this] { showChosen(); })); });
    folder_ = new QTreeView(folderFrame_);
    folder_->setObjectName(QStringLiteral("Folder"));
    folder_->setAccessibleName(QStringLiteral("Carpetas de la unidad"));
    folder_->setModel(folders_);
    folder_->setHeaderHidden(true);
    for (int column = 1; column < files_->columnCount(); ++column) {
        folder_->hideColumn(column);
    }
    folder_->setSelectionMode(QAbstractItemView::SingleSelection);
    folder_->setMinimumHeight(220);
    txtDir_ = new QLineEdit(folderFrame_);
    txtDir_->setObjectName(QStringLiteral("txtDir"));
    // It shows the chosen folder; the list, not typing, chooses it.
    txtDir_->setReadOnly(true);
    auto* carpeta = new QPushButton(QStringLiteral("&Crear Carpeta"), folderFrame_);
    carpeta->setObjectName(QStringLiteral("cmdCarpeta"));
    carpeta->setAutoDefault(false);
    carpeta->setIcon(
        QIcon::fromTheme(QStringLiteral("folder-new"), style()->standardIcon(QStyle::SP_FileDialogNewFolder)));
    auto* chosen = new QHBoxLayout;
    chosen->addWidget(txtDir_, 1);
    chosen->addWidget(carpeta);
    auto* destination = new QFormLayout(folderFrame_);
    destination->addRow(QStringLiteral("&Unidad:"), drive_);
    destination->addRow(folder_);
    destination->addRow(QStringLiteral("Carpeta:"), chosen);
    destination->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    connect(drive_, &QComboBox::currentIndexChanged, this,
            [this](int index) { runGuarded(context_.ui, [&] { Drive_Change(index); }); });
    connect(folder_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            guarded(context_.ui, [this] { Folder_Change(); }));
    connect(carpeta, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdCarpeta_Click(); }));

    auto* progress = new QGroupBox(QStringLiteral(" Progreso de Tareas "), this);
    progress->setObjectName(QStringLiteral("fraProgreso"));
    proBar_ = progressBar("proBar", progress);
    proBarCopia_ = progressBar("proBarCopia", progress);
    lblPorciento_ = label("lblPorciento", kAtRest, progress);
    lblPorcientoCopia_ = label("lblPorcientoCopia", kAtRest, progress);
    lblGenFile_ = label("lblGenFile", kEncryptionIdle, progress);
    setStateColour(palette().color(QPalette::ButtonText));
    auto* grid = new QGridLayout(progress);
    grid->addWidget(label("lblProReg", "Proceso de Registros", progress), 0, 0, 1, 2);
    grid->addWidget(proBar_, 1, 0);
    grid->addWidget(lblPorciento_, 1, 1);
    grid->addWidget(lblGenFile_, 2, 0, 1, 2);
    grid->addWidget(label("lblCopyFile", "Copiando Archivo....", progress), 3, 0, 1, 2);
    grid->addWidget(proBarCopia_, 4, 0);
    grid->addWidget(lblPorcientoCopia_, 4, 1);
    grid->setRowMinimumHeight(2, lblGenFile_->sizeHint().height() + 12);
    grid->setColumnStretch(0, 1);
    const int percentWidth = fontMetrics().horizontalAdvance(QStringLiteral("100,00 %")) + 8;
    for (QLabel* percent : {lblPorciento_, lblPorcientoCopia_}) {
        percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        percent->setMinimumWidth(percentWidth);
    }

    // Delivering is the one step that cannot be taken back: it starts only from its own button or
    // that button's access key, never from Enter or a key meant for the folder boxes (Ctrl+A
    // selects their text). No button is the dialog's default, so Enter neither delivers nor
    // cancels; an accepting button of a button box would be the default.
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("&Aceptar"), QDialogButtonBox::ActionRole);
    ok_->setObjectName(QStringLiteral("cmdOk"));
    ok_->setAutoDefault(false);
    auto* cancel = buttons->addButton(QStringLiteral("Cancelar (Ctrl+C)"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdOk_Click(); }));
    connect(cancel, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdCancel_Click(); }));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderFrame_, 1);
    layout->addWidget(progress);
    layout->addWidget(buttons);
    setMinimumWidth(560);
}

QStringList removableMediaRoots() {
    const QString user = QString::fromLocal8Bit(qgetenv("USER"));
    if (user.isEmpty()) {
        return {};
    }
    return {QStringLiteral("/media/") + user, QStringLiteral("/run/media/") + user};
}

void frmGenerar::fillDrives(const QStringList& mediaRoots) {
    const QSignalBlocker quiet(drive_);
    drive_->clear();
    const auto add = [this](const QIcon& icon, const QString& name, const QString& root) {
        drive_->addItem(icon, QStringLiteral("%1 (%2)").arg(name, root), root);
        drive_->setItemData(drive_->count() - 1, name, kNameRole);
        drive_->setItemData(drive_->count() - 1, root, Qt::ToolTipRole);
    };
    add(QIcon::fromTheme(QStringLiteral("user-home"), style()->standardIcon(QStyle::SP_DirHomeIcon)),
        QStringLiteral("Carpeta personal"), QDir::cleanPath(QDir::homePath()));
    // Each medium gets its own folder, named after its label, in one of the roots.
    const QIcon removable =
        QIcon::fromTheme(QStringLiteral("drive-removable-media"), style()->standardIcon(QStyle::SP_DriveFDIcon));
    for (const QString& root : mediaRoots) {
        const QFileInfoList media =
            QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& medium : media) {
            add(removable, medium.fileName(), QDir::cleanPath(medium.absoluteFilePath()));
        }
    }
    // The whole of the longest name shows, in the box and in its list.
    drive_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    drive_->view()->setMinimumWidth(drive_->sizeHint().width());
}

int frmGenerar::driveOf(const QString& path) const {
    // The innermost drive that holds it: a medium may be mounted inside the home folder.
    int found = -1;
    for (int index = 0; index < drive_->count(); ++index) {
        const QString root = drive_->itemData(index, kRootRole).toString();
        if (isInside(path, root) && (found < 0 || root.size() > drive_->itemData(found, kRootRole).toString().size())) {
            found = index;
        }
    }
    return found;
}

void frmGenerar::Drive_Change(int index) {
    const QString root = drive_->itemData(index, kRootRole).toString();
    if (!bUnidadLista(context_.ui, root.toStdString())) {
        const QSignalBlocker quiet(drive_);
        drive_->setCurrentIndex(shownDrive_);
        return;
    }
    selectFolder(root);
}

void frmGenerar::showDrive(int index) {
    if (index == shownDrive_) {
        return;
    }
    shownDrive_ = index;
    {
        const QSignalBlocker quiet(drive_);
        drive_->setCurrentIndex(index);
    }
    const QString root = drive_->itemData(index, kRootRole).toString();
    files_->setRootPath(root);
    folders_->setDrive(root, drive_->itemData(index, kNameRole).toString(), drive_->itemIcon(index));
    QDir above(root);
    folder_->setRootIndex(above.cdUp() ? folders_->mapFromSource(files_->index(above.path())) : QModelIndex());
}

bool frmGenerar::selectFolder(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    const int drive = driveOf(clean);
    if (drive < 0) {
        return false;
    }
    showDrive(drive);
    const QModelIndex shown = folders_->mapFromSource(files_->index(clean));
    if (!shown.isValid()) {
        return false;
    }
    folder_->setCurrentIndex(shown);
    folder_->expand(shown);
    folder_->scrollTo(shown);
    return true;
}

void frmGenerar::showChosen() {
    const QModelIndexList shown = folder_->selectionModel()->selectedRows();
    if (folderPath_.isEmpty() ||
        (!shown.isEmpty() && files_->filePath(folders_->mapToSource(shown.front())) == folderPath_)) {
        return;
    }
    if (const QModelIndex chosen = folders_->mapFromSource(files_->index(folderPath_)); chosen.isValid()) {
        folder_->setCurrentIndex(chosen);
    }
}

void frmGenerar::Folder_Change() {
    if (rowsLeaving_) {
        return;
    }
    const QModelIndexList chosen = folder_->selectionModel()->selectedRows();
    folderPath_ = chosen.isEmpty() ? QString() : files_->filePath(folders_->mapToSource(chosen.front()));
    txtDir_->setText(QDir::toNativeSeparators(folderPath_));
}

void frmGenerar::cmdCarpeta_Click() {
    bool answered = false;
    const QString name =
        QInputDialog::getText(this, QString::fromUtf8(kNewFolderTitle), QString::fromUtf8(kNewFolderPrompt),
                              QLineEdit::Normal, QString(), &answered);
    if (!answered || name.isEmpty()) {
        return;
    }
    if (const auto created = CrearCarpeta(generator_, folderPath_.toStdString(), name.toStdString())) {
        selectFolder(QString::fromStdString(created->string()));
    }
}

void frmGenerar::cmdOk_Click() {
    ok_->setEnabled(false);
    folderFrame_->setEnabled(false);
    generating_ = true;
    setCursor(Qt::WaitCursor);
    repaintNow();
    const GenerationOutcome outcome = GenerarEnDestino(generator_, folderPath_.toStdString());
    unsetCursor();
    generating_ = false;
    if (outcome == GenerationOutcome::NoComponent) {
        // Nothing can be generated without the component: only Cancelar is left.
        return;
    }
    if (outcome != GenerationOutcome::NoDestination) {
        LimpiarFormulario();
    }
    ok_->setEnabled(true);
    folderFrame_->setEnabled(true);
}

void frmGenerar::cmdCancel_Click() {
    generator_.EliminarTemporales();
    reject();
}

void frmGenerar::setStateColour(const QColor& colour) {
    QPalette shown = lblGenFile_->palette();
    shown.setColor(QPalette::WindowText, colour);
    lblGenFile_->setPalette(shown);
}

void frmGenerar::LimpiarFormulario() {
    proBar_->setValue(0);
    proBarCopia_->setValue(0);
    lblPorciento_->setText(QLatin1String(kAtRest));
    lblPorcientoCopia_->setText(QLatin1String(kAtRest));
    lblGenFile_->setText(QString::fromUtf8(kEncryptionIdle) + QStringLiteral("    "));
    setStateColour(palette().color(QPalette::ButtonText));
    repaintNow();
}

void frmGenerar::Progreso(double percent, long step, long steps) {
    percent = std::min(percent, 100.0);
    proBar_->setValue(static_cast<int>(std::lround(percent)));
    if (step != 0 && steps != 0) {
        lblPorciento_->setText(maskedPercent(percent, context_.numberFormat()));
    }
    repaintNow();
}

void frmGenerar::ProgresoCopia(double percent) {
    percent = std::min(percent, 100.0);
    proBarCopia_->setValue(static_cast<int>(std::lround(percent)));
    lblPorcientoCopia_->setText(maskedPercent(percent, context_.numberFormat()));
    repaintNow();
}

void frmGenerar::EstadoEncriptacion(const std::string& state) {
    lblGenFile_->setText(QString::fromStdString(state));
    setStateColour(QColor(Qt::red));
    repaintNow();
}

void frmGenerar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmGenerar::closeEvent(QCloseEvent* event) {
    // The close box leaves the intermediate files, as it always has; it cannot stop a generation.
    if (generating_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void startGeneration(Context& context, QWidget* parent) {
    frmPrintCrystal wait(
        QString::fromUtf8(kGenerationWait),
        [&context](QWidget& waitWindow) {
            frmGenerar dialog(context, &waitWindow);
            dialog.exec();
        },
        parent);
    wait.exec();
}

}  // namespace kapred::ui
