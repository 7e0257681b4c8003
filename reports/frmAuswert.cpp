#include "reports/frmAuswert.h"

#include "dialogs/FieldChecks.h"
#include "engine/Recordset.h"
#include "platform/Formats.h"
#include "reports/AnnualFigures.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QStringList YearHeaders = {QString(),
                                 QStringLiteral("Arbeitstage"),
                                 QStringLiteral("Urlaubstage"),
                                 QStringLiteral("Kranktage"),
                                 QStringLiteral("Freitage"),
                                 QStringLiteral("Stunden"),
                                 QStringLiteral("Stundenkonto")};
// The columns of StatMa in the order of its text.
const QStringList MonthFields = {QStringLiteral("Monat"),       QStringLiteral("Soll"),
                                 QStringLiteral("IstStd"),      QStringLiteral("SumVormonat"),
                                 QStringLiteral("Urlaubstage"), QStringLiteral("Kranktage"),
                                 QStringLiteral("MaNr")};
constexpr int SollColumn = 1;
constexpr int FirstColumnWidth = 120;

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment, bool editable = false) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    return item;
}

QTableWidget* table(const char* name, QWidget* parent) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(QLatin1String(name));
    t->verticalHeader()->hide();
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    return t;
}

} // namespace

frmAuswert::frmAuswert(data::Session& session, int year, QWidget* parent)
    : QDialog(parent), session_(session), year_(year) {
    setObjectName(QStringLiteral("frmAuswert"));
    setWindowTitle(QStringLiteral("Jahresübersicht für ") + QString::number(year));
    setModal(true);

    TabStrip = new QTabWidget(this);
    TabStrip->setObjectName(QStringLiteral("TabStrip"));
    auto* all = new QWidget(TabStrip);
    all->setObjectName(QStringLiteral("Frame1_0"));
    auto* one = new QWidget(TabStrip);
    one->setObjectName(QStringLiteral("Frame1_1"));
    TabStrip->addTab(all, QStringLiteral("alle Mitarbeiter"));
    TabStrip->addTab(one, QStringLiteral("nach Mitarbeiter"));

    grid = table("grid", all);
    grid->horizontalHeader()->hide(); // row 0 is the header row, as in the roster
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* allLayout = new QVBoxLayout(all);
    allLayout->addWidget(grid);

    DataCombo1 = new QComboBox(one);
    DataCombo1->setObjectName(QStringLiteral("DataCombo1"));
    DataGrid1 = table("DataGrid1", one);
    DataGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    Label1 = new QLabel(QStringLiteral("Die Sollstunden können manuell geändert werden."), one);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    auto* oneLayout = new QVBoxLayout(one);
    oneLayout->addWidget(DataCombo1, 0, Qt::AlignLeft);
    oneLayout->addWidget(DataGrid1);
    oneLayout->addWidget(Label1);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(TabStrip);
    resize(760, 520);

    // The employee list: every employee by his plan name.
    try {
        engine::Recordset& employees = session_.env.rsMitarbeiter;
        for (employees.moveFirst(); !employees.eof(); employees.moveNext())
            DataCombo1->addItem(employees.value(QStringLiteral("PlanName")).toString(),
                                employees.value(QStringLiteral("MaNr")));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmAuswert Form_Load"));
    }
    DataCombo1->setCurrentIndex(-1);
    connect(DataCombo1, &QComboBox::currentIndexChanged, this, [this] { DataCombo1_Change(); });
    connect(DataGrid1, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { DataGrid1_AfterColUpdate(item); });
    gridrepaint();
}

frmAuswert::~frmAuswert() {
    session_.env.rsStatMa.close();
}

void frmAuswert::gridrepaint() {
    grid->clear();
    grid->setColumnCount(YearHeaders.size());
    grid->setRowCount(1);
    grid->setColumnWidth(0, FirstColumnWidth);
    QFont bold = grid->font();
    bold.setBold(true);
    for (int c = 0; c < YearHeaders.size(); ++c) {
        QTableWidgetItem* header = cell(YearHeaders.at(c), Qt::AlignCenter);
        header->setBackground(palette().button());
        header->setFont(bold);
        grid->setItem(0, c, header);
    }
    QList<reports::AnnualLine> lines;
    try {
        lines = reports::annualLines(session_.env, year_);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmAuswert gridrepaint"));
    }
    grid->setRowCount(int(lines.size()) + 1);
    const QFontMetrics metrics(grid->font());
    for (int i = 0; i < lines.size(); ++i) {
        const reports::AnnualLine& line = lines.at(i);
        const int row = i + 1;
        QTableWidgetItem* name = cell(line.planName, Qt::AlignLeft);
        name->setBackground(palette().button());
        grid->setItem(row, 0, name);
        const int width = metrics.horizontalAdvance(line.planName) + 12;
        if (width > grid->columnWidth(0)) grid->setColumnWidth(0, width);
        const QStringList figures = {line.arbeitstage, line.urlaubstage, line.kranktage,
                                     line.freitage,    line.stunden,     line.stundenkonto};
        for (int c = 0; c < figures.size(); ++c)
            grid->setItem(row, c + 1, cell(figures.at(c), Qt::AlignRight));
    }
    for (int c = 1; c < YearHeaders.size(); ++c)
        grid->resizeColumnToContents(c);
}

void frmAuswert::chooseEmployee(const QString& planName) {
    DataCombo1->setCurrentIndex(DataCombo1->findText(planName, Qt::MatchExactly));
}

void frmAuswert::DataCombo1_Change() {
    data::DataUmgebung& env = session_.env;
    filling_ = true;
    DataGrid1->clear();
    DataGrid1->setRowCount(0);
    Label1->hide();
    try {
        env.rsStatMa.close();
        maNr_ = DataCombo1->currentData().toInt();
        if (DataCombo1->currentIndex() < 0) {
            filling_ = false;
            return;
        }
        engine::Recordset& employees = env.rsMitarbeiter;
        employees.moveFirst();
        employees.find(QStringLiteral("MaNr=") + QString::number(maNr_));
        const bool flatTarget =
            !employees.eof() &&
            roster::nullToDouble(employees.value(QStringLiteral("Sollstd"))) != 0;

        engine::Recordset& rows = env.StatMa(maNr_, year_);
        rows.setSort(QStringLiteral("Monat"));
        DataGrid1->setColumnCount(MonthFields.size());
        DataGrid1->setHorizontalHeaderLabels(MonthFields);
        DataGrid1->setRowCount(int(rows.recordCount()));
        int row = 0;
        for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++row) {
            for (int c = 0; c < MonthFields.size(); ++c) {
                const QVariant value = rows.value(MonthFields.at(c));
                const bool number = c >= 1 && c <= 5;
                const QString text =
                    number ? platform::fixed(roster::nullToDouble(value)) : value.toString();
                DataGrid1->setItem(row, c,
                                   cell(text, number ? Qt::AlignRight : Qt::AlignLeft,
                                        flatTarget && c == SollColumn));
            }
        }
        Label1->setVisible(flatTarget);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("DataCombo1_Change"));
    }
    filling_ = false;
}

void frmAuswert::DataGrid1_AfterColUpdate(QTableWidgetItem* item) {
    if (filling_ || item->column() != SollColumn) return;
    data::DataUmgebung& env = session_.env;
    const int month = DataGrid1->item(item->row(), 0)->text().toInt();
    const auto restore = [&] {
        filling_ = true;
        if (roster::findStatRow(env, maNr_, month, year_))
            item->setText(platform::fixed(
                roster::nullToDouble(env.rsStatistik.value(QStringLiteral("Soll")))));
        filling_ = false;
    };
    bool ok = false;
    const double target = platform::parseNumber(item->text(), &ok);
    if (!ok) {
        session_.prompts().ask(QStringLiteral("Überprüfen Sie Ihre Eingabe"));
        restore();
        return;
    }
    if (!dialogs::isTargetInRange(target)) {
        session_.prompts().ask(dialogs::TargetRangeMessage);
        restore();
        return;
    }
    try {
        if (!roster::findStatRow(env, maNr_, month, year_)) return;
        env.rsStatistik.setValue(QStringLiteral("Soll"), target);
        env.rsStatistik.update();
    } catch (const std::exception& e) {
        try {
            env.rsStatistik.cancelUpdate();
        } catch (const std::exception&) {
        }
        data::report(session_, e, QStringLiteral("DataGrid1_AfterColUpdate"));
    }
    restore();
}
