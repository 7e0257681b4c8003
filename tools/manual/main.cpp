// Writes the manual std/Handbuch.pdf from docs/Handbuch.html.
// Run: turnova_manual <docs/Handbuch.html> <std/Handbuch.pdf>

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// A heading, or a table's first row, in the last eighth of a page goes to the next page, so that
// no heading or table head stands alone at a page's end. The pages are laid out as
// QTextDocument::print lays them out (the printer's page, margins of 2 cm), on a copy, once per
// break set, until no block moves.
void keepHeadsWithTheirText(QTextDocument& doc, QPagedPaintDevice& device) {
    for (int round = 0; round < 100; ++round) {
        std::unique_ptr<QTextDocument> copy(doc.clone());
        copy->documentLayout()->setPaintDevice(&device);
        const qreal margin = (2 / 2.54) * device.logicalDpiY();
        QTextFrameFormat frame = copy->rootFrame()->frameFormat();
        frame.setMargin(margin);
        copy->rootFrame()->setFrameFormat(frame);
        const qreal height = device.height();
        copy->setPageSize(QSizeF(device.width(), height));
        bool moved = false;
        for (QTextBlock b = copy->begin(); b.isValid() && !moved; b = b.next()) {
            QTextTable* table = QTextCursor(b).currentTable();
            const bool tableHead = table && table->cellAt(QTextCursor(b)).row() == 0 &&
                                   table->cellAt(QTextCursor(b)).column() == 0;
            if (b.blockFormat().headingLevel() == 0 && !tableHead) continue;
            const qreal top = table ? copy->documentLayout()->frameBoundingRect(table).top()
                                    : copy->documentLayout()->blockBoundingRect(b).top();
            const qreal pageEnd = (std::floor(top / height) + 1) * height - margin;
            if (pageEnd - top >= height / 8 || std::fmod(top, height) <= margin * 1.5) continue;
            QTextCursor original(doc.findBlockByNumber(b.blockNumber()));
            if (QTextTable* t = original.currentTable()) {
                QTextTableFormat f = t->format();
                f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                t->setFormat(f);
            } else {
                QTextBlockFormat f = original.blockFormat();
                f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                original.setBlockFormat(f);
            }
            moved = true;
        }
        if (!moved) return;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: turnova_manual <in.html> <out.pdf>\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    // the pictures (bilder/...) are read relative to the HTML file's folder
    QDir::setCurrent(QFileInfo(in.fileName()).absolutePath());
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(in.readAll()));
    QPdfWriter pdf(output);
    pdf.setTitle(QStringLiteral("Turnova Handbuch"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    keepHeadsWithTheirText(doc, pdf);
    doc.print(&pdf);
    return 0;
}
