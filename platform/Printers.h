#pragma once
// The printers of the desktop: the installed printers, the current printer and its paper
// orientation, and print jobs on it. A PDF file is always offered as one more printer and is
// the current one when no printer is installed, so that printing is never a dead end. Like the
// desktop's own current printer, the choice holds for the whole program.

#include "platform/Prompts.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPageSize;
class QPrinter;

namespace platform {

// The device name of the PDF file printer.
extern const QString PdfPrinterName;

enum class PaperOrientation { Portrait = 1, Landscape = 2 };

// The device names of the installed printers in the system's order, then PdfPrinterName.
QStringList installedPrinters();
// The current printer: the one chosen last, else the system's default printer, else the first
// installed one, else PdfPrinterName.
QString currentPrinter();
// Makes the printer with exactly that device name current; false (and no change) when there
// is none of that name.
bool setCurrentPrinter(const QString& deviceName);

PaperOrientation printerOrientation();
void setPrinterOrientation(PaperOrientation orientation);

// A print job on the current printer in the current orientation, ready for a QPainter. For the
// PDF file printer the file is asked for through the save dialog (".pdf", starting in
// startFolder with the document's name); nothing when the user cancels there.
std::unique_ptr<QPrinter> startPrintJob(Prompts& prompts, const QString& documentName,
                                        const QString& startFolder);

// A printer like the one startPrintJob gives for the current printer (device, resolution,
// orientation), for measuring only: nothing is printed on it.
std::unique_ptr<QPrinter> measuringPrinter();

// The paper the printer uses unless told otherwise: its default page size; A4 for the PDF file
// printer and for a printer that reports none.
QPageSize printerPaper(const QString& deviceName);

} // namespace platform
