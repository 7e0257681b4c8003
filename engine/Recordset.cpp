#include "engine/Recordset.h"

#include "engine/Connection.h"
#include "engine/Criteria.h"
#include "engine/Cursor.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"
#include "engine/Sqlite.h"

#include <QRegularExpression>

namespace engine {

namespace {

[[noreturn]] void noCurrentRecord() {
    throw EngineError(err::NoCurrentRecord,
                      QStringLiteral("Entweder ist BOF oder EOF True, oder der aktuelle "
                                     "Datensatz wurde gelöscht. Für den angeforderten Vorgang "
                                     "ist ein aktueller Datensatz erforderlich."));
}

FieldKind kindOf(const QString& declaredType) {
    const QString t = declaredType.toLower();
    if (t.contains(QLatin1String("date")) || t.contains(QLatin1String("time")))
        return FieldKind::Date;
    if (t == QLatin1String("bit") || t.startsWith(QLatin1String("bool"))) return FieldKind::Boolean;
    if (t.contains(QLatin1String("int"))) return FieldKind::Integer;
    if (t.contains(QLatin1String("float")) || t.contains(QLatin1String("real")) ||
        t.contains(QLatin1String("doub")) || t.contains(QLatin1String("num")) ||
        t.contains(QLatin1String("dec")) || t.contains(QLatin1String("money")) ||
        t.contains(QLatin1String("currency")))
        return FieldKind::Double;
    if (t.contains(QLatin1String("char")) || t.contains(QLatin1String("text")) ||
        t.contains(QLatin1String("memo")) || t.contains(QLatin1String("clob")) ||
        t.contains(QLatin1String("string")))
        return FieldKind::Text;
    return FieldKind::Other;
}

int widthOf(const QString& declaredType) {
    static const QRegularExpression re(QStringLiteral("char\\s*\\(\\s*(\\d+)\\s*\\)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(declaredType);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

FieldInfo fieldFromDeclaration(const QString& name, const QString& declaredType) {
    // a file has a handful of declared types; each query opened asks for them again
    static thread_local QHash<QString, std::pair<FieldKind, int>> known;
    auto it = known.constFind(declaredType);
    if (it == known.cend())
        it = known.insert(declaredType, {kindOf(declaredType), widthOf(declaredType)});
    FieldInfo f;
    f.name = name;
    f.declaredType = declaredType;
    f.kind = it->first;
    f.width = it->second;
    return f;
}

ColumnType columnTypeOf(const FieldInfo& f) {
    switch (f.kind) {
    case FieldKind::Integer:
        if (f.autoIncrement) return ColumnType::AutoNumber;
        return f.declaredType.toLower().contains(QLatin1String("small")) ? ColumnType::Integer
                                                                         : ColumnType::Long;
    case FieldKind::Double:
        return f.declaredType.toLower().contains(QLatin1String("real")) ? ColumnType::Single
                                                                        : ColumnType::Double;
    case FieldKind::Boolean:
        return ColumnType::Boolean;
    case FieldKind::Date:
        return ColumnType::DateTime;
    case FieldKind::Text:
        return f.width > 0 && f.width <= 255 ? ColumnType::Text : ColumnType::Memo;
    case FieldKind::Other:
        break;
    }
    return ColumnType::Text;
}

FieldKind kindOf(ColumnType type) {
    switch (type) {
    case ColumnType::AutoNumber:
    case ColumnType::Long:
    case ColumnType::Integer:
        return FieldKind::Integer;
    case ColumnType::Double:
    case ColumnType::Single:
    case ColumnType::Currency:
        return FieldKind::Double;
    case ColumnType::Boolean:
        return FieldKind::Boolean;
    case ColumnType::DateTime:
        return FieldKind::Date;
    case ColumnType::Text:
    case ColumnType::Memo:
        return FieldKind::Text;
    }
    return FieldKind::Other;
}

// A value handed out by the engine in the stored form: day numbers, 0/1, numbers, text.
QVariant storedFromTyped(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QVariant();
    switch (v.typeId()) {
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return *dayNumber(v);
    case QMetaType::Bool:
        return qint64(v.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
        return qint64(v.toLongLong());
    default:
        return v;
    }
}

QVariant typedFromStored(const FieldInfo& f, const QVariant& raw) {
    if (!raw.isValid() || raw.isNull()) return QVariant();
    switch (f.kind) {
    case FieldKind::Date: {
        const auto d = dayNumber(raw);
        return d ? QVariant(dateTimeOf(*d)) : QVariant();
    }
    case FieldKind::Boolean:
        if (raw.typeId() == QMetaType::QString) {
            const QString s = raw.toString().toLower();
            return QVariant(s == QLatin1String("true") || s == QLatin1String("1") ||
                            s == QLatin1String("-1"));
        }
        return QVariant(raw.toLongLong() != 0);
    case FieldKind::Integer: {
        bool ok = false;
        const qint64 i = raw.toLongLong(&ok);
        if (!ok) return raw;
        if (i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max())
            return QVariant(int(i));
        return QVariant(i);
    }
    case FieldKind::Double: {
        bool ok = false;
        const double d = raw.toDouble(&ok);
        return ok ? QVariant(d) : raw;
    }
    case FieldKind::Text:
        return QVariant(raw.toString());
    case FieldKind::Other:
        if (raw.typeId() == QMetaType::LongLong) {
            const qint64 i = raw.toLongLong();
            if (i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max())
                return QVariant(int(i));
        }
        return raw;
    }
    return raw;
}

} // namespace

Recordset::Recordset(QObject* parent) : QObject(parent) {}

Recordset::~Recordset() = default;

void Recordset::requireOpen() const {
    if (!cursor_)
        throw EngineError(err::GeneralFailure,
                          QStringLiteral("Der Vorgang ist für ein geschlossenes Objekt nicht "
                                         "zulässig."));
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (!current_ || eof_ || bof_) noCurrentRecord();
}

bool Recordset::isOpen() const {
    return cursor_ != nullptr;
}

bool Recordset::isTable() const {
    return isOpen() && !readOnly_;
}

QString Recordset::source() const {
    return source_;
}

void Recordset::openTable(Connection& connection, const QString& table) {
    close();
    const QList<ColumnInfo> cols = connection.columns(table); // throws TableNotFound
    std::vector<FieldInfo> fields;
    for (const ColumnInfo& c : cols) {
        FieldInfo f = fieldFromDeclaration(c.name, c.declaredType);
        f.notNull = c.notNull;
        f.autoIncrement = c.primaryKey && c.declaredType.compare(QLatin1String("INTEGER"),
                                                                 Qt::CaseInsensitive) == 0;
        f.defaultValue = c.defaultValue;
        fields.push_back(f);
    }
    connection_ = &connection;
    fields_ = std::move(fields);
    source_ = connection.canonicalTableName(table);
    cursor_ = makeTableCursor(connection, source_, fields_);
    readOnly_ = false;
    moveFirst();
}

void Recordset::openSql(Connection& connection, const QString& sql, const QVariantList& values,
                        const QStringList& parameterNames) {
    close();
    const TranslatedSql translated = translateSql(sql, parameterNames);
    std::vector<FieldInfo> fields;
    auto run = [&connection, translated, values](std::vector<FieldInfo>* fieldsOut) {
        std::vector<std::vector<QVariant>> rows;
        Statement st(connection, translated.sql);
        st.bindAll(values);
        if (fieldsOut) {
            for (int i = 0; i < st.columnCount(); ++i)
                fieldsOut->push_back(fieldFromDeclaration(st.columnName(i), st.declaredType(i)));
        }
        while (st.step()) {
            std::vector<QVariant> row;
            row.reserve(size_t(st.columnCount()));
            for (int i = 0; i < st.columnCount(); ++i)
                row.push_back(st.value(i));
            rows.push_back(std::move(row));
        }
        return rows;
    };
    auto rows = run(&fields);
    connection_ = &connection;
    fields_ = std::move(fields);
    source_ = sql;
    cursor_ = makeMemoryCursor(std::move(rows), [run]() { return run(nullptr); });
    readOnly_ = true;
    moveFirst();
}

void Recordset::openData(const RowsetData& data) {
    close();
    std::vector<FieldInfo> fields;
    for (const RowsetColumn& c : data.columns) {
        FieldInfo f;
        f.name = c.name;
        f.kind = kindOf(c.type);
        f.width = c.maxLength;
        f.notNull = !c.nullable;
        f.autoIncrement = c.type == ColumnType::AutoNumber;
        fields.push_back(f);
    }
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(size_t(data.rows.size()));
    for (const RowsetRow& r : data.rows) {
        std::vector<QVariant> row;
        row.reserve(fields.size());
        for (int i = 0; i < int(fields.size()); ++i)
            row.push_back(i < r.size() ? storedFromTyped(r.at(i)) : QVariant());
        rows.push_back(std::move(row));
    }
    fields_ = std::move(fields);
    cursor_ = makeMemoryCursor(std::move(rows), {});
    readOnly_ = true;
    moveFirst();
}

void Recordset::openFile(const QString& xmlPath) {
    const RowsetData data = readRowsetXml(xmlPath);
    openData(data);
    source_ = xmlPath;
}

void Recordset::close() {
    cursor_.reset();
    fields_.clear();
    fieldIndexes_.clear();
    current_.reset();
    eof_ = bof_ = true;
    editing_ = adding_ = false;
    buffer_.clear();
    changed_.clear();
    pending_.clear();
    sort_.clear();
    filter_.clear();
    status_ = RecordStatus::Unmodified;
    source_.clear();
}

void Recordset::requery() {
    requireOpen();
    if (editing_) cancelUpdate();
    cursor_->requery();
    moveFirst();
}

void Recordset::setCurrent(std::optional<Row> row, bool forward) {
    status_ = RecordStatus::Unmodified;
    if (row) {
        current_ = std::move(row);
        eof_ = bof_ = false;
        return;
    }
    if (forward) {
        eof_ = true;
        bof_ = cursor_->count() == 0;
    } else {
        bof_ = true;
        eof_ = cursor_->count() == 0;
    }
    if (eof_ && bof_) current_.reset();
}

void Recordset::flushEdit() {
    if (editing_) update();
}

void Recordset::moveFirst() {
    requireOpen();
    flushEdit();
    setCurrent(cursor_->first(), true);
}

void Recordset::moveLast() {
    requireOpen();
    flushEdit();
    setCurrent(cursor_->last(), false);
}

void Recordset::moveNext() {
    requireOpen();
    if (eof_) noCurrentRecord();
    flushEdit();
    if (bof_ || !current_) {
        setCurrent(cursor_->first(), true);
        return;
    }
    setCurrent(cursor_->next(*current_, false), true);
}

void Recordset::movePrevious() {
    requireOpen();
    if (bof_) noCurrentRecord();
    flushEdit();
    if (eof_ || !current_) {
        setCurrent(cursor_->last(), false);
        return;
    }
    setCurrent(cursor_->next(*current_, true), false);
}

long Recordset::recordCount() {
    requireOpen();
    return cursor_->count();
}

long Recordset::absolutePosition() {
    requireOpen();
    if (eof_ || bof_ || !current_) return -1;
    return cursor_->positionOf(*current_);
}

void Recordset::setAbsolutePosition(long position) {
    requireOpen();
    flushEdit();
    auto row = cursor_->atPosition(position);
    if (!row) noCurrentRecord();
    setCurrent(std::move(row), true);
}

Bookmark Recordset::bookmark() const {
    requireCurrent();
    return current_->key;
}

void Recordset::setBookmark(Bookmark bookmark) {
    requireOpen();
    flushEdit();
    auto row = cursor_->byKey(bookmark);
    if (!row) noCurrentRecord();
    setCurrent(std::move(row), true);
}

bool Recordset::find(const QString& criterion, int skipRecords) {
    requireOpen();
    const detail::Criteria criteria = detail::parseCriteria(criterion, fields_);
    flushEdit();
    if (eof_) return false;
    if (bof_ || !current_) {
        auto first = cursor_->first();
        if (!first) {
            setCurrent(std::nullopt, true);
            return false;
        }
        current_ = first;
        eof_ = bof_ = false;
    }
    Row from = *current_;
    for (int i = 0; i < skipRecords; ++i) {
        auto n = cursor_->next(from, false);
        if (!n) {
            setCurrent(std::nullopt, true);
            return false;
        }
        from = *n;
    }
    setCurrent(cursor_->find(criteria, from), true);
    return !eof_;
}

void Recordset::setSort(const QString& sort) {
    requireOpen();
    flushEdit();
    SortSpec spec;
    for (const QString& part : sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        SortKey k;
        QString name = words.value(0);
        name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        k.column = requireField(name);
        k.descending = words.size() > 1 &&
                       words.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        spec.push_back(k);
    }
    const detail::Criteria filter =
        filter_.isEmpty() ? detail::Criteria() : detail::parseCriteria(filter_, fields_);
    cursor_->setOrder(spec, filter);
    sort_ = sort;
    if (current_ && !eof_ && !bof_) {
        // keep the current row; refresh its values in case they changed
        if (auto again = cursor_->byKey(current_->key)) current_ = again;
    } else {
        setCurrent(cursor_->first(), true);
    }
}

void Recordset::setFilter(const QString& filter) {
    requireOpen();
    flushEdit();
    const detail::Criteria criteria =
        filter.trimmed().isEmpty() ? detail::Criteria() : detail::parseCriteria(filter, fields_);
    SortSpec spec;
    for (const QString& part : sort_.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        spec.push_back(SortKey{
            requireField(QString(words.value(0)).remove(QLatin1Char('[')).remove(QLatin1Char(']'))),
            words.size() > 1 &&
                words.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0});
    }
    cursor_->setOrder(spec, criteria);
    filter_ = filter.trimmed();
    setCurrent(cursor_->first(), true);
}

int Recordset::fieldCount() const {
    return int(fields_.size());
}

const FieldInfo& Recordset::fieldInfo(int index) const {
    if (index < 0 || index >= int(fields_.size()))
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Das Element mit dem Index %1 wurde in der Auflistung "
                                         "nicht gefunden.")
                              .arg(index));
    return fields_[size_t(index)];
}

QStringList Recordset::fieldNames() const {
    QStringList names;
    for (const FieldInfo& f : fields_)
        names << f.name;
    return names;
}

int Recordset::fieldIndex(const QString& name) const {
    // a name asked for once is found again by its exact spelling (the columns of a file being
    // copied are asked for on every row)
    const auto known = fieldIndexes_.constFind(name);
    if (known != fieldIndexes_.constEnd()) return known.value();
    int index = -1;
    for (int i = 0; i < int(fields_.size()) && index < 0; ++i) {
        if (fields_[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0) index = i;
    }
    // "Table.column" as written in SQL texts
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (index < 0 && dot >= 0) index = fieldIndex(name.mid(dot + 1));
    fieldIndexes_.insert(name, index);
    return index;
}

int Recordset::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Das Element '%1' wurde in der Auflistung, die dem "
                                         "angeforderten Namen entspricht, nicht gefunden.")
                              .arg(name));
    return i;
}

QVariant Recordset::value(const QString& name) const {
    requireOpen();
    return value(requireField(name));
}

QVariant Recordset::value(int index) const {
    requireOpen();
    const FieldInfo& f = fieldInfo(index);
    if (editing_) return typedFromStored(f, buffer_[size_t(index)]);
    requireCurrent();
    if (status_ == RecordStatus::Deleted)
        throw EngineError(err::DeletedRow, QStringLiteral("Der Datensatz wurde gelöscht."));
    return typedFromStored(f, current_->values[size_t(index)]);
}

QVariant Recordset::originalValue(const QString& name) const {
    requireOpen();
    const int i = requireField(name);
    if (adding_ || !current_) return QVariant();
    return typedFromStored(fields_[size_t(i)], current_->values[size_t(i)]);
}

QVariant Recordset::typedValue(int index, const QVariant& stored) const {
    return typedFromStored(fieldInfo(index), stored);
}

QVariant Recordset::toStorage(int index, const QVariant& value) const {
    const FieldInfo& f = fields_[size_t(index)];
    if (!value.isValid() || value.isNull()) return QVariant();
    auto mismatch = [&f]() {
        return EngineError(
            err::FieldTooSmall,
            QStringLiteral("Der Wert passt nicht zum Datentyp des Feldes '%1'.").arg(f.name));
    };
    switch (f.kind) {
    case FieldKind::Date: {
        const auto d = dayNumber(value);
        if (!d) throw mismatch();
        return *d;
    }
    case FieldKind::Boolean:
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toLower();
            if (s == QLatin1String("true") || s == QLatin1String("wahr") ||
                s == QLatin1String("1") || s == QLatin1String("-1"))
                return qint64(1);
            if (s == QLatin1String("false") || s == QLatin1String("falsch") ||
                s == QLatin1String("0") || s.isEmpty())
                return qint64(0);
            throw mismatch();
        }
        return qint64(value.toBool() || value.toDouble() != 0 ? 1 : 0);
    case FieldKind::Integer: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok) throw mismatch();
        return qint64(std::llround(d));
    }
    case FieldKind::Double: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok) throw mismatch();
        return d;
    }
    case FieldKind::Text: {
        const QString s = value.toString();
        if (f.width > 0 && s.size() > f.width)
            throw EngineError(err::FieldTooSmall,
                              QStringLiteral("Das Feld '%1' ist zu klein für die Datenmenge, "
                                             "die Sie hinzufügen wollten (höchstens %2 Zeichen).")
                                  .arg(f.name)
                                  .arg(f.width));
        return s;
    }
    case FieldKind::Other:
        return storedFromTyped(value);
    }
    return value;
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    requireOpen();
    setValue(requireField(name), value);
}

void Recordset::setValue(int index, const QVariant& value) {
    requireOpen();
    if (readOnly_)
        throw EngineError(err::ReadOnly,
                          QStringLiteral("Der Vorgang ist für ein "
                                         "schreibgeschütztes Objekt nicht zulässig."));
    const FieldInfo& f = fieldInfo(index);
    const QVariant stored = toStorage(index, value);
    if (!editing_) {
        requireCurrent();
        if (status_ == RecordStatus::Deleted)
            throw EngineError(err::DeletedRow, QStringLiteral("Der Datensatz wurde gelöscht."));
        buffer_ = current_->values;
        changed_.assign(fields_.size(), false);
        editing_ = true;
        status_ = RecordStatus::Modified;
    }
    buffer_[size_t(index)] = stored;
    changed_[size_t(index)] = true;
    Q_EMIT fieldChangeComplete(f.name, this);
}

void Recordset::addNew() {
    requireOpen();
    if (readOnly_)
        throw EngineError(err::ReadOnly,
                          QStringLiteral("Der Vorgang ist für ein "
                                         "schreibgeschütztes Objekt nicht zulässig."));
    flushEdit();
    Q_EMIT willChangeRecord(reason::AddNew, this);
    hadPreviousBeforeAdd_ = current_.has_value() && !eof_ && !bof_;
    if (hadPreviousBeforeAdd_) previousBeforeAdd_ = *current_;
    buffer_.assign(fields_.size(), QVariant());
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].defaultValue.isValid()) buffer_[i] = fields_[i].defaultValue;
    }
    changed_.assign(fields_.size(), false);
    editing_ = adding_ = true;
    eof_ = bof_ = false;
    status_ = RecordStatus::New;
}

void Recordset::update() {
    requireOpen();
    if (!editing_) return;
    // The change and whatever the change hooks write because of it are one transaction: they
    // land together or not at all, and the file is synchronised once.
    std::optional<Transaction> transaction;
    if (!batchMode_ && connection_) transaction.emplace(*connection_);
    Q_EMIT willChangeRecord(reason::Update, this);
    if (writeCheck_) writeCheck_(*this);
    PendingChange change;
    change.kind = adding_ ? 1 : 2;
    change.key = adding_ ? 0 : current_->key;
    change.values = buffer_;
    change.changed = changed_;
    if (batchMode_) {
        pending_.push_back(change);
        current_ = Row{adding_ ? -qint64(pending_.size()) : change.key, buffer_};
        editing_ = adding_ = false;
        status_ = RecordStatus::Unmodified;
        return;
    }
    write(change); // throws: the edit stays pending, the caller may cancel it
    if (transaction) transaction->commit();
    editing_ = adding_ = false;
    status_ = RecordStatus::Unmodified;
}

void Recordset::write(const PendingChange& change) {
    if (change.kind == 1) {
        const qint64 key = cursor_->insert(change.values, change.changed);
        reloadCurrent(key);
    } else if (change.kind == 2) {
        if (!cursor_->update(change.key, change.values, change.changed)) {
            status_ = RecordStatus::DeletedInDatabase;
            throw EngineError(-2147217864,
                              QStringLiteral("Der Datensatz kann nicht gespeichert werden: er "
                                             "wurde seit dem letzten Lesen gelöscht."));
        }
        // what was written is what the row now holds
        current_ = Row{change.key, change.values};
        eof_ = bof_ = false;
    } else {
        cursor_->remove(change.key);
    }
}

void Recordset::reloadCurrent(qint64 key) {
    auto row = cursor_->byKey(key);
    if (row) {
        current_ = std::move(row);
        eof_ = bof_ = false;
    }
}

void Recordset::cancelUpdate() {
    requireOpen();
    if (!editing_) return;
    if (adding_) {
        if (hadPreviousBeforeAdd_) {
            current_ = previousBeforeAdd_;
            eof_ = bof_ = false;
        } else {
            current_.reset();
            setCurrent(cursor_->first(), true);
        }
    }
    editing_ = adding_ = false;
    buffer_.clear();
    changed_.clear();
    status_ = RecordStatus::Unmodified;
}

void Recordset::deleteCurrent() {
    requireOpen();
    if (readOnly_)
        throw EngineError(err::ReadOnly,
                          QStringLiteral("Der Vorgang ist für ein "
                                         "schreibgeschütztes Objekt nicht zulässig."));
    if (adding_) {
        cancelUpdate();
        return;
    }
    if (editing_) cancelUpdate();
    requireCurrent();
    if (status_ == RecordStatus::Deleted) noCurrentRecord();
    std::optional<Transaction> transaction;
    if (!batchMode_) transaction.emplace(*connection_);
    Q_EMIT willChangeRecord(reason::Delete, this);
    PendingChange change;
    change.kind = 3;
    change.key = current_->key;
    if (batchMode_) {
        pending_.push_back(change);
    } else {
        write(change);
        transaction->commit();
    }
    status_ = RecordStatus::Deleted;
}

void Recordset::setBatchMode(bool on) {
    requireOpen();
    batchMode_ = on;
}

void Recordset::updateBatch() {
    requireOpen();
    flushEdit();
    if (pending_.empty()) return;
    std::vector<PendingChange> changes;
    std::swap(changes, pending_);
    Transaction transaction(*connection_);
    for (const PendingChange& c : changes)
        write(c); // a failure rolls back every change of the batch
    transaction.commit();
}

void Recordset::cancelBatch() {
    if (editing_) cancelUpdate();
    pending_.clear();
}

std::unique_ptr<Recordset> Recordset::clone() const {
    requireOpen();
    auto copy = std::make_unique<Recordset>();
    copy->connection_ = connection_;
    copy->fields_ = fields_;
    copy->source_ = source_;
    copy->cursor_ = cursor_->clone();
    copy->sort_ = sort_;
    copy->filter_ = filter_;
    copy->readOnly_ = true;
    copy->moveFirst();
    return copy;
}

RowsetData Recordset::toData() {
    requireOpen();
    RowsetData data;
    for (const FieldInfo& f : fields_) {
        RowsetColumn c;
        c.name = f.name;
        c.type = columnTypeOf(f);
        c.maxLength = f.width;
        c.nullable = !f.notNull;
        data.columns << c;
    }
    for (auto row = cursor_->first(); row; row = cursor_->next(*row, false)) {
        RowsetRow r;
        r.reserve(int(fields_.size()));
        for (size_t i = 0; i < fields_.size(); ++i)
            r << typedFromStored(fields_[i], row->values[i]);
        data.rows << r;
    }
    return data;
}

void Recordset::saveToFile(const QString& xmlPath) {
    writeRowsetXml(xmlPath, toData());
}

} // namespace engine
