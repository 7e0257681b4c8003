#pragma once
// A quick pass over an XML text before it is parsed, for the shapes that make the XML parser
// itself take time out of all proportion to the file: it compares each attribute of an element
// with all the others, and looks prefixes up through every namespace declaration in scope. A
// hostile file of a few megabytes with one element of a million attributes, or with thousands
// of namespace declarations, would keep it busy for hours.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace engine {

// The old engine's rows have at most 255 fields; row-set files declare four namespaces.
constexpr int maxXmlAttributesPerElement = 300;
constexpr int maxXmlNamespaceDeclarations = 100;

// Empty when the content keeps to the limits above, else what is exceeded (German). Comments, CDATA
// sections and processing instructions are passed over. The encoding is detected as the XML parser
// does (byte-order mark, or UTF-16/UTF-32 by the first "<"); other encodings are read as
// ASCII-compatible bytes, in which markup characters are single bytes.
QString exceededXmlMarkupLimit(const QByteArray& content);
// The same for a file opened for reading, read through a window rather than whole (the position
// afterwards is anywhere).
QString exceededXmlMarkupLimit(QFile& file);

} // namespace engine
