// Writes the manual std/Handbuch.pdf from docs/Handbuch.html.
// Run: turnova_manual <docs/Handbuch.html> <std/Handbuch.pdf>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    doc.print(&pdf);
    return 0;
}
