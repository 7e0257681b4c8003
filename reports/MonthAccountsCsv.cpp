#include "reports/MonthAccountsCsv.h"

#include "platform/SafeFile.h"
#include "reports/GroupMembers.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/MonthAccount.h"

#include <QStringList>

#include <cmath>

namespace reports {

namespace {

const QString Separator = QStringLiteral(";");

// Two decimals with a decimal comma and no thousands separator, whatever the desktop's locale;
// never "-0,00".
QString number(double value) {
    const double rounded = std::round(value * 100) / 100;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 2)
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

// A text field: quoted when it holds the separator, a quote or a line break; a text that a
// spreadsheet would take for a formula (=, +, -, @ first) is kept as text by a leading
// apostrophe.
QString text(QString value) {
    if (!value.isEmpty() && QStringLiteral("=+-@").contains(value.front()))
        value.prepend(QLatin1Char('\''));
    if (value.contains(Separator) || value.contains(QLatin1Char('"')) ||
        value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        value = QLatin1Char('"') + value.replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
                QLatin1Char('"');
    return value;
}

} // namespace

QString monthAccountsFileName(const roster::MonthState& month) {
    return QStringLiteral("Monatskonten-%1-%2.csv")
        .arg(month.year)
        .arg(month.month, 2, 10, QLatin1Char('0'));
}

QByteArray monthAccountsCsv(data::DataUmgebung& env, const roster::MonthState& month) {
    const QDate first = month.firstDay, last = month.lastDay;
    QStringList lines{QStringLiteral("PersNr;Name;Soll;Ist;Differenz;Übertrag;Saldo;"
                                     "Urlaubstage;Kranktage;S1;S2")};
    for (const GroupMember& m : groupMembers(env, month.groupNumber)) {
        const roster::TargetBasis& basis = m.basis;
        // target and carried balance exactly as the roster shows them
        const roster::MonthAccount account = roster::shownAccount(env, basis, first);
        const double target = std::round(account.target * 100) / 100;
        const double hours = roster::sumHours(env, basis.maNr, first, last);
        const double carried = m.stdbestand + account.carry;
        QVariant s1, s2;
        roster::sumExtraCounters(env, basis.maNr, first, last, s1, s2);
        lines << QStringList{QString::number(basis.maNr),
                             text(m.planName),
                             number(target),
                             number(hours),
                             number(hours - target),
                             number(carried),
                             number(carried + hours - target),
                             QString::number(roster::countDutiesLike(env, basis.maNr, first, last,
                                                                     QStringLiteral("Urlaub"))),
                             QString::number(roster::countDutiesLike(env, basis.maNr, first, last,
                                                                     QStringLiteral("Krank"))),
                             number(roster::nullToDouble(s1)),
                             number(roster::nullToDouble(s2))}
                     .join(Separator);
    }
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

bool writeMonthAccounts(data::Session& session, const roster::MonthState& month,
                        const QString& path) {
    try {
        platform::writeFileSafely(path, monthAccountsCsv(session.env, month));
        return true;
    } catch (const platform::FileWriteError& e) {
        session.prompts().ask(e.message(), platform::Buttons::Ok, platform::Icon::Exclamation);
    } catch (const std::exception& e) {
        data::report(session, e, QStringLiteral("Monatskonten"));
    }
    return false;
}

} // namespace reports
