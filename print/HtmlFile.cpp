#include "print/HtmlFile.h"

#include "engine/EngineError.h"
#include "platform/Formats.h"
#include "print/HtmlText.h"

#include <QDir>

namespace print {

platform::FileRequest htmlFileRequest(const QString& documentsFolder, const QString& defaultName) {
    platform::FileRequest request;
    request.defaultName = defaultName;
    request.defaultExtension = QStringLiteral(".html");
    request.startFolder =
        documentsFolder.isEmpty() ? QString() : documentsFolder + QLatin1Char('/');
    request.filter = QStringLiteral("Alle Dateien (*.*)|*.*|HTML Dateien (*.html)|*.html|");
    request.filterIndex = 2;
    return request;
}

HtmlFile::HtmlFile(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly)) fail();
}

HtmlFile::~HtmlFile() {
    if (file_.isOpen()) file_.cancelWriting();
}

void HtmlFile::fail() const {
    throw engine::EngineError(
        engine::err::PermissionDenied,
        QStringLiteral("Die Datei %1 konnte nicht geschrieben werden. %2")
            .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
}

void HtmlFile::write(const QString& markup) {
    const QByteArray bytes = toWindows1252Html(markup);
    if (file_.write(bytes) != bytes.size()) fail();
}

void HtmlFile::line(const QString& markup) {
    write(markup + QStringLiteral("\r\n"));
}

void HtmlFile::commit() {
    if (!file_.commit()) fail();
}

void HtmlFile::head(const roster::MonthState& month, const QString& orgname, const QString& group) {
    line(QStringLiteral("<html>"));
    line(QStringLiteral("<head>"));
    line(QStringLiteral("<title>") + platform::monthName(month.month) + QLatin1Char(' ') +
         QString::number(month.year) + QStringLiteral("</title>"));
    line(QStringLiteral("<meta name=\"Generator\" content=\"") + MakerAddress +
         QStringLiteral("\">"));
    line(QStringLiteral("<meta name=\"keywords\" content=\"") + MakerAddress +
         QStringLiteral(" Turnova \">"));
    line(QStringLiteral("<meta name=\"description\" content=\"Turnova für ") + htmlEscape(orgname) +
         QLatin1Char(' ') + htmlEscape(group) + QStringLiteral(" \" > "));
    line(QStringLiteral("</head>"));
}

} // namespace print
