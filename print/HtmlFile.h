#pragma once
// An HTML page written line by line, every line ended by CR LF, in the Windows-1252 code page.
// The page goes through platform::SafeFile: it replaces an existing page only when it is complete
// and on the disk; a failure on the way leaves the old page as it was.

#include "platform/Prompts.h"
#include "platform/SafeFile.h"
#include "roster/MonthState.h"

#include <QString>

#include <optional>

namespace print {

// The maker's address in the generator and keywords lines of every page.
inline const QString MakerAddress = QStringLiteral("https://www.turnova.de");

// The save dialog of the HTML exports: the proposed name, ".html", the documents folder, and the
// filter "Alle Dateien (*.*)|*.*|HTML Dateien (*.html)|*.html|" with HTML selected.
platform::FileRequest htmlFileRequest(const QString& documentsFolder, const QString& defaultName);

class HtmlFile {
public:
    // Opens the temporary file; throws engine::EngineError (70) with a German message and cause
    // when the folder cannot take it.
    explicit HtmlFile(const QString& path);
    // Without commit() the temporary file is removed and an existing page stays.

    // Markup without a line end; text from the database goes through htmlEscape first.
    void write(const QString& markup);
    // Markup and the line end.
    void line(const QString& markup = QString());
    // Puts the complete page in place of the target; throws as the constructor does when the
    // page could not be written (a full disk), flushed, synced or put in place.
    void commit();

    // The first lines of every page: html, head, the title (the month's name and the year:
    // März 2024), generator, keywords, description and the closing head. orgname and group are
    // database texts.
    void head(const roster::MonthState& month, const QString& orgname, const QString& group);

private:
    platform::SafeFile& file();

    std::optional<platform::SafeFile> file_;
};

} // namespace print
