#include "roster/DutyEntry.h"

#include "engine/Sqlite.h"
#include "engine/TextCompare.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"

namespace roster {

namespace {

// The daily norm hours of an employee, read without moving the shared rsMitarbeiter (a window
// may hold a pending change on it).
double employeeNormHours(data::DataUmgebung& env, int maNr) {
    static const Query query(
        QStringLiteral("SELECT normstunden FROM Mitarbeiter WHERE MaNr = [parMaNr]"),
        {QStringLiteral("parMaNr")});
    return nullToDouble(query.scalar(env.Datenbank, {maNr}).value_or(QVariant()));
}

// Moves rsStandarddienste onto the standard duty of the key (compared as the engine compares
// text, and as the key's unique index does); false when there is none.
bool findStandardDuty(engine::Recordset& rs, QChar key) {
    const QString wanted(key);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        if (engine::sameText(rs.value(QStringLiteral("Taste")).toString(), wanted)) return true;
    }
    return false;
}

} // namespace

QChar keyCharacter(int keyCode) {
    return QChar(keyCodeOf(keyCode));
}

int keyCodeOf(int keyCode) {
    return keyCode >= 96 && keyCode <= 105 ? keyCode - 48 : keyCode;
}

StdDienstResult insStdDienst(data::Session& session, const QDate& day, int maNr, QChar key) {
    data::DataUmgebung& env = session.env;
    engine::Recordset& stdDuty = env.rsStandarddienste;
    engine::Recordset& duties = env.rsDienstzeiten;
    try {
        if (!findStandardDuty(stdDuty, key)) return StdDienstResult::NoStandardDuty;
        const auto field = [&stdDuty](const char* name) {
            return stdDuty.value(QLatin1String(name));
        };
        const bool normdienst = field("Normdienst").toBool();
        const double flatHours =
            normdienst ? employeeNormHours(env, maNr) : nullToDouble(field("pauschalstunden"));

        engine::Transaction transaction(env.Datenbank);
        try {
            // a day holds at most one duty per employee: the new one replaces the old
            if (findDuty(env, day, maNr) && !duties.eof() && !duties.bof()) duties.deleteCurrent();
            duties.addNew();
            duties.setValue(QStringLiteral("anfang"), field("anfang"));
            duties.setValue(QStringLiteral("ende"), field("ende"));
            duties.setValue(QStringLiteral("bemerkung"), emptyToNull(field("bemerkung")));
            duties.setValue(QStringLiteral("farbe"), field("farbe"));
            duties.setValue(QStringLiteral("s1"), field("s1"));
            duties.setValue(QStringLiteral("s2"), field("s2"));
            duties.setValue(QStringLiteral("pause"), field("pause"));
            duties.setValue(QStringLiteral("kurzinfo"), emptyToNull(field("kurzinfo")));
            duties.setValue(QStringLiteral("tag"), day);
            duties.setValue(QStringLiteral("manr"), maNr);
            duties.setValue(QStringLiteral("Normdienst"), normdienst);
            duties.setValue(QStringLiteral("Normstunden"), flatHours);
            duties.update();
            transaction.commit();
        } catch (...) {
            // the rollback brought the old duty back; the recordset must see it again
            duties.cancelUpdate();
            duties.requery();
            throw;
        }
        return StdDienstResult::Written;
    } catch (const std::exception& e) {
        data::report(session, e, QStringLiteral("insStdDienst"));
        return StdDienstResult::Failed;
    }
}

void swapPositions(data::DataUmgebung& env, int position, int direction, int group) {
    engine::Recordset& rs = env.rsGpZuordnung;
    if (!findAssignmentAtPosition(env, position + direction, group) || rs.eof()) return;
    const engine::Bookmark neighbour = rs.bookmark();
    if (!findAssignmentAtPosition(env, position, group) || rs.eof()) return;
    engine::Transaction transaction(env.Datenbank);
    try {
        rs.setValue(QStringLiteral("DienstPos"), position + direction);
        rs.update();
        rs.setBookmark(neighbour);
        rs.setValue(QStringLiteral("DienstPos"), position);
        rs.update();
        transaction.commit();
    } catch (...) {
        rs.cancelUpdate();
        rs.requery();
        throw;
    }
}

} // namespace roster
