#include "print/PrintPrev.h"

#include "engine/EngineError.h"
#include "platform/Printers.h"
#include "platform/SafeFile.h"
#include "print/PreviewIcons.h"
#include "print/PrintSettings.h"
#include "print/QPainterSurface.h"
#include "roster/Konstanten.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPixmap>
#include <QPrinter>
#include <QScrollBar>
#include <QToolButton>

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr int ToolbarHeight = 40;   // 600 twips
constexpr int ScrollThickness = 17; // 255 twips

engine::EngineError printFailure(const QString& description) {
    return engine::EngineError(engine::err::PermissionDenied, description);
}

} // namespace

PrintPrev::PrintPrev(data::Session& session, const roster::MonthState& month, QWidget* parent)
    : QDialog(parent), session_(session), month_(month), painter_(session, month) {
    setObjectName(QStringLiteral("PrintPrev"));
    setWindowTitle(QStringLiteral("Druckvorschau"));
    buildControls();
    painter_.windowFont = font();
    resize(691, 492); // 10365 × 7380 twips
    Form_Resize();
    Form_Load();
}

PrintPrev::~PrintPrev() {
    Form_Unload();
}

void PrintPrev::buildControls() {
    Toolbar = new QWidget(this);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    const auto button = [this](const char* key, const char* tip, const QIcon& icon, int x) {
        auto* b = new QToolButton(Toolbar);
        b->setObjectName(QLatin1String(key));
        b->setToolTip(QString::fromUtf8(tip));
        b->setIcon(icon);
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setGeometry(x, 2, 36, 36);
        return b;
    };
    cmdDrucken = button("Drucken", "Drucken", print::printIcon(), 2);
    cmdSchrift = button("Schrift", "Schriftart", print::fontIcon(), 40);
    cmdHoch = button("hoch", "Hochformat", print::paperIcon(false), 86);
    cmdQuer = button("Quer", "Querformat", print::paperIcon(true), 124);
    cmdHoch->setCheckable(true);
    cmdQuer->setCheckable(true);

    Combo1 = new QComboBox(Toolbar);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Wählen sie den Drucker für die Ausgabe."));
    Combo1->setGeometry(272, 8, 225, 24);

    seiteDown = new QToolButton(Toolbar);
    seiteDown->setObjectName(QStringLiteral("seiteDown"));
    seiteDown->setArrowType(Qt::LeftArrow);
    seiteDown->setGeometry(520, 10, 20, 20);
    seitenauswahl = new QLineEdit(QStringLiteral("1"), Toolbar);
    seitenauswahl->setObjectName(QStringLiteral("seitenauswahl"));
    seitenauswahl->setAlignment(Qt::AlignCenter);
    seitenauswahl->setGeometry(541, 8, 33, 24);
    seiteUp = new QToolButton(Toolbar);
    seiteUp->setObjectName(QStringLiteral("seiteUp"));
    seiteUp->setArrowType(Qt::RightArrow);
    seiteUp->setGeometry(575, 10, 20, 20);

    viewport_ = new QWidget(this);
    viewport_->setObjectName(QStringLiteral("viewport"));
    prevpic = new QLabel(viewport_);
    prevpic->setObjectName(QStringLiteral("prevpic"));
    prevpic->setAutoFillBackground(true);
    QPalette white = prevpic->palette();
    white.setColor(QPalette::Window, Qt::white);
    prevpic->setPalette(white);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));

    connect(cmdDrucken, &QToolButton::clicked, this, &PrintPrev::cmdPrint_Click);
    connect(cmdSchrift, &QToolButton::clicked, this, &PrintPrev::choosefont);
    connect(cmdHoch, &QToolButton::clicked, this, [this] { setOrientation(1); });
    connect(cmdQuer, &QToolButton::clicked, this, [this] { setOrientation(2); });
    connect(Combo1, &QComboBox::activated, this, &PrintPrev::Combo1_Click);
    connect(seiteDown, &QToolButton::clicked, this, &PrintPrev::seiteDown_Click);
    connect(seiteUp, &QToolButton::clicked, this, &PrintPrev::seiteUp_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this](int v) { prevpic->move(-v, prevpic->y()); });
    connect(VScroll1, &QScrollBar::valueChanged, this,
            [this](int v) { prevpic->move(prevpic->x(), -v); });
}

bool PrintPrev::setprinter(const QString& deviceName) {
    return platform::setCurrentPrinter(deviceName);
}

void PrintPrev::Form_Load() {
    startPrinter_ = platform::currentPrinter();
    Combo1->addItems(platform::installedPrinters());
    try {
        const print::PrintSettings settings = print::readPrintSettings(session_.env, font());
        if (!settings.printer.isEmpty()) setprinter(settings.printer);
        orientation_ = settings.orientation;
        printFont_ = settings.font;
        // Left sorted by position for the windows that follow.
        session_.env.rsMitarbeiter.setSort(QStringLiteral("Dienstpos"));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("PrintPrev Form_Load"));
    }
    Combo1->setCurrentIndex(Combo1->findText(platform::currentPrinter()));
    cmdHoch->setChecked(orientation_ == 1);
    cmdQuer->setChecked(orientation_ != 1);
    neuzeichnen();
}

QSizeF PrintPrev::paperTwips() const {
    const QSizeF points = platform::printerPaper(platform::currentPrinter()).size(QPageSize::Point);
    const QSizeF twips = points * 20;
    return orientation_ == 1 ? twips : twips.transposed();
}

int PrintPrev::shownPage() const {
    bool ok = false;
    const int n = seitenauswahl->text().trimmed().toInt(&ok);
    return ok ? n : 1; // text that is no number shows the first page
}

void PrintPrev::neuzeichnen() {
    try {
        platform::setPrinterOrientation(orientation_ == 1 ? platform::PaperOrientation::Portrait
                                                          : platform::PaperOrientation::Landscape);
        const QSizeF paper = paperTwips();
        if (printer_) {
            printer_->setPageOrientation(orientation_ == 1 ? QPageLayout::Portrait
                                                           : QPageLayout::Landscape);
            if (!printPages(*printer_)) return;
        } else {
            const double dpi = logicalDpiX();
            picture_ =
                QImage(qRound(paper.width() * dpi / TwipsPerInch),
                       qRound(paper.height() * logicalDpiY() / TwipsPerInch), QImage::Format_RGB32);
            picture_.setDotsPerMeterX(qRound(dpi / 0.0254));
            picture_.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
            picture_.fill(Qt::white);
            // measured on the printer: the preview shows the printout's columns and pages
            if (!metrics_ || metricsPrinter_ != platform::currentPrinter()) {
                metrics_ = platform::measuringPrinter();
                metricsPrinter_ = platform::currentPrinter();
            }
            print::QPainterSurface surface(picture_, paper.width());
            surface.measureOn(*metrics_);
            surface.setFont(printFont_);
            surface.begin();
            page_ = 0;
            try {
                page_ = painter_.draw(surface, shownPage());
            } catch (...) {
                surface.end();
                prevpic->setPixmap(QPixmap::fromImage(picture_));
                throw;
            }
            surface.end();
            prevpic->setPixmap(QPixmap::fromImage(picture_));
            prevpic->resize(picture_.size());
            updateScrollRanges();
        }
        seiteUp->setEnabled(page_ > 1);
        seiteDown->setEnabled(page_ > 1);
    } catch (const std::exception& e) {
        session_.prompts().ask(QStringLiteral("Fehler beim Drucken in Funktion neuzeichnen") +
                               QString::number(data::errorNumber(e)) + QLatin1Char(' ') +
                               data::errorDescription(e));
    }
}

// Every page on the printer as one job. A PDF file is written beside its place first and put
// there only when it is complete, so a failed job leaves an existing file as it was.
bool PrintPrev::printPages(QPrinter& printer) {
    const QString file = printer.outputFileName();
    const QString part = file.isEmpty() ? QString() : file + QStringLiteral(".part");
    if (!part.isEmpty()) printer.setOutputFileName(part);
    print::QPainterSurface surface(printer, paperTwips().width());
    surface.setFont(printFont_);
    const print::PageGeometry g = painter_.measure(surface);
    if (g.tableBottom + 15 > surface.scaleHeight()) {
        session_.prompts().ask(QStringLiteral("Wählen Sie eine kleinere Schrift"));
        return false;
    }
    const QString target = file.isEmpty() ? printer.printerName() : file;
    if (!surface.begin())
        throw printFailure(
            QStringLiteral("Der Druckauftrag für \"%1\" kann nicht begonnen werden.").arg(target));
    try {
        page_ = painter_.draw(surface, std::nullopt);
    } catch (...) {
        surface.end();
        if (!part.isEmpty()) QFile::remove(part);
        throw;
    }
    if (!surface.end()) {
        if (!part.isEmpty()) QFile::remove(part);
        throw printFailure(QStringLiteral("Der Druckauftrag für \"%1\" ist nicht vollständig "
                                          "geschrieben worden.")
                               .arg(target));
    }
    if (!part.isEmpty()) {
        // complete only with the trailer; one rename replaces an existing file
        try {
            platform::replaceWithFinished(part, file, QByteArrayLiteral("%%EOF"));
        } catch (const platform::FileWriteError& e) {
            throw printFailure(e.message());
        }
    }
    return true;
}

void PrintPrev::cmdPrint_Click() {
    try {
        platform::setPrinterOrientation(orientation_ == 1 ? platform::PaperOrientation::Portrait
                                                          : platform::PaperOrientation::Landscape);
        const QString name = QStringLiteral("tnv-%1-%2.pdf")
                                 .arg(month_.year)
                                 .arg(month_.month, 2, 10, QLatin1Char('0'));
        std::unique_ptr<QPrinter> printer = platform::startPrintJob(
            session_.prompts(), name, session_.services.folders.documentsFolder);
        if (!printer) return; // the file dialog was cancelled
        printer->setPageSize(platform::printerPaper(platform::currentPrinter()));
        printer_ = printer.get();
        neuzeichnen();
        printer_ = nullptr;
    } catch (const std::exception&) {
        printer_ = nullptr;
        session_.prompts().ask(QStringLiteral("Fehler beim Drucken in Funktion cmdPrint_Click"));
    }
}

void PrintPrev::choosefont() {
    const std::optional<QFont> chosen = session_.prompts().chooseFont(printFont_);
    if (!chosen) return;
    roster::copyFont(*chosen, printFont_);
    neuzeichnen();
}

void PrintPrev::Combo1_Click(int index) {
    setprinter(Combo1->itemText(index));
    Combo1->setCurrentIndex(Combo1->findText(platform::currentPrinter()));
    neuzeichnen();
}

void PrintPrev::setOrientation(int orientation) {
    orientation_ = orientation;
    cmdHoch->setChecked(orientation_ == 1);
    cmdQuer->setChecked(orientation_ != 1);
    seitenauswahl->setText(QStringLiteral("1"));
    neuzeichnen();
}

void PrintPrev::seiteDown_Click() {
    const int n = shownPage();
    if (n > 1) seitenauswahl->setText(QString::number(n - 1));
    neuzeichnen();
}

void PrintPrev::seiteUp_Click() {
    const int n = shownPage();
    if (n < page_) seitenauswahl->setText(QString::number(n + 1));
    neuzeichnen();
}

void PrintPrev::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void PrintPrev::Form_Resize() {
    const int w = width();
    const int h = height();
    Toolbar->setGeometry(0, 0, w, ToolbarHeight);
    viewport_->setGeometry(0, ToolbarHeight, qMax(0, w - ScrollThickness),
                           qMax(0, h - ToolbarHeight - ScrollThickness));
    VScroll1->setGeometry(w - ScrollThickness, ToolbarHeight, ScrollThickness,
                          qMax(0, h - ToolbarHeight - ScrollThickness));
    HScroll1->setGeometry(0, h - ScrollThickness, qMax(0, w - ScrollThickness), ScrollThickness);
    updateScrollRanges();
}

// The ranges reach the right and bottom edges of the paper in either orientation.
void PrintPrev::updateScrollRanges() {
    const QSizeF paper = paperTwips();
    const int longest = qRound(qMax(paper.width(), paper.height()) * logicalDpiX() / TwipsPerInch);
    HScroll1->setRange(0, qMax(0, longest - viewport_->width()));
    HScroll1->setPageStep(qMax(1, viewport_->width()));
    HScroll1->setSingleStep(15);
    VScroll1->setRange(0, qMax(0, longest - viewport_->height()));
    VScroll1->setPageStep(qMax(1, viewport_->height()));
    VScroll1->setSingleStep(15);
}

void PrintPrev::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void PrintPrev::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    try {
        print::PrintSettings settings;
        settings.printer = platform::currentPrinter();
        settings.orientation = orientation_;
        settings.font = printFont_;
        print::storePrintSettings(session_.env, settings);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("PrintPrev Form_Unload"));
    }
    setprinter(startPrinter_);
}
