#include "platform/Printers.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace platform {

const QString PdfPrinterName = QStringLiteral("PDF-Datei");

namespace {

struct PrinterChoice {
    QString deviceName; // empty: not chosen yet
    PaperOrientation orientation = PaperOrientation::Portrait;
};

PrinterChoice& choice() {
    static PrinterChoice current;
    return current;
}

// The printer of that device name, without an output file, in the current orientation.
std::unique_ptr<QPrinter> makePrinter(const QString& device) {
    std::unique_ptr<QPrinter> printer;
    if (device == PdfPrinterName) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer =
            std::make_unique<QPrinter>(QPrinterInfo::printerInfo(device), QPrinter::HighResolution);
    }
    printer->setPageOrientation(choice().orientation == PaperOrientation::Landscape
                                    ? QPageLayout::Landscape
                                    : QPageLayout::Portrait);
    return printer;
}

} // namespace

QStringList installedPrinters() {
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(PdfPrinterName);
    names << PdfPrinterName;
    return names;
}

QString currentPrinter() {
    const QStringList names = installedPrinters();
    if (!choice().deviceName.isEmpty() && names.contains(choice().deviceName))
        return choice().deviceName;
    const QString system = QPrinterInfo::defaultPrinterName();
    if (!system.isEmpty() && names.contains(system)) return system;
    return names.first();
}

bool setCurrentPrinter(const QString& deviceName) {
    if (!installedPrinters().contains(deviceName)) return false;
    choice().deviceName = deviceName;
    return true;
}

PaperOrientation printerOrientation() {
    return choice().orientation;
}

void setPrinterOrientation(PaperOrientation orientation) {
    choice().orientation = orientation;
}

std::unique_ptr<QPrinter> startPrintJob(Prompts& prompts, const QString& documentName,
                                        const QString& startFolder) {
    const QString device = currentPrinter();
    std::unique_ptr<QPrinter> printer = makePrinter(device);
    if (device == PdfPrinterName) {
        FileRequest request;
        request.title = QStringLiteral("Drucken in eine PDF-Datei");
        request.defaultName = documentName;
        request.defaultExtension = QStringLiteral(".pdf");
        request.startFolder = startFolder;
        request.filter = QStringLiteral("PDF-Dateien (*.pdf)|*.pdf|Alle Dateien (*.*)|*.*|");
        std::optional<QString> path = prompts.saveFile(request);
        if (!path || path->isEmpty()) return nullptr;
        if (QFileInfo(*path).suffix().isEmpty()) *path += request.defaultExtension;
        printer->setOutputFileName(*path);
    }
    printer->setDocName(documentName);
    return printer;
}

std::unique_ptr<QPrinter> measuringPrinter() {
    return makePrinter(currentPrinter());
}

QPageSize printerPaper(const QString& deviceName) {
    if (deviceName != PdfPrinterName) {
        const QPageSize size = QPrinterInfo::printerInfo(deviceName).defaultPageSize();
        if (size.isValid()) return size;
    }
    return QPageSize(QPageSize::A4);
}

} // namespace platform
