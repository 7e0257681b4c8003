#include "print/RosterPage.h"

#include "data/Staffing.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/MonthAccount.h"
#include "roster/StaffingCheck.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace print {

struct RosterPage::Member {
    int maNr = 0;
    int position = 0;
    QString name;
    double stdbestand = 0;
    roster::TargetBasis basis;
};

namespace {

const QString ColumnSample = QStringLiteral("22:00 - 22:00 NB"); // the widest duty text
const QString LabelSample = QStringLiteral("Vormonat");
const QString MakerFont = QStringLiteral("Times New Roman");
constexpr double TitleGap = 200; // between the month, the heading and the maker line

} // namespace

QString elided(const PageSurface& target, const QString& text, double width) {
    if (target.textWidth(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    // the longest beginning that fits with the dots: widths grow with the length
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (target.textWidth(text.left(mid) + dots) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return text.left(low).trimmed() + dots;
}

int roundHalfEven(double value) {
    return int(std::nearbyint(value)); // the default rounding mode rounds halves to even
}

PageGeometry RosterPage::measure(const PageSurface& target) const {
    PageGeometry g;
    g.rowHeight = roundHalfEven(target.textHeight(QStringLiteral("W")) * 1.3);
    g.colWidth = roundHalfEven(target.textWidth(ColumnSample));
    g.labelWidth = roundHalfEven(target.textWidth(LabelSample));
    g.tableBottom = (month_.days + 5) * g.rowHeight + TableTop;
    g.textOffset = roundHalfEven((g.rowHeight - target.textHeight(QStringLiteral("X"))) / 2);
    return g;
}

int RosterPage::draw(PageSurface& target, std::optional<int> chosenPage) {
    target_ = &target;
    pageStarts_.clear();
    g_ = measure(target);
    data::DataUmgebung& env = session_.env;
    env.rsMitarbeiter.moveFirst();
    if (env.rsMitarbeiter.eof()) return 0;
    env.rsMitarbeiter.requery();

    hours_.clear();
    engine::Recordset& sums = env.StundSum(month_.firstDay, month_.lastDay);
    for (sums.moveFirst(); !sums.eof(); sums.moveNext())
        hours_.insert(sums.value(QStringLiteral("manr")).toInt(),
                      roster::nullToDouble(sums.value(QStringLiteral("Summe2"))) +
                          roster::nullToDouble(sums.value(QStringLiteral("summe"))));
    sums.close();
    staffingLines_.clear();
    if (data::staffingLinesShown(env.Datenbank))
        staffingLines_ = roster::staffingLines(
            roster::checkGroupStaffing(env, month_.groupNumber, month_.firstDay, month_.lastDay));

    // The members that take a column, in position order.
    std::vector<Member> members;
    engine::Recordset& group = env.rsMaNachGrp;
    if (group.isOpen()) {
        group.setSort(QStringLiteral("Dienstpos"));
        for (group.moveFirst(); !group.eof(); group.moveNext()) {
            Member m;
            m.position = group.value(QStringLiteral("dienstpos")).toInt();
            if (m.position <= 0) continue;
            m.maNr = group.value(QStringLiteral("manr")).toInt();
            m.name = group.value(QStringLiteral("Planname")).toString();
            m.stdbestand = roster::nullToDouble(group.value(QStringLiteral("stdbestand")));
            m.basis = roster::targetBasis(group);
            members.push_back(std::move(m));
        }
    }

    pageStarts_.assign(1, 0);
    const bool everyPage = !chosenPage;
    int x = g_.labelWidth;
    int page = 1;
    pageColumns_ = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        if (everyPage || page == *chosenPage) drawMember(members[i], x);
        x += g_.colWidth;
        // A sheet is full when another column would pass its right label column. A break
        // follows only when another member comes, so the last page is never one of labels alone.
        const bool another = i + 1 < members.size();
        if (x > target.totalWidth() - g_.labelWidth - g_.colWidth && another) {
            ++pageColumns_;
            if (everyPage || page == *chosenPage) pageEnd(x);
            if (everyPage) target.newPage();
            x = g_.labelWidth;
            pageColumns_ = -1;
            ++page;
            pageStarts_.push_back(int(i) + 1);
        }
        ++pageColumns_;
    }
    if (everyPage || page == *chosenPage) {
        target.line(x, TableTop, x + 15, g_.tableBottom, Black);
        drawlabels();
        drawrightlabels();
    }
    return page;
}

void RosterPage::pageEnd(int x) {
    drawlabels();
    drawrightlabels();
    target_->line(x, TableTop, x + 15, g_.tableBottom, Black);
}

void RosterPage::drawMember(const Member& m, int x) {
    PageSurface& t = *target_;
    data::DataUmgebung& env = session_.env;
    const auto rowTop = [this](int row) { return TableTop + row * g_.rowHeight; };
    const auto number = [&](int row, double value) {
        const QString text = platform::fixed(value);
        t.printText(x + g_.colWidth * 0.75 - t.textWidth(text), rowTop(row) + g_.textOffset, text);
    };

    t.line(x, TableTop, x, g_.tableBottom, t.foreColor());
    // Texts stay inside their column: the column is as wide as the widest duty text.
    const auto centred = [&](double y, const QString& whole) {
        QString text = whole;
        double width = t.textWidth(text);
        if (width > g_.colWidth) {
            text = elided(t, text, g_.colWidth);
            width = t.textWidth(text);
        }
        t.printText(x + g_.colWidth / 2.0 - width / 2, y, text);
    };
    centred(710 + g_.textOffset, m.name);

    // Hours: an empty cell when the member has no duty hours in the month.
    double hours = 0;
    const auto found = hours_.constFind(m.maNr);
    if (found != hours_.constEnd()) {
        hours = *found;
        number(month_.days + 2, hours);
    }

    // Target and balance as the roster shows them.
    const roster::MonthAccount account = roster::shownAccount(env, m.basis, month_.firstDay);
    const double target = account.target;
    const double start = m.stdbestand + account.carry;
    number(month_.days + 3, hours - target);
    number(month_.days + 4, start + hours - target);
    number(1, target);

    // Duties: coloured cells leave the cell's rules free by one pen width.
    engine::Recordset& duties =
        env.Dienst(month_.firstDay, month_.lastDay, m.position, month_.groupNumber);
    const double penX = t.twipsPerPixelX();
    const double penY = t.twipsPerPixelY();
    for (duties.moveFirst(); !duties.eof(); duties.moveNext()) {
        const QString text = roster::dutyText(
            duties.value(QStringLiteral("anfang")), duties.value(QStringLiteral("ende")),
            duties.value(QStringLiteral("kurzinfo")), duties.value(QStringLiteral("Normstunden")));
        const int row = engine::toDate(duties.value(QStringLiteral("tag"))).day() + 1;
        const QVariant farbe = duties.value(QStringLiteral("farbe"));
        if (!farbe.isNull() && quint32(farbe.toLongLong()) != roster::White) {
            const double left = x + penX;
            const double top = rowTop(row) + penY;
            t.fill(left, top, left + g_.colWidth - 2 * penX, top + g_.rowHeight - 2 * penY,
                   quint32(farbe.toLongLong()) & 0xFFFFFFu);
        }
        centred(rowTop(row) + g_.textOffset, text);
    }
    duties.close();

    rightEdge_ = x + g_.colWidth + g_.labelWidth + 3 * g_.colWidth;
    if (rightEdge_ > t.scaleWidth()) rightEdge_ = int(t.scaleWidth());
}

void RosterPage::drawSumRules(double labelX) {
    PageSurface& t = *target_;
    static const QString labels[] = {QStringLiteral("Stunden"), QStringLiteral("Differenz"),
                                     QStringLiteral("+Vormon.")};
    for (int i = 0; i < 3; ++i) {
        const int top = TableTop + (month_.days + 2 + i) * g_.rowHeight;
        t.line(0, top, rightEdge_, top + 15, Black);
        t.printText(labelX, top + g_.textOffset, labels[i]);
    }
    const int bottom = TableTop + (month_.days + 5) * g_.rowHeight;
    t.line(0, bottom, rightEdge_, bottom + 15, Black);
}

void RosterPage::drawlabels() {
    PageSurface& t = *target_;
    const roster::Holidays holidays(session_.env, month_.firstDay, month_.lastDay);
    for (QDate d = month_.firstDay; d <= month_.lastDay; d = d.addDays(1)) {
        const int top = TableTop + (d.day() + 1) * g_.rowHeight;
        if (roster::isFreeDay(holidays, d))
            t.notXorBand(0, top, rightEdge_, top + g_.rowHeight, BandGrey);
        t.line(0, top, rightEdge_, top, t.foreColor());
        t.printText(0, top + g_.textOffset, platform::dayLabel(d));
    }
    drawSumRules(0);
    t.printText(0, TableTop + g_.rowHeight + g_.textOffset, QStringLiteral("Sollstd."));
    t.line(0, TableTop + 2 * g_.rowHeight, rightEdge_, TableTop + 15 + 2 * g_.rowHeight, Black);
    t.line(0, TableTop + g_.rowHeight, rightEdge_, TableTop + 15 + g_.rowHeight, Black);
    t.line(g_.labelWidth, TableTop, g_.labelWidth + 15, g_.tableBottom, Black);
    t.frame(0, TableTop, rightEdge_ - 15, g_.tableBottom, t.foreColor());
    for (int i = 0; i < staffingLines_.size(); ++i)
        t.printText(0, g_.tableBottom + (i + 0.5) * g_.rowHeight + g_.textOffset,
                    staffingLines_.at(i));

    // Title line: the month, then organisation and group about the middle of the sheet, but
    // never over the month or the maker line: moved beside them, and shortened with "..." when
    // the room between them is too small.
    const QFont printFont = t.font();
    QFont title = printFont;
    title.setPointSizeF(16);
    t.setFont(title);
    const QString month = platform::monthYear(month_.firstDay);
    t.printText(200, 200, month);
    QFont maker(MakerFont);
    maker.setPointSizeF(16);
    maker.setBold(false);
    maker.setItalic(false);
    const double from = 200 + t.textWidth(month) + TitleGap;
    const double to = t.scaleWidth() - t.textWidthIn(maker, QStringLiteral("Karbeno")) - TitleGap;
    const QString heading = elided(t, orgName() + QLatin1Char(' ') + groupName(), to - from);
    const double centred = t.scaleWidth() / 2 - t.textWidthIn(windowFont, heading);
    t.printText(std::clamp(centred, from, std::max(from, to - t.textWidth(heading))), 200, heading);

    // Maker line: "Karbeno" flush right at the top, "Software" centred under it.
    t.setFont(maker);
    const int w = roundHalfEven(t.textWidth(QStringLiteral("Karbeno")));
    t.printText(t.scaleWidth() - w, 100, QStringLiteral("Karbeno"));
    maker.setPointSizeF(8);
    t.setFont(maker);
    t.printText(t.scaleWidth() - w / 2.0 - t.textWidth(QStringLiteral("Software")) / 2, 400,
                QStringLiteral("Software"));
    t.setFont(printFont);
}

void RosterPage::drawrightlabels() {
    PageSurface& t = *target_;
    const int xr = g_.labelWidth + pageColumns_ * g_.colWidth;
    for (QDate d = month_.firstDay; d <= month_.lastDay; d = d.addDays(1))
        t.printText(xr, TableTop + (d.day() + 1) * g_.rowHeight + g_.textOffset,
                    platform::dayLabel(d));
    drawSumRules(xr);
    t.printText(xr, TableTop + g_.rowHeight + g_.textOffset, QStringLiteral("Sollstd."));
}

QString RosterPage::groupName() const {
    engine::Recordset rs;
    rs.openSql(session_.env.Datenbank,
               QStringLiteral("SELECT Gruppenname FROM Gruppen WHERE GruppenNr = [g]"),
               {month_.groupNumber}, {QStringLiteral("g")});
    return rs.eof() ? QString() : rs.value(0).toString();
}

QString RosterPage::orgName() const {
    engine::Recordset& settings = session_.env.rsEinstellungen;
    if (!settings.isOpen()) return QString();
    if (settings.eof() || settings.bof()) settings.moveFirst();
    return settings.eof() ? QString() : settings.value(QStringLiteral("OrgName")).toString();
}

} // namespace print
