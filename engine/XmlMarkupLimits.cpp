#include "engine/XmlMarkupLimits.h"

#include <QByteArrayView>
#include <QFile>
#include <QStringDecoder>
#include <QStringView>

#include <algorithm>
#include <memory>

namespace engine {

namespace {

char16_t unitAt(QByteArrayView text, qsizetype i) {
    return static_cast<unsigned char>(text[i]);
}
char16_t unitAt(QStringView text, qsizetype i) {
    return text[i].unicode();
}

// A file seen through a window of a few megabytes that follows the scan: reading goes forward
// almost always (the look back to an attribute's name stays within the window), so the file is
// read about once and never held whole. A read error ends the view (the caller asks the file).
class FileView {
public:
    explicit FileView(QFile& file) : file_(&file), size_(file.size()), window_(new Window) {}
    qsizetype size() const { return size_; }
    unsigned char at(qsizetype i) const {
        Window& w = *window_;
        if (i < w.start || i >= w.start + w.bytes.size()) load(i);
        const qsizetype k = i - w.start;
        return k >= 0 && k < w.bytes.size() ? static_cast<unsigned char>(w.bytes[k]) : 0;
    }

private:
    struct Window {
        qsizetype start = 0;
        QByteArray bytes;
    };
    static constexpr qsizetype Behind = 64 * 1024;
    static constexpr qsizetype Length = 4 * 1024 * 1024;
    void load(qsizetype i) const {
        Window& w = *window_;
        w.start = std::max<qsizetype>(0, i - Behind);
        w.bytes.clear();
        if (file_->seek(w.start)) w.bytes = file_->read(Length);
    }
    QFile* file_;
    qsizetype size_;
    std::shared_ptr<Window> window_;
};

char16_t unitAt(const FileView& text, qsizetype i) {
    return text.at(i);
}

template <typename View> bool startsAt(View text, qsizetype i, QLatin1StringView marker) {
    if (i + marker.size() > text.size()) return false;
    for (qsizetype k = 0; k < marker.size(); ++k) {
        if (unitAt(text, i + k) != marker[k].unicode()) return false;
    }
    return true;
}

// At a "<" that opens a comment, CDATA section or processing instruction: the index of the
// last character of its end (the text's end when it has none). -1 for any other "<".
template <typename View> qsizetype endOfSkipped(View text, qsizetype i) {
    static const std::pair<QLatin1StringView, QLatin1StringView> skipped[] = {
        {QLatin1StringView("<!--"), QLatin1StringView("-->")},
        {QLatin1StringView("<![CDATA["), QLatin1StringView("]]>")},
        {QLatin1StringView("<?"), QLatin1StringView("?>")}};
    for (const auto& [start, end] : skipped) {
        if (!startsAt(text, i, start)) continue;
        for (qsizetype k = i + start.size(); k < text.size(); ++k) {
            if (startsAt(text, k, end)) return k + end.size() - 1;
        }
        return text.size();
    }
    return -1;
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

template <typename View> QString scan(View text) {
    enum class State { Text, Tag, Value };
    State state = State::Text;
    char16_t quote = 0;
    int attributes = 0;
    int declarations = 0;
    // The name before the current "=": where it starts, where it ends, whether "=" was seen.
    qsizetype nameStart = -1;
    qsizetype nameEnd = -1;
    bool sawEquals = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = unitAt(text, i);
        switch (state) {
        case State::Text:
            if (c != u'<') break;
            if (const qsizetype end = endOfSkipped(text, i); end >= 0) {
                i = end;
                break;
            }
            state = State::Tag;
            attributes = 0;
            nameStart = nameEnd = -1;
            sawEquals = false;
            break;
        case State::Tag:
            if (c == u'>') {
                state = State::Text;
            } else if (c == u'\'' || c == u'"') {
                if (++attributes > maxXmlAttributesPerElement)
                    return QStringLiteral("ein Element hat mehr als %1 Attribute")
                        .arg(maxXmlAttributesPerElement);
                if (nameStart >= 0 && startsAt(text, nameStart, QLatin1StringView("xmlns")) &&
                    ++declarations > maxXmlNamespaceDeclarations)
                    return QStringLiteral("die Datei deklariert mehr als %1 Namensräume")
                        .arg(maxXmlNamespaceDeclarations);
                state = State::Value;
                quote = c;
                nameStart = nameEnd = -1;
                sawEquals = false;
            } else if (isSpace(c) || c == u'=') {
                if (nameStart >= 0 && nameEnd < 0) nameEnd = i;
                sawEquals = sawEquals || c == u'=';
            } else if (nameStart < 0 || (nameEnd >= 0 && !sawEquals)) {
                nameStart = i;
                nameEnd = -1;
            }
            break;
        case State::Value:
            if (c == quote) state = State::Tag;
            break;
        }
    }
    return {};
}

} // namespace

QString exceededXmlMarkupLimit(const QByteArray& content) {
    const auto encoding = QStringConverter::encodingForData(content, u'<');
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1) {
        QStringDecoder decoder(*encoding);
        const QString text = decoder(content);
        return scan(QStringView(text));
    }
    return scan(QByteArrayView(content));
}

QString exceededXmlMarkupLimit(QFile& file) {
    const QByteArray start = file.peek(4);
    const auto encoding = QStringConverter::encodingForData(start, u'<');
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1)
        return exceededXmlMarkupLimit(file.readAll()); // UTF-16 and UTF-32: small files only
    return scan(FileView(file));
}

} // namespace engine
