#pragma once
// The month roster of one group drawn as printed pages: the label columns left and right, one
// column per member in position order with name, target, duties and the hour, difference and
// balance rows, free-day bands, rules, frame, the title line and the maker line. Members that do
// not fit across one sheet continue on the next; every page repeats the labels. The same drawing
// serves the preview picture (one chosen page) and the printer (every page).

#include "data/Session.h"
#include "print/PageSurface.h"
#include "roster/MonthState.h"

#include <QFont>
#include <QHash>

#include <optional>
#include <vector>

namespace print {

// Where the table lies on the page, in twips; measured on the target in its current font.
struct PageGeometry {
    int rowHeight = 0;
    int colWidth = 0;
    int labelWidth = 0;
    int textOffset = 0;
    int tableBottom = 0;
};

// The text, or its longest beginning followed by "..." that is at most width wide in the
// target's current font.
QString elided(const PageSurface& target, const QString& text, double width);

// A value rounded to the nearest whole number, halves to the even neighbour.
int roundHalfEven(double value);

// The top of row r of the table.
constexpr int TableTop = 700;

class RosterPage {
public:
    RosterPage(data::Session& session, const roster::MonthState& month)
        : session_(session), month_(month) {}

    // The geometry of the target's current font for the shown month.
    PageGeometry measure(const PageSurface& target) const;
    // Measures, lays out every member and draws the page chosenPage (1 = the first; no page when
    // there is none of that number), or every page with a new sheet between them when there is
    // no chosen page. Returns the number of pages. Engine errors end the drawing and pass on to
    // the caller.
    int draw(PageSurface& target, std::optional<int> chosenPage);

    // The index (in position order) of the first member on each page of the last drawing.
    const std::vector<int>& pageStarts() const { return pageStarts_; }

    // The font the title's centring is measured in: the preview window's own font.
    QFont windowFont;

private:
    struct Member;
    void drawMember(const Member& member, int x);
    void drawlabels();
    void drawrightlabels();
    void drawSumRules(double x);
    void pageEnd(int x);
    QString groupName() const;
    QString orgName() const;

    data::Session& session_;
    const roster::MonthState& month_;
    PageSurface* target_ = nullptr;
    PageGeometry g_;
    int pageColumns_ = 0;
    int rightEdge_ = 0;        // kept between pages and redraws, set by every drawn column
    QHash<int, double> hours_; // the month's hours by employee number
    std::vector<int> pageStarts_;
    QStringList staffingLines_; // under the table when the settings ask for them
};

} // namespace print
