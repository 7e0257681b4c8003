#include "dialogs/RecordList.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace dialogs {

namespace {

// Answers every attempt to edit a cell instead of opening an editor.
class RefusingDelegate final : public QStyledItemDelegate {
public:
    RefusingDelegate(std::function<void()> refuse, QObject* parent)
        : QStyledItemDelegate(parent), refuse_(std::move(refuse)) {}
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        refuse_();
        return nullptr;
    }

private:
    std::function<void()> refuse_;
};

constexpr int BookmarkRole = Qt::UserRole + 1;

} // namespace

RecordList::RecordList(engine::Recordset& recordset, QList<Column> columns,
                       platform::Prompts& prompts, QWidget* parent)
    : QTableWidget(parent), recordset_(recordset), columns_(std::move(columns)), prompts_(prompts) {
    setColumnCount(int(columns_.size()));
    QStringList headers;
    for (const Column& c : std::as_const(columns_))
        headers << c.header;
    setHorizontalHeaderLabels(headers);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new RefusingDelegate([this] { refuseEditing(); }, this));
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int oldRow, int) {
        if (filling_ || row == oldRow) return;
        if (const auto bm = bookmarkAt(row)) Q_EMIT chosen(*bm);
    });
}

void RecordList::refuseEditing() {
    prompts_.ask(QStringLiteral("Ändern Sie die Daten in der Eingabemaske."));
}

std::optional<engine::Bookmark> RecordList::bookmarkAt(int row) const {
    const QTableWidgetItem* it = item(row, 0);
    if (!it) return std::nullopt;
    return it->data(BookmarkRole).value<engine::Bookmark>();
}

void RecordList::refill() {
    filling_ = true;
    setRowCount(0);
    if (recordset_.isOpen()) {
        const auto rows = recordset_.clone();
        for (; !rows->eof(); rows->moveNext()) {
            const int r = rowCount();
            insertRow(r);
            const QString note = rowNote_ ? rowNote_(*rows) : QString();
            for (int c = 0; c < columns_.size(); ++c) {
                const Column& col = columns_.at(c);
                const QVariant v = rows->value(col.field);
                QString text = col.format ? col.format(v) : v.toString();
                if (c == 0 && !note.isEmpty())
                    text += QStringLiteral(" (") + note + QLatin1Char(')');
                auto* it = new QTableWidgetItem(text);
                if (c == 0) it->setData(BookmarkRole, rows->bookmark());
                if (!note.isEmpty()) {
                    QFont f = font();
                    f.setItalic(true);
                    it->setFont(f);
                    it->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
                    it->setToolTip(note);
                }
                setItem(r, c, it);
            }
        }
    }
    filling_ = false;
    markCurrent();
}

void RecordList::markCurrent() {
    filling_ = true;
    int found = -1;
    if (recordset_.isOpen() && !recordset_.eof() && !recordset_.bof() &&
        recordset_.status() != engine::RecordStatus::New) {
        const engine::Bookmark current = recordset_.bookmark();
        for (int r = 0; r < rowCount(); ++r) {
            if (bookmarkAt(r) == current) {
                found = r;
                break;
            }
        }
    }
    if (found >= 0) {
        setCurrentCell(found, 0);
        scrollToItem(item(found, 0));
    } else {
        setCurrentCell(-1, -1);
        clearSelection();
    }
    filling_ = false;
}

} // namespace dialogs
