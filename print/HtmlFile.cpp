#include "print/HtmlFile.h"

#include "engine/EngineError.h"
#include "platform/Formats.h"
#include "print/HtmlText.h"

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

namespace {

// The engine's error for files the program cannot write, with the German cause.
[[noreturn]] void rethrow(const platform::FileWriteError& e) {
    throw engine::EngineError(engine::err::PermissionDenied, e.message());
}

} // namespace

HtmlFile::HtmlFile(const QString& path) {
    try {
        file_.emplace(path);
    } catch (const platform::FileWriteError& e) {
        rethrow(e);
    }
}

platform::SafeFile& HtmlFile::file() {
    return *file_;
}

void HtmlFile::write(const QString& markup) {
    try {
        file().write(toWindows1252Html(markup));
    } catch (const platform::FileWriteError& e) {
        rethrow(e);
    }
}

void HtmlFile::line(const QString& markup) {
    write(markup + QStringLiteral("\r\n"));
}

void HtmlFile::commit() {
    try {
        file().commit();
    } catch (const platform::FileWriteError& e) {
        rethrow(e);
    }
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
