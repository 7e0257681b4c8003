#pragma once
// A page surface that writes down every drawing operation as one line of text, with fixed
// character widths, so that whole pages can be compared with golden files. A character of a
// font of n points is n × 10 twips wide and n × 20 twips high.

#include "print/PageSurface.h"

#include <QStringList>

namespace print {

class RecordingSurface : public PageSurface {
public:
    // The sheet's size in twips; the drawable area is the whole sheet.
    RecordingSurface(double width, double height) : width_(width), height_(height) {}

    double scaleWidth() const override { return width_; }
    double scaleHeight() const override { return height_; }
    double totalWidth() const override { return width_; }
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }

    QFont font() const override { return font_; }
    void setFont(const QFont& font) override {
        if (font == font_) return;
        font_ = font;
        ops << QStringLiteral("font \"%1\" %2%3%4")
                   .arg(font.family(), number(font.pointSizeF()),
                        font.bold() ? QStringLiteral(" bold") : QString(),
                        font.italic() ? QStringLiteral(" italic") : QString());
    }
    quint32 foreColor() const override { return fore_; }
    void setForeColor(quint32 bgr) override { fore_ = bgr; }

    double textWidth(const QString& text) const override { return textWidthIn(font_, text); }
    double textHeight(const QString&) const override { return font_.pointSizeF() * 20; }
    double textWidthIn(const QFont& font, const QString& text) const override {
        return double(text.size()) * font.pointSizeF() * 10;
    }

    void printText(double x, double y, const QString& text) override {
        ops << QStringLiteral("text %1 %2 %3 \"%4\"")
                   .arg(number(x), number(y), colour(fore_), text);
    }
    void line(double x1, double y1, double x2, double y2, quint32 bgr) override {
        ops << shape(QStringLiteral("line"), x1, y1, x2, y2, bgr);
    }
    void frame(double x1, double y1, double x2, double y2, quint32 bgr) override {
        ops << shape(QStringLiteral("frame"), x1, y1, x2, y2, bgr);
    }
    void fill(double x1, double y1, double x2, double y2, quint32 bgr) override {
        ops << shape(QStringLiteral("fill"), x1, y1, x2, y2, bgr);
    }
    void notXorBand(double x1, double y1, double x2, double y2, quint32 pen) override {
        ops << shape(QStringLiteral("band"), x1, y1, x2, y2, pen);
    }
    void newPage() override { ops << QStringLiteral("newpage"); }

    // Every operation so far, one a line.
    QString text() const { return ops.join(QLatin1Char('\n')) + QLatin1Char('\n'); }

    QStringList ops;

    static QString number(double v) { return QString::number(v, 'g', 12); }
    // "r/g/b"
    static QString colour(quint32 bgr) {
        return QStringLiteral("%1/%2/%3")
            .arg(bgr & 0xFF)
            .arg((bgr >> 8) & 0xFF)
            .arg((bgr >> 16) & 0xFF);
    }

private:
    static QString shape(const QString& op, double x1, double y1, double x2, double y2,
                         quint32 bgr) {
        return QStringLiteral("%1 %2 %3 %4 %5 %6")
            .arg(op, number(x1), number(y1), number(x2), number(y2), colour(bgr));
    }

    double width_;
    double height_;
    QFont font_;
    quint32 fore_ = Black;
};

} // namespace print
