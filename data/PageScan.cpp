#include "data/PageScan.h"

#include <QFile>
#include <QSet>

#include <cstring>
#include <optional>

// The file format read here is SQLite's, as its documentation describes it: a 100-byte header on
// page 1, b-tree pages of one byte type (13: table leaf), cell pointers, varints, records of
// serial types, and overflow chains for payloads that do not fit on their page.

namespace data {

namespace {

constexpr int TableLeaf = 13;
constexpr int DefaultPageSize = 4096;

class FileBytes {
public:
    explicit FileBytes(QByteArray bytes) : bytes_(std::move(bytes)) {}

    qint64 size() const { return bytes_.size(); }
    bool has(qint64 at, qint64 length) const {
        return at >= 0 && length >= 0 && at + length <= size();
    }
    quint32 u8(qint64 at) const { return quint8(bytes_[at]); }
    quint32 u16(qint64 at) const { return (u8(at) << 8) | u8(at + 1); }
    quint32 u32(qint64 at) const { return (u16(at) << 16) | u16(at + 2); }
    // A varint at `at` that ends before `end`; its length goes to `length`.
    std::optional<qint64> varint(qint64 at, qint64 end, int& length) const {
        quint64 value = 0;
        for (int i = 0; i < 9; ++i) {
            if (at + i >= end || !has(at + i, 1)) return std::nullopt;
            const quint32 byte = u8(at + i);
            if (i == 8) {
                value = (value << 8) | byte;
                length = 9;
                return qint64(value);
            }
            value = (value << 7) | (byte & 0x7f);
            if (!(byte & 0x80)) {
                length = i + 1;
                return qint64(value);
            }
        }
        return std::nullopt;
    }
    QByteArray mid(qint64 at, qint64 length) const { return bytes_.mid(at, length); }

private:
    QByteArray bytes_;
};

struct Layout {
    qint64 pageSize = DefaultPageSize;
    qint64 usable = DefaultPageSize;
    qint64 pages = 0;
};

Layout layoutOf(const FileBytes& file) {
    Layout layout;
    if (file.has(0, 100) &&
        std::memcmp(file.mid(0, 16).constData(), "SQLite format 3\0", 16) == 0) {
        qint64 size = file.u16(16);
        if (size == 1) size = 65536;
        if (size >= 512 && size <= 65536 && (size & (size - 1)) == 0) {
            layout.pageSize = size;
            layout.usable = size - file.u8(20);
        }
    }
    layout.pages = file.size() / layout.pageSize;
    return layout;
}

qint64 pageStart(const Layout& layout, qint64 page) {
    return (page - 1) * layout.pageSize;
}

// The pages on the free list: their old content must not come back.
QSet<qint64> freePages(const FileBytes& file, const Layout& layout) {
    QSet<qint64> free;
    if (!file.has(0, 100) || layout.pages == 0) return free;
    qint64 trunk = file.u32(32);
    QSet<qint64> seen;
    while (trunk >= 1 && trunk <= layout.pages && !seen.contains(trunk)) {
        seen.insert(trunk);
        free.insert(trunk);
        const qint64 at = pageStart(layout, trunk);
        const qint64 count = file.u32(at + 4);
        if (count > (layout.usable - 8) / 4) break;
        for (qint64 i = 0; i < count; ++i)
            free.insert(file.u32(at + 8 + 4 * i));
        trunk = file.u32(at);
    }
    return free;
}

// The whole payload of a cell: the part on its page and the overflow chain.
std::optional<QByteArray> payloadOf(const FileBytes& file, const Layout& layout, qint64 at,
                                    qint64 pageEnd, qint64 size) {
    const qint64 u = layout.usable;
    const qint64 maxLocal = u - 35;
    qint64 local = size;
    if (size > maxLocal) {
        const qint64 minLocal = ((u - 12) * 32 / 255) - 23;
        const qint64 k = minLocal + ((size - minLocal) % (u - 4));
        local = k <= maxLocal ? k : minLocal;
    }
    if (at + local > pageEnd || (local < size && at + local + 4 > pageEnd)) return std::nullopt;
    QByteArray payload = file.mid(at, local);
    if (local == size) return payload;
    qint64 next = file.u32(at + local);
    QSet<qint64> seen;
    while (payload.size() < size) {
        if (next < 1 || next > layout.pages || seen.contains(next)) return std::nullopt;
        seen.insert(next);
        const qint64 start = pageStart(layout, next);
        const qint64 take = qMin(size - payload.size(), u - 4);
        payload += file.mid(start + 4, take);
        next = file.u32(start);
    }
    return payload;
}

qint64 bigEndian(const QByteArray& bytes, qint64 at, int length) {
    quint64 value = 0;
    for (int i = 0; i < length; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    const int bits = 8 * length;
    if (bits < 64 && ((value >> (bits - 1)) & 1) != 0)
        value |= ~quint64(0) << bits; // sign-extended
    return qint64(value);
}

// The fields of a record; none when its header and body do not agree.
std::optional<QVariantList> recordOf(const QByteArray& payload) {
    const FileBytes record(payload);
    int length = 0;
    const std::optional<qint64> headerSize = record.varint(0, payload.size(), length);
    if (!headerSize || *headerSize < length || *headerSize > payload.size()) return std::nullopt;
    QList<qint64> types;
    for (qint64 at = length; at < *headerSize;) {
        const std::optional<qint64> type = record.varint(at, *headerSize, length);
        if (!type || *type == 10 || *type == 11) return std::nullopt;
        types << *type;
        at += length;
    }
    QVariantList values;
    qint64 at = *headerSize;
    static constexpr int IntegerBytes[] = {0, 1, 2, 3, 4, 6, 8};
    for (const qint64 type : types) {
        qint64 size = 0;
        if (type >= 1 && type <= 6)
            size = IntegerBytes[type];
        else if (type == 7)
            size = 8;
        else if (type >= 12)
            size = (type - 12) / 2;
        if (at + size > payload.size()) return std::nullopt;
        if (type == 0)
            values << QVariant();
        else if (type <= 6)
            values << QVariant(bigEndian(payload, at, int(size)));
        else if (type == 7) {
            const quint64 bits = quint64(bigEndian(payload, at, 8));
            double real = 0;
            std::memcpy(&real, &bits, sizeof real);
            values << QVariant(real);
        } else if (type == 8 || type == 9)
            values << QVariant(qint64(type - 8));
        else if (type % 2 == 0)
            values << QVariant(payload.mid(at, size));
        else
            values << QVariant(QString::fromUtf8(payload.mid(at, size)));
        at += size;
    }
    if (at != payload.size()) return std::nullopt;
    return values;
}

// The rows of one page when it is a whole table leaf page; none otherwise.
QList<LeafRow> leafRows(const FileBytes& file, const Layout& layout, qint64 page) {
    const qint64 start = pageStart(layout, page);
    const qint64 header = start + (page == 1 ? 100 : 0);
    const qint64 end = start + layout.usable;
    if (!file.has(start, layout.pageSize) || file.u8(header) != TableLeaf) return {};
    const qint64 cells = file.u16(header + 3);
    if (header + 8 + 2 * cells > end) return {};
    QList<LeafRow> rows;
    for (qint64 i = 0; i < cells; ++i) {
        const qint64 cell = start + file.u16(header + 8 + 2 * i);
        if (cell < header + 8 + 2 * cells || cell >= end) return {};
        int length = 0;
        const std::optional<qint64> size = file.varint(cell, end, length);
        if (!size) return {};
        int rowidLength = 0;
        const std::optional<qint64> rowid = file.varint(cell + length, end, rowidLength);
        if (!rowid) return {};
        const std::optional<QByteArray> payload =
            payloadOf(file, layout, cell + length + rowidLength, end, *size);
        if (!payload) return {};
        const std::optional<QVariantList> values = recordOf(*payload);
        if (!values) return {}; // one cell that does not read: the page is not to be trusted
        rows << LeafRow{*rowid, *values};
    }
    return rows;
}

} // namespace

QList<LeafRow> scanLeafRows(const QString& path) {
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) return {};
    const FileBytes file(source.readAll());
    const Layout layout = layoutOf(file);
    const QSet<qint64> free = freePages(file, layout);
    QList<LeafRow> rows;
    for (qint64 page = 1; page <= layout.pages; ++page) {
        if (!free.contains(page)) rows << leafRows(file, layout, page);
    }
    return rows;
}

} // namespace data
