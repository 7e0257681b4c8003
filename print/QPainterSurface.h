#pragma once
// The page surface on a real paint device: the preview picture (a QImage), a printer or a PDF
// file. Twips become device units through the device's resolution. The free-day band is drawn
// without raster operations, which a printer or a PDF file do not have: the surface remembers
// what it drew on the current page, fills the band in the colour the band gives white paper and
// draws again, clipped to the band, whatever lies under it in the colour the band turns it into.
// The output therefore stays vector, and text stays text.

#include "print/PageSurface.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QRectF>

#include <optional>

class QPaintDevice;

namespace print {

class QPainterSurface : public PageSurface {
public:
    // The drawable area is the device's; totalWidth is the whole sheet in twips.
    QPainterSurface(QPaintDevice& device, double totalWidth);
    ~QPainterSurface() override;

    // Text is measured on another device than the one painted on: the preview picture measures
    // on the printer, so that its columns, page breaks and shortened names are the printout's.
    void measureOn(QPaintDevice& device);

    // Starts and ends painting on the device; false when the device refuses (a file that
    // cannot be written). Measuring needs no painting.
    bool begin();
    bool end();

    double scaleWidth() const override;
    double scaleHeight() const override;
    double totalWidth() const override { return totalWidth_; }
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;

    QFont font() const override { return font_; }
    void setFont(const QFont& font) override { font_ = font; }
    quint32 foreColor() const override { return fore_; }
    void setForeColor(quint32 bgr) override { fore_ = bgr; }

    double textWidth(const QString& text) const override { return textWidthIn(font_, text); }
    double textHeight(const QString& text) const override;
    double textWidthIn(const QFont& font, const QString& text) const override;

    void printText(double x, double y, const QString& text) override;
    void line(double x1, double y1, double x2, double y2, quint32 bgr) override;
    void frame(double x1, double y1, double x2, double y2, quint32 bgr) override;
    void fill(double x1, double y1, double x2, double y2, quint32 bgr) override;
    void notXorBand(double x1, double y1, double x2, double y2, quint32 pen) override;
    void newPage() override;

private:
    // One drawn shape in device units, with the clip it was drawn in (empty: none).
    struct Item {
        enum Kind { Text, Line, Frame, Fill } kind;
        QRectF bounds;
        QLineF segment;
        QString text;
        QFont font;
        quint32 colour = 0;
        QRectF clip;
        bool asPath = false; // text drawn again under a band: as outline, not as text
    };
    void paint(const Item& item);
    // Metrics of a font on a device, kept while the same font is asked for again (building them
    // costs more than measuring a text).
    struct MetricsCache {
        QFont font;
        std::optional<QFontMetricsF> metrics;
        QHash<QString, qreal> widths; // the texts measured in that font (duty texts repeat)
        const QFontMetricsF& of(const QFont& f, QPaintDevice* device);
        qreal width(const QFont& f, QPaintDevice* device, const QString& text);
    };
    QRectF deviceRect(double x1, double y1, double x2, double y2) const;

    QPaintDevice& device_;
    QPaintDevice* metrics_; // where text is measured: the device itself unless measureOn
    QPainter painter_;
    double totalWidth_;
    double unitsX_; // device units per twip
    double unitsY_;
    // On paper and in a PDF, text redrawn under a band goes out as outlines, so the page's text
    // holds every word once; on the preview picture it is drawn as text from the glyph cache.
    bool outlineRedrawnText_;
    QFont font_;
    quint32 fore_ = Black;
    QList<Item> items_;             // what lies on the current page
    mutable MetricsCache measured_; // on metrics_
    mutable MetricsCache painted_;  // on device_
};

} // namespace print
