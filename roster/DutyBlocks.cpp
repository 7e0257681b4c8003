#include "roster/DutyBlocks.h"

#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <bit>
#include <cmath>

namespace roster {

namespace {

// The duties of a group's positions from..to on the days first..last, every field of the duty
// table followed by the position.
const Query& blockDutiesQuery() {
    static const Query query(
        QStringLiteral("SELECT Dienstzeiten.*, GpZuordnung.DienstPos FROM Dienstzeiten INNER JOIN "
                       "GpZuordnung ON Dienstzeiten.MaNr = GpZuordnung.MaNr "
                       "WHERE (GpZuordnung.GruppenNr = [parGruppe]) "
                       "AND (GpZuordnung.DienstPos >= [parVon]) AND (GpZuordnung.DienstPos <= "
                       "[parBis]) AND (Dienstzeiten.Tag >= [parTagVon]) AND (Dienstzeiten.Tag <= "
                       "[parTagBis])"),
        {QStringLiteral("parGruppe"), QStringLiteral("parVon"), QStringLiteral("parBis"),
         QStringLiteral("parTagVon"), QStringLiteral("parTagBis")});
    return query;
}

struct CellKey {
    int col;
    qint64 day;
    bool operator==(const CellKey&) const = default;
};
size_t qHash(const CellKey& k, size_t seed = 0) {
    return qHashMulti(seed, k.col, k.day);
}

using BlockDuties = QHash<CellKey, std::vector<QVariant>>;

// The stored values of the block's duties by cell (the first duty found for a cell).
BlockDuties readBlockDuties(data::DataUmgebung& env, const MonthState& month, const QRect& block,
                            size_t fieldCount) {
    BlockDuties duties;
    QueryRun run(env.Datenbank, blockDutiesQuery(),
                 {month.groupNumber, block.left(), block.right(),
                  month.firstDay.addDays(block.top() - 2),
                  month.firstDay.addDays(block.bottom() - 2)});
    while (run.next()) {
        std::vector<QVariant> values;
        values.reserve(fieldCount);
        for (size_t i = 0; i < fieldCount; ++i)
            values.push_back(run.value(int(i)));
        const auto day = engine::dayNumber(values[1]);
        const CellKey key{run.value(int(fieldCount)).toInt(), qint64(std::floor(day.value_or(0)))};
        if (!duties.contains(key)) duties.insert(key, std::move(values));
    }
    return duties;
}

qint64 dayKey(const QDate& day) {
    return qint64(engine::dayNumber(day));
}

// After a rollback the shared recordsets must read the database again.
void rereadAfterRollback(data::DataUmgebung& env) {
    try {
        env.rsDienstzeiten.cancelUpdate();
        env.rsDienstzeiten.requery();
        if (env.rsMitarbeiter.isOpen() && !env.rsMitarbeiter.isEditing())
            env.rsMitarbeiter.requery();
    } catch (...) {
        // the first error is the one to report
    }
}

// Writes a pending change of the shared duty recordset before a block change, as moving it
// would.
void writePendingDuty(data::DataUmgebung& env) {
    if (env.rsDienstzeiten.isEditing()) env.rsDienstzeiten.update();
}

// The duties go in chunks of this many rows a statement: a statement per row would cost a
// statement journal each, and a chunk stays far below SQLite's limit of bound values.
constexpr qsizetype ChunkRows = 256;

engine::EngineError gone(qint64 number) {
    return engine::EngineError(
        engine::err::NoCurrentRecord,
        QStringLiteral("Der Dienst %1 ist nicht mehr vorhanden.").arg(number));
}

// Deletes the duties in one transaction; the change hooks hear of every one. Throws when a duty is
// no longer there (or is named twice).
void deleteDuties(data::DataUmgebung& env, const QList<qint64>& dutyNumbers) {
    if (dutyNumbers.isEmpty()) return;
    engine::Transaction transaction(env.Datenbank);
    try {
        writePendingDuty(env);
        QList<data::DataUmgebung::DutyDay> deleted;
        QSet<qint64> named;
        for (qsizetype start = 0; start < dutyNumbers.size(); start += ChunkRows) {
            const QList<qint64> chunk = dutyNumbers.mid(start, ChunkRows);
            engine::Statement remove(
                env.Datenbank, QStringLiteral("DELETE FROM Dienstzeiten WHERE DienstNR IN (") +
                                   engine::valueMarks(chunk.size()) +
                                   QStringLiteral(") RETURNING DienstNR, MaNr, Tag"));
            for (qsizetype i = 0; i < chunk.size(); ++i) {
                if (named.contains(chunk[i])) throw gone(chunk[i]);
                named.insert(chunk[i]);
                remove.bind(int(i) + 1, chunk[i]);
            }
            QSet<qint64> found;
            while (remove.step()) {
                found.insert(remove.int64(0));
                deleted << data::DataUmgebung::DutyDay{int(remove.int64(1)),
                                                       engine::toDate(remove.value(2))};
            }
            for (const qint64 number : chunk) {
                if (!found.contains(number)) throw gone(number);
            }
        }
        Q_EMIT env.dutiesWritten(deleted);
        transaction.commit();
    } catch (...) {
        rereadAfterRollback(env);
        throw;
    }
    // the shared recordset stood on a duty that may be gone
    env.rsDienstzeiten.requery();
}

struct Member {
    int maNr = 0;
    QVariant normHours;
};

// The members of the group by position (the first found for a position).
QHash<int, Member> membersByPosition(data::DataUmgebung& env, int group) {
    static const Query query(
        QStringLiteral("SELECT GpZuordnung.DienstPos, Mitarbeiter.MaNr, Mitarbeiter.normstunden "
                       "FROM GpZuordnung INNER JOIN Mitarbeiter ON GpZuordnung.MaNr = "
                       "Mitarbeiter.MaNr WHERE (GpZuordnung.GruppenNr = [parGruppe])"),
        {QStringLiteral("parGruppe")});
    QHash<int, Member> members;
    QueryRun run(env.Datenbank, query, {group});
    while (run.next()) {
        const int pos = run.value(0).toInt();
        if (!members.contains(pos)) members.insert(pos, {run.value(1).toInt(), run.value(2)});
    }
    return members;
}

// Writes pasted duties in chunks: the employee's duty of each day is deleted and the new one
// inserted, as one statement pair a row would, in the order of the rows. A chunk never holds a
// day of an employee twice, so that a later row replaces an earlier one as it would row by row.
class DutyWriter {
public:
    DutyWriter(data::DataUmgebung& env, const std::vector<engine::FieldInfo>& fields,
               std::vector<size_t> columns)
        : env_(env), columns_(std::move(columns)) {
        for (const size_t i : columns_)
            names_ << fields[i].name;
    }

    void add(const QDate& day, int maNr, const std::vector<QVariant>& values) {
        const std::pair<qint64, int> key{dayKey(day), maNr};
        if (keys_.contains(key) || qsizetype(keys_.size()) >= ChunkRows) flush();
        keys_.insert(key);
        cells_ << day << maNr;
        for (const size_t i : columns_)
            values_ << values[i];
    }

    // Writes what is left; the number of the last duty inserted (0 for none).
    qint64 finish() {
        flush();
        return lastKey_;
    }

private:
    void flush() {
        const qsizetype rows = keys_.size();
        if (rows == 0) return;
        {
            engine::Statement remove(
                env_.Datenbank,
                QStringLiteral("DELETE FROM Dienstzeiten WHERE DienstNR IN (SELECT (SELECT "
                               "DienstNR FROM Dienstzeiten WHERE Tag = v.column1 AND MaNr = "
                               "v.column2 LIMIT 1) FROM (VALUES ") +
                    engine::rowMarks(rows, 2) + QStringLiteral(") AS v)"));
            remove.bindAll(cells_);
            remove.step();
        }
        engine::Statement insert(env_.Datenbank,
                                 engine::insertSql(QStringLiteral("Dienstzeiten"), names_, rows));
        insert.bindAll(values_);
        insert.step();
        lastKey_ = env_.Datenbank.lastInsertRowId();
        keys_.clear();
        cells_.clear();
        values_.clear();
    }

    data::DataUmgebung& env_;
    std::vector<size_t> columns_;
    QStringList names_;
    QSet<std::pair<qint64, int>> keys_;
    QVariantList cells_;
    QVariantList values_;
    qint64 lastKey_ = 0;
};

// The fields a paste takes over from a line, in the order they are set.
const QStringList& pastedFields() {
    static const QStringList names = {QStringLiteral("anfang"),     QStringLiteral("ende"),
                                      QStringLiteral("bemerkung"),  QStringLiteral("Normstunden"),
                                      QStringLiteral("pause"),      QStringLiteral("kurzinfo"),
                                      QStringLiteral("Normdienst"), QStringLiteral("farbe"),
                                      QStringLiteral("s1"),         QStringLiteral("s2")};
    return names;
}

} // namespace

QRect orderedBlock(int col1, int row1, int col2, int row2, int days) {
    const int left = qMax(1, qMin(col1, col2));
    const int right = qMax(col1, col2);
    const int top = qMax(2, qMin(row1, row2));
    const int bottom = qMin(days + 1, qMax(row1, row2));
    if (left > right || top > bottom) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::vector<engine::FieldInfo> dutyFields(const data::DataUmgebung& env) {
    const engine::Recordset& duties = env.rsDienstzeiten;
    std::vector<engine::FieldInfo> fields;
    for (int i = 0; i < duties.fieldCount(); ++i)
        fields.push_back(duties.fieldInfo(i));
    return fields;
}

namespace {

// A stored value as a hash key: its type and its bits or text; none for a value of another type
// (the duty table stores no other).
struct StoredKey {
    int type = 0;
    quint64 bits = 0;
    QString text;
    bool operator==(const StoredKey&) const = default;
};
size_t qHash(const StoredKey& k, size_t seed = 0) {
    return qHashMulti(seed, k.type, k.bits, k.text);
}

std::optional<StoredKey> storedKey(const QVariant& v) {
    StoredKey key{v.typeId(), 0, {}};
    switch (key.type) {
    case QMetaType::UnknownType:
        return key;
    case QMetaType::LongLong:
        key.bits = quint64(v.toLongLong());
        return key;
    case QMetaType::Double:
        key.bits = std::bit_cast<quint64>(v.toDouble());
        return key;
    case QMetaType::QString:
        key.text = v.toString();
        return key;
    default:
        return std::nullopt;
    }
}

// A field's value as block text and as that text reads back (no value when it does not).
struct FieldText {
    QString text;
    std::optional<QVariant> read;
};

// Writes (and reads back) each different value of each field once: a month's block repeats the
// same days, times, hours, labels and colours in most of its cells.
class FieldTexts {
public:
    FieldTexts(const std::vector<engine::FieldInfo>& fields, bool withRead)
        : fields_(fields), withRead_(withRead), known_(fields.size()) {}

    const FieldText& of(size_t field, const QVariant& stored) {
        std::optional<StoredKey> key = storedKey(stored);
        if (!key) return other_ = written(field, stored);
        auto& known = known_[field];
        auto it = known.constFind(*key);
        if (it == known.constEnd()) it = known.insert(std::move(*key), written(field, stored));
        return *it;
    }

private:
    const std::vector<engine::FieldInfo>& fields_;
    const bool withRead_;
    const BlockValueWriter writer_;
    std::vector<QHash<StoredKey, FieldText>> known_;
    FieldText other_;

    FieldText written(size_t field, const QVariant& stored) const {
        FieldText t{writer_.text(fields_[field].kind, stored), std::nullopt};
        if (withRead_) t.read = blockFieldValue(fields_[field], t.text);
        return t;
    }
};

// A block as copied: its text, the numbers of its duties and, when asked for, the lines its text
// reads back as (as readBlockText reads them, field by field, without reading the text again).
struct CopiedBlock {
    QString text;
    QList<qint64> duties;
    std::vector<BlockLine> lines;
    // every value reads back (only known with the lines)
    bool readable = true;
};

CopiedBlock copied(data::DataUmgebung& env, const MonthState& month, const QRect& block,
                   bool withLines) {
    const std::vector<engine::FieldInfo> fields = dutyFields(env);
    CopiedBlock result;
    result.text = blockHeader(env.rsDienstzeiten) + BlockLineBreak;
    if (block.isEmpty()) return result;
    const BlockDuties duties = readBlockDuties(env, month, block, fields.size());
    FieldTexts texts(fields, withLines);
    const QChar tab = QLatin1Char('\t');
    QString& text = result.text;
    // about a hundred characters a cell
    text.reserve(text.size() + qsizetype(block.width()) * block.height() * 100);
    if (withLines) result.lines.reserve(size_t(block.width()) * size_t(block.height()));
    for (int c = block.left(); c <= block.right(); ++c) {
        for (int r = block.top(); r <= block.bottom(); ++r) {
            BlockLine line{c - block.left(), r - block.top(), {}};
            text += QString::number(line.colOffset) + tab + QString::number(line.rowOffset) + tab;
            const auto duty = duties.constFind({c, dayKey(month.firstDay.addDays(r - 2))});
            if (duty != duties.constEnd()) {
                std::vector<QVariant> values;
                if (withLines) values.reserve(fields.size());
                for (size_t i = 0; i < fields.size(); ++i) {
                    const FieldText& value = texts.of(i, (*duty)[i]);
                    text += value.text;
                    text += tab;
                    if (!withLines) continue;
                    if (value.read)
                        values.push_back(*value.read);
                    else
                        result.readable = false;
                }
                result.duties << duty->front().toLongLong();
                // a line whose duty number is empty carries no duty
                if (result.readable && withLines && !values.front().isNull())
                    line.values = std::move(values);
            }
            text += BlockLineBreak;
            if (withLines) result.lines.push_back(std::move(line));
        }
    }
    return result;
}

} // namespace

QString copyBlock(data::DataUmgebung& env, const MonthState& month, const QRect& block, bool cut) {
    CopiedBlock copy = copied(env, month, block, false);
    if (cut) deleteDuties(env, copy.duties);
    return std::move(copy.text);
}

int deleteBlock(data::DataUmgebung& env, const MonthState& month, const QRect& block) {
    if (block.isEmpty()) return 0;
    const BlockDuties duties = readBlockDuties(env, month, block, dutyFields(env).size());
    QList<qint64> numbers;
    for (const std::vector<QVariant>& duty : duties)
        numbers << duty.front().toLongLong();
    deleteDuties(env, numbers);
    return int(numbers.size());
}

PasteResult pasteBlock(data::DataUmgebung& env, const MonthState& month, int anchorCol,
                       int anchorRow, int gridCols, const std::vector<BlockLine>& lines) {
    PasteResult result;
    if (anchorCol < 1 || anchorRow < 2 || anchorRow > month.days + 1) return result;
    engine::Recordset& duties = env.rsDienstzeiten;
    const std::vector<engine::FieldInfo> fields = dutyFields(env);
    const auto field = [&duties](const char* name) {
        const int index = duties.fieldIndex(QLatin1String(name));
        if (index < 0)
            throw engine::EngineError(
                engine::err::ItemNotFound,
                QStringLiteral("Das Element '%1' wurde in der Auflistung, die dem angeforderten "
                               "Namen entspricht, nicht gefunden.")
                    .arg(QLatin1String(name)));
        return size_t(index);
    };
    // where each taken-over field stands in a line (and in a row of the table)
    std::vector<size_t> taken;
    for (const QString& name : pastedFields()) {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) taken.push_back(i);
        }
    }
    const QHash<int, Member> members = membersByPosition(env, month.groupNumber);
    qint64 lastKey = 0;
    engine::Transaction transaction(env.Datenbank);
    try {
        const size_t tag = field("tag"), maNr = field("manr"), normdienst = field("Normdienst"),
                     normstunden = field("Normstunden"), anfang = field("anfang"),
                     ende = field("ende"), kurzinfo = field("kurzinfo"), farbe = field("farbe");
        const auto typed = [&duties](size_t index, const std::vector<QVariant>& row) {
            return duties.typedValue(int(index), row[index]);
        };
        // A line sets the day, the employee and the taken-over fields; the others keep their
        // defaults.
        std::vector<size_t> columns;
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i == tag || i == maNr || std::find(taken.begin(), taken.end(), i) != taken.end())
                columns.push_back(i);
        }
        DutyWriter writer(env, fields, columns);
        bool started = false;
        QList<data::DataUmgebung::DutyDay> written;
        for (const BlockLine& line : lines) {
            const qint64 col = qint64(anchorCol) + line.colOffset;
            if (col >= gridCols) continue;
            const qint64 row = qint64(anchorRow) + line.rowOffset;
            if (row > month.days + 1) break;
            if (!line.hasDuty()) continue;
            const auto member = members.constFind(int(col));
            // a position without a member takes no duty
            if (member == members.constEnd()) continue;
            if (!started) writePendingDuty(env);
            started = true;
            const QDate day = month.firstDay.addDays(row - 2);
            // the row as the duty recordset would write it: the defaults, then the fields set
            std::vector<QVariant> values(fields.size());
            for (size_t i = 0; i < fields.size(); ++i)
                values[i] = fields[i].defaultValue;
            const auto assign = [&](size_t index, const QVariant& value) {
                values[index] = duties.storedValue(int(index), value);
            };
            assign(tag, day);
            assign(maNr, member->maNr);
            for (const size_t index : taken)
                assign(index, line.values[index]);
            if (typed(normdienst, values).toBool()) assign(normstunden, member->normHours);
            // the new duty replaces the employee's duty of the day
            writer.add(day, member->maNr, values);
            written << data::DataUmgebung::DutyDay{member->maNr, day};
            const QVariant colour = typed(farbe, values);
            result.cells << PastedCell{int(row), int(col),
                                       dutyText(typed(anfang, values), typed(ende, values),
                                                typed(kurzinfo, values),
                                                typed(normstunden, values)),
                                       colour.isNull() ? White : quint32(colour.toLongLong())};
            if (row != anchorRow) result.otherRows = true;
        }
        lastKey = writer.finish();
        if (!written.isEmpty()) Q_EMIT env.dutiesWritten(written);
        transaction.commit();
    } catch (...) {
        rereadAfterRollback(env);
        throw;
    }
    // the shared recordset stands on the last duty written, as after its own write
    if (lastKey > 0) duties.setBookmark(lastKey);
    return result;
}

MoveResult moveBlock(data::DataUmgebung& env, const MonthState& month, const QRect& block,
                     int anchorCol, int anchorRow, int gridCols) {
    MoveResult result;
    {
        engine::Transaction transaction(env.Datenbank);
        try {
            CopiedBlock source = copied(env, month, block, true);
            if (!source.readable)
                throw engine::EngineError(engine::err::GeneralFailure,
                                          QStringLiteral("Der Block konnte nicht gelesen werden."));
            deleteDuties(env, source.duties);
            result.text = std::move(source.text);
            const std::vector<BlockLine>& lines = source.lines;
            result.pasted = pasteBlock(env, month, anchorCol, anchorRow, gridCols, lines);
            const auto dutyLines = std::count_if(lines.begin(), lines.end(),
                                                 [](const BlockLine& l) { return l.hasDuty(); });
            // a duty past the month's end or on a position without a member: nothing moves
            result.refused = result.pasted.cells.size() < dutyLines;
            if (!result.refused) transaction.commit();
        } catch (...) {
            rereadAfterRollback(env);
            throw;
        }
    }
    if (result.refused) {
        rereadAfterRollback(env);
        result.pasted = PasteResult();
    }
    return result;
}

} // namespace roster
