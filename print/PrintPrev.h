#pragma once
// The print preview "Druckvorschau": one page of the month roster at full size on a white
// picture of the paper, the printer chooser, the orientation, the print font, paging, and
// printing of every page on the chosen printer or into a PDF file. The printer, orientation and
// font are kept in the settings row when the window closes; the printer that was current before
// is current again afterwards.

#include "data/Session.h"
#include "print/RosterPage.h"
#include "roster/MonthState.h"

#include <QDialog>
#include <QImage>
#include <QSizeF>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollBar;
class QToolButton;

class PrintPrev : public QDialog {
    Q_OBJECT
public:
    PrintPrev(data::Session& session, const roster::MonthState& month, QWidget* parent = nullptr);
    ~PrintPrev() override;

    // Redraws the chosen page on the picture, or, while printing, every page on the printer.
    void neuzeichnen();
    // Prints every page on the current printer.
    void cmdPrint_Click();
    // The font dialog for the print font.
    void choosefont();
    // Makes the installed printer of exactly that name current; no change when there is none.
    static bool setprinter(const QString& deviceName);

    // The number of pages of the last redraw, the page picture and the print font.
    int pageCount() const { return page_; }
    const QImage& picture() const { return picture_; }
    QFont printFont() const { return printFont_; }
    int orientation() const { return orientation_; }
    // The index (in position order) of the first member on each page of the last redraw or
    // print.
    const std::vector<int>& pageStarts() const { return painter_.pageStarts(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Combo1_Click(int index);
    void setOrientation(int orientation);
    void seiteDown_Click();
    void seiteUp_Click();
    int shownPage() const;
    // The paper of the current printer in the current orientation, in twips.
    QSizeF paperTwips() const;
    bool printPages(QPrinter& printer);
    void updateScrollRanges();

    data::Session& session_;
    const roster::MonthState& month_;
    print::RosterPage painter_;
    QImage picture_;
    QPrinter* printer_ = nullptr;       // the target while printing
    std::unique_ptr<QPrinter> metrics_; // the current printer, for measuring the preview
    QString metricsPrinter_;
    QFont printFont_;
    int orientation_ = 2;
    int page_ = 0;
    QString startPrinter_;
    bool unloaded_ = false;

    QWidget* Toolbar = nullptr;
    QToolButton* cmdDrucken = nullptr;
    QToolButton* cmdSchrift = nullptr;
    QToolButton* cmdHoch = nullptr;
    QToolButton* cmdQuer = nullptr;
    QComboBox* Combo1 = nullptr;
    QToolButton* seiteDown = nullptr;
    QLineEdit* seitenauswahl = nullptr;
    QToolButton* seiteUp = nullptr;
    QWidget* viewport_ = nullptr;
    QLabel* prevpic = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
};
