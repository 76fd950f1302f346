// The advances window on big declarations, offscreen: the time to open it, to sort it by each
// column, to scroll to its end and to delete all its rows, each beside what a plain QTableView
// over a minimal table model costs on the same rows read with one SQLite query: the part Qt
// and SQLite take whatever the window does. Every measure starts on a fresh installation.
#include <sqlite3.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "app/startup.h"
#include "calc/registry.h"
#include "model/declaration.h"
#include "support/header_input.h"
#include "support/program_dir.h"
#include "ui/scripted_qt_ui.h"
#include "ui/section_windows.h"

namespace {

using namespace kapred;

constexpr long long kCuit = 20123456789;
constexpr int kCodDJ = 20040;

// The program started on a fresh installation with the 2004 declaration current, which holds
// `rows` advances: dates spread over 2005 and amounts in no order.
class Installation {
public:
    explicit Installation(int rows) : context(dir.home(), "20-12345678-9", ui) {
        Main(context, quiet);
        registerBusinessObjects(context);
        auto header = std::make_shared<BDDJJ>(context);
        if (header->Aceptar(EntryMode::Adding, test::typedHeader()) != 0) {
            std::fprintf(stderr, "the declaration was refused\n");
            std::exit(1);
        }
        context.currentDeclaration = header;
        sqlite3* connection = context.g_dbAplicativo->handle();
        sqlite3_exec(connection, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(connection,
                           "INSERT INTO Anticipos (CUIT, CodDJ, ID, fFecha, cImporte) VALUES (?1, ?2, ?3, ?4, ?5)", -1,
                           &insert, nullptr);
        char day[16];
        for (int i = 1; i <= rows; ++i) {
            std::snprintf(day, sizeof day, "2005-%02d-%02d", i % 12 + 1, i * 7 % 28 + 1);
            sqlite3_bind_double(insert, 1, static_cast<double>(kCuit));
            sqlite3_bind_int(insert, 2, kCodDJ);
            sqlite3_bind_int(insert, 3, i);
            sqlite3_bind_text(insert, 4, day, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 5, (static_cast<sqlite3_int64>(i) * 7919 % 1000003) * 10000 + 2500);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(connection, "COMMIT", nullptr, nullptr, nullptr);
    }

    test::ProgramDir dir;
    test::ScriptedQtUi ui;
    Context context;
    StartupObserver quiet;
};

// What Qt itself costs: the rows' plain values read with one query, shown as text when asked,
// sorted by an index vector.
class PlainModel : public QAbstractTableModel {
public:
    struct Row {
        int id;
        int date;  // yyyymmdd
        long long amount;
    };

    void read(sqlite3* connection) {
        beginResetModel();
        rows_.clear();
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(connection,
                           "SELECT ID, fFecha, cImporte FROM Anticipos WHERE CUIT = ?1 AND CodDJ = ?2 ORDER BY ID", -1,
                           &select, nullptr);
        sqlite3_bind_double(select, 1, static_cast<double>(kCuit));
        sqlite3_bind_int(select, 2, kCodDJ);
        while (sqlite3_step(select) == SQLITE_ROW) {
            const char* day = reinterpret_cast<const char*>(sqlite3_column_text(select, 1));
            const int date =
                day != nullptr ? std::atoi(day) * 10000 + std::atoi(day + 5) * 100 + std::atoi(day + 8) : 0;
            rows_.push_back({sqlite3_column_int(select, 0), date, sqlite3_column_int64(select, 2)});
        }
        sqlite3_finalize(select);
        order_.resize(rows_.size());
        std::iota(order_.begin(), order_.end(), 0);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(order_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        const Row& row = rows_[order_[index.row()]];
        switch (index.column()) {
            case 0:
                return QString::number(row.id);
            case 1:
                return QString::asprintf("%02d/%02d/%04d", row.date % 100, row.date / 100 % 100, row.date / 10000);
            default:
                return QString::number(static_cast<double>(row.amount) / 10000, 'f', 2);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        return QStringList{QStringLiteral("Nº"), QStringLiteral("Fecha"), QStringLiteral("Importe")}.value(section);
    }
    void sort(int column, Qt::SortOrder order) override {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const auto key = [this, column](int r) {
            const Row& row = rows_[r];
            return column == 0 ? row.id : column == 1 ? row.date : row.amount;
        };
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int a, int b) { return order == Qt::AscendingOrder ? key(a) < key(b) : key(b) < key(a); });
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

private:
    std::vector<Row> rows_;
    std::vector<int> order_;
};

double seconds(const std::function<void()>& step) {
    QElapsedTimer clock;
    clock.start();
    step();
    // Painted before the clock stops.
    QApplication::processEvents();
    QApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

struct Sort {
    const char* name;
    int column;
    Qt::SortOrder order;
};
const Sort kSorts[] = {{"sort Nº descending", 0, Qt::DescendingOrder},
                       {"sort Fecha", 1, Qt::AscendingOrder},
                       {"sort Importe", 2, Qt::AscendingOrder},
                       {"sort Importe descending", 2, Qt::DescendingOrder},
                       {"sort Nº", 0, Qt::AscendingOrder}};

using Figures = std::vector<std::pair<std::string, double>>;

Figures window(int rows) {
    Installation program(rows);
    Figures figures;
    std::unique_ptr<ui::frmSeccion> shown;
    figures.emplace_back("open", seconds([&] {
                             shown = std::make_unique<ui::frmSeccion>(program.context, program.ui,
                                                                      *findSection(program.context, "Anticipos"));
                             shown->InicializeObjects();
                             shown->show();
                         }));
    if (shown->rowCount() != rows) {
        std::fprintf(stderr, "the window shows %d rows, not %d\n", shown->rowCount(), rows);
        std::exit(1);
    }
    auto* grid = shown->findChild<QTableView*>(QStringLiteral("dbgAnticipos"));
    for (const auto& sort : kSorts) {
        figures.emplace_back(sort.name, seconds([&] { grid->sortByColumn(sort.column, sort.order); }));
    }
    figures.emplace_back("scroll to the end", seconds([&] { grid->scrollToBottom(); }));
    program.ui.script.answers = {true};
    figures.emplace_back("Eliminar Todos", seconds([&] { shown->cmdDeleteAll_Click(); }));
    if (shown->rowCount() != 0) {
        std::fprintf(stderr, "Eliminar Todos left %d rows\n", shown->rowCount());
        std::exit(1);
    }
    return figures;
}

Figures baseline(int rows) {
    Installation program(rows);
    sqlite3* connection = program.context.g_dbAplicativo->handle();
    Figures figures;
    PlainModel model;
    QTableView view;
    figures.emplace_back("open", seconds([&] {
                             model.read(connection);
                             view.setModel(&model);
                             view.setSortingEnabled(true);
                             view.verticalHeader()->hide();
                             view.resize(400, 300);
                             view.show();
                         }));
    for (const auto& sort : kSorts) {
        figures.emplace_back(sort.name, seconds([&] { view.sortByColumn(sort.column, sort.order); }));
    }
    figures.emplace_back("scroll to the end", seconds([&] { view.scrollToBottom(); }));
    figures.emplace_back("Eliminar Todos", seconds([&] {
                             sqlite3_exec(connection,
                                          "DELETE FROM Anticipos WHERE CUIT = 20123456789 AND CodDJ = 20040", nullptr,
                                          nullptr, nullptr);
                             model.read(connection);
                         }));
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    std::vector<int> sizes{50000, 990000};
    if (argc > 1) {
        sizes = {std::atoi(argv[1])};
    }
    for (const int rows : sizes) {
        const Figures ours = window(rows);
        const Figures plain = baseline(rows);
        std::printf("\n%d advances                 window   plain view\n", rows);
        for (std::size_t i = 0; i < ours.size(); ++i) {
            std::printf("  %-24s %7.3f s  %7.3f s\n", ours[i].first.c_str(), ours[i].second, plain[i].second);
        }
        std::fflush(stdout);
    }
    return 0;
}
