#pragma once
// Text of the HTML pages the program writes: database texts made safe for markup, and the page
// as bytes of the Windows-1252 code page, which the intranet pages and the browsers' German
// default expect.

#include <QByteArray>
#include <QString>

namespace print {

// The text with "&", "<", ">" and '"' written as character references, so that a name such as
// "Müller & <Söhne>" shows as itself and no text of the database becomes markup.
QString htmlEscape(const QString& text);

// The page text in Windows-1252: ASCII and Latin-1 letters as single bytes (ü is 0xFC), the
// typographic signs of 0x80 to 0x9F (€, „, –, ...) as their bytes, and every other character
// (a Polish or Cyrillic letter) as a numeric character reference "&#number;", so that nothing is
// lost and every byte stays in the code page.
QByteArray toWindows1252Html(const QString& text);

} // namespace print
