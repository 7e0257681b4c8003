#pragma once
// Every value the queries return, to the last bit, as a SHA-1 and a row count: what an operation
// wrote must stay the same whatever way the program writes it.

#include "engine/Sqlite.h"

#include <QCryptographicHash>
#include <QStringList>

namespace bench {

inline QString rowsChecksum(engine::Connection& db, const QStringList& queries) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    long rows = 0;
    for (const QString& sql : queries) {
        engine::Statement st(db, sql);
        while (st.step()) {
            for (int c = 0; c < st.columnCount(); ++c)
                hash.addData(st.value(c).toString().toUtf8() + ' ' +
                             QByteArray::number(st.value(c).toDouble(), 'g', 17) + ';');
            ++rows;
        }
    }
    return QStringLiteral("%1 rows, sha1 %2")
        .arg(rows)
        .arg(QString::fromLatin1(hash.result().toHex()));
}

} // namespace bench
