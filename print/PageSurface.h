#pragma once
// What the roster page painter needs of a drawing target, in twips (1/1440 inch) from the top-left
// corner of the drawable area: measuring text in the current font, text placed by its top-left
// corner, lines, filled rectangles, the free-day band that inverts what lies under it, a fore
// colour, the font and new pages. Colours are Windows colour values 0x00BBGGRR. The painter
// draws on paper and on the preview picture through QPainterSurface; tests record the operations
// on RecordingSurface.

#include <QFont>
#include <QString>

namespace print {

// Pure black and the grey of the free-day band.
constexpr quint32 Black = 0x000000;
constexpr quint32 BandGrey = 0xDCDCDC; // red 220, green 220, blue 220

// What a pixel of colour destination becomes under a band of colour pen: every channel turns
// into NOT(destination XOR pen), the not-xor pen of the old raster operations.
constexpr quint32 notXor(quint32 destination, quint32 pen) {
    return ~(destination ^ pen) & 0xFFFFFFu;
}

class PageSurface {
public:
    virtual ~PageSurface() = default;

    // The drawable area (the picture, or the printable part of the sheet).
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
    // The whole sheet, margins included.
    virtual double totalWidth() const = 0;
    // Twips per device pixel.
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;

    virtual QFont font() const = 0;
    virtual void setFont(const QFont& font) = 0;
    virtual quint32 foreColor() const = 0;
    virtual void setForeColor(quint32 bgr) = 0;

    // Extent of a text in the current font, or in another font (the window's own).
    virtual double textWidth(const QString& text) const = 0;
    virtual double textHeight(const QString& text) const = 0;
    virtual double textWidthIn(const QFont& font, const QString& text) const = 0;

    // Text in the fore colour with its top-left corner at (x, y).
    virtual void printText(double x, double y, const QString& text) = 0;
    // A line from (x1, y1) to (x2, y2), one pen wide.
    virtual void line(double x1, double y1, double x2, double y2, quint32 bgr) = 0;
    // The outline of the rectangle with the corners (x1, y1) and (x2, y2).
    virtual void frame(double x1, double y1, double x2, double y2, quint32 bgr) = 0;
    // The rectangle with the corners (x1, y1) and (x2, y2) filled.
    virtual void fill(double x1, double y1, double x2, double y2, quint32 bgr) = 0;
    // Every point of the rectangle takes the colour notXor(what is there, pen).
    virtual void notXorBand(double x1, double y1, double x2, double y2, quint32 pen) = 0;
    virtual void newPage() = 0;
};

} // namespace print
