#include "print/RosterHtml.h"

#include "data/Staffing.h"
#include "engine/DateValue.h"
#include "platform/Colors.h"
#include "platform/Formats.h"
#include "print/HtmlFile.h"
#include "print/HtmlText.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/MonthAccount.h"
#include "roster/StaffingCheck.h"

#include <QHash>

#include <array>

#include <vector>

namespace print {

namespace {

constexpr quint32 LightGrey = 14474460; // red, green and blue 220

QString td(const QString& attributes, const QString& content) {
    return QStringLiteral("<td") + attributes + QLatin1Char('>') + content +
           QStringLiteral("</td>");
}

QString colour(quint32 bgr) {
    return QStringLiteral(" bgcolor=") + platform::htmlColor(bgr);
}

const QString WhiteCell = QStringLiteral(" bgcolor=#FFFFFF");

// orgname of the settings row
QString organisationName(data::DataUmgebung& env) {
    engine::Recordset& settings = env.rsEinstellungen;
    if (settings.eof() || settings.bof()) settings.moveFirst();
    return settings.eof() ? QString() : settings.value(QStringLiteral("orgname")).toString();
}

struct Member {
    int maNr = 0;
    int position = 0;
    double stdbestand = 0;
    roster::TargetBasis basis;
};

// The duty texts and colours of one member's month, by day of the month.
struct DutyCell {
    QString text;
    quint32 colour = roster::White;
};

QHash<int, DutyCell> dutiesOf(data::DataUmgebung& env, const roster::MonthState& month,
                              int position) {
    QHash<int, DutyCell> cells;
    engine::Recordset& duties =
        env.Dienst(month.firstDay, month.lastDay, position, month.groupNumber);
    for (duties.moveFirst(); !duties.eof(); duties.moveNext()) {
        const int day = engine::toDate(duties.value(QStringLiteral("tag"))).day();
        if (cells.contains(day))
            continue; // the first duty of the day, as a find from the first row gives it
        const QVariant farbe = duties.value(QStringLiteral("farbe"));
        cells.insert(day, DutyCell{roster::dutyText(duties.value(QStringLiteral("anfang")),
                                                    duties.value(QStringLiteral("ende")),
                                                    duties.value(QStringLiteral("kurzinfo")),
                                                    duties.value(QStringLiteral("Normstunden"))),
                                   farbe.isNull() ? roster::White : quint32(farbe.toLongLong())});
    }
    duties.close();
    return cells;
}

void writeRoster(data::Session& session, const roster::MonthState& month, const QString& path) {
    data::DataUmgebung& env = session.env;
    data::ProgressSink& progress = *session.progress;
    env.rsMitarbeiter.requery();
    env.rsDienstzeiten.requery();
    env.rsFeiertage.requery();
    env.rsStatistik.requery();
    env.rsMaNachGrp.close();
    engine::Recordset& rsMembers = env.MaNachGrp(month.groupNumber);
    rsMembers.setSort(QStringLiteral("Dienstpos"));
    rsMembers.moveLast();
    const int highest = rsMembers.value(QStringLiteral("dienstpos")).toInt(); // none: 3021
    const QString group = rsMembers.value(QStringLiteral("Gruppenname")).toString();

    HtmlFile file(path);
    const QString orgname = htmlEscape(organisationName(env));
    file.head(month, organisationName(env), group);
    file.line(QStringLiteral("<font size=5>") + orgname + QLatin1Char(' ') + htmlEscape(group) +
              QStringLiteral("</font>"));
    file.line(QStringLiteral("<table border=1 bgcolor=#999999 width=%1>").arg((highest + 1) * 120));

    // header row: the month and the members' names in position order
    std::vector<Member> members;
    file.line(QStringLiteral("<tr>"));
    file.line(
        td(WhiteCell,
           QStringLiteral("%1/%2").arg(month.month, 2, 10, QLatin1Char('0')).arg(month.year)));
    for (rsMembers.moveFirst(); !rsMembers.eof(); rsMembers.moveNext()) {
        const int position = rsMembers.value(QStringLiteral("dienstpos")).toInt();
        if (position <= 0) continue;
        members.push_back(
            Member{rsMembers.value(QStringLiteral("manr")).toInt(), position,
                   roster::nullToDouble(rsMembers.value(QStringLiteral("stdbestand"))),
                   roster::targetBasis(rsMembers)});
        file.line(td(QStringLiteral(" align=center width=120") + WhiteCell,
                     QStringLiteral("  ") +
                         htmlEscape(rsMembers.value(QStringLiteral("Planname")).toString())));
    }
    file.line(QStringLiteral("</tr>"));

    // target row, and the sums per position: 1 target, 2 hours, 3 difference, 4 balance
    engine::Recordset& hours = env.StundSum(month.firstDay, month.lastDay);
    std::vector<std::array<double, 4>> sums(std::size_t(highest) + 1, {0, 0, 0, 0});
    file.line(QStringLiteral("<tr>"));
    file.line(td(WhiteCell, QStringLiteral("Sollstd.")));
    const bool anyHours = hours.recordCount() > 0;
    for (const Member& m : members) {
        // target and balance as the roster shows them
        const roster::MonthAccount account = roster::shownAccount(env, m.basis, month.firstDay);
        const double start = m.stdbestand + account.carry;
        const QString target = platform::fixed(account.target);
        file.write(td(QStringLiteral(" align=center") + WhiteCell, target));
        auto& s = sums[std::size_t(m.position)];
        s[0] = platform::parseNumber(target);
        // a month without any duty still owes its target, as on the roster
        if (anyHours) {
            hours.moveFirst();
            if (hours.find(QStringLiteral("manr=%1").arg(m.maNr)))
                s[1] = roster::nullToDouble(hours.value(QStringLiteral("Summe2"))) +
                       roster::nullToDouble(hours.value(QStringLiteral("summe")));
        }
        s[2] = s[1] - s[0];
        s[3] = start + s[1] - s[0];
    }
    file.line(QStringLiteral("</tr>")); // on the line of the cells

    // one row per day
    std::vector<QHash<int, DutyCell>> duties;
    for (const Member& m : members)
        duties.push_back(dutiesOf(env, month, m.position));
    const roster::Holidays holidays(env, month.firstDay, month.lastDay);
    progress.setMaximum(month.lastDay.day());
    progress.setValue(month.firstDay.day());
    for (QDate d = month.firstDay; d <= month.lastDay; d = d.addDays(1)) {
        const quint32 rowColour =
            roster::isFreeDay(holidays, d) ? month.weekendColor : roster::White;
        file.line(QStringLiteral("<tr>"));
        file.write(td(colour(rowColour), platform::dayLabel(d)));
        for (const auto& memberDuties : duties) {
            const auto duty = memberDuties.constFind(d.day());
            if (duty != memberDuties.constEnd())
                file.write(td(QStringLiteral(" align=center") +
                                  colour(duty->colour != roster::White ? duty->colour : rowColour),
                              htmlEscape(duty->text)));
            else
                file.write(
                    td(QStringLiteral(" align=center") + colour(rowColour), QStringLiteral(" ")));
        }
        progress.setValue(d.addDays(1).day());
        file.line();
        file.line(QStringLiteral("</tr>"));
    }

    // hours, difference and balance for every position, also those without a member
    const std::pair<const char*, int> sumRows[] = {{"Stunden", 1}, {"Diff", 2}, {"+ Vorm.", 3}};
    for (const auto& [label, k] : sumRows) {
        file.line(QStringLiteral("<tr>"));
        file.line(td(WhiteCell, QString::fromLatin1(label)));
        for (int p = 1; p <= highest; ++p)
            file.line(td(QStringLiteral(" align=right") + WhiteCell,
                         platform::sumText(sums[std::size_t(p)][std::size_t(k)])));
        file.line(QStringLiteral("</tr>"));
    }
    file.line(QStringLiteral("</table>"));
    if (data::staffingLinesShown(env.Datenbank)) {
        for (const QString& line : roster::staffingLines(
                 roster::checkGroupStaffing(env, month.groupNumber, month.firstDay, month.lastDay)))
            file.line(QStringLiteral("<p>") + htmlEscape(line) + QStringLiteral("</p>"));
    }
    progress.setValue(0);
    progress.setMaximum(10);
    hours.close();
    file.commit();
}

} // namespace

bool makehtmlplan(data::Session& session, const roster::MonthState& month, const QString& path) {
    try {
        writeRoster(session, month, path);
        return true;
    } catch (const std::exception& e) {
        data::report(session, e, QStringLiteral("HTML Export"));
        session.progress->setValue(0);
        session.progress->setMaximum(10);
        session.env.rsStundSum.close();
        return false;
    }
}

void gridToHtml(HtmlFile& file, const roster::GridSurface& grid) {
    file.line(QStringLiteral("<table border=1 bgcolor=#999999 width=1212>"));
    for (int r = 0; r < grid.rows(); ++r) {
        file.line(QStringLiteral("<tr>"));
        for (int c = 0; c < grid.cols(); ++c) {
            quint32 bgr = grid.background(r, c);
            if (bgr == 0xFFFFFFFFu) bgr = roster::White;
            if (r == 0 || c == 0) bgr = LightGrey;
            file.line(td(QStringLiteral(" align=center width=120") + colour(bgr),
                         htmlEscape(grid.text(r, c))));
        }
        file.line(QStringLiteral("</tr>"));
    }
}

} // namespace print
