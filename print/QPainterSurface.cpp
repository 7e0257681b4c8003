#include "print/QPainterSurface.h"

#include "platform/Colors.h"

#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainterPath>

#include <utility>

namespace print {

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr quint32 White = 0xFFFFFF;

} // namespace

QPainterSurface::QPainterSurface(QPaintDevice& device, double totalWidth)
    : device_(device), metrics_(&device), totalWidth_(totalWidth),
      unitsX_(device.logicalDpiX() / TwipsPerInch), unitsY_(device.logicalDpiY() / TwipsPerInch),
      outlineRedrawnText_(dynamic_cast<QPagedPaintDevice*>(&device) != nullptr) {}

QPainterSurface::~QPainterSurface() {
    if (painter_.isActive()) painter_.end();
}

bool QPainterSurface::begin() {
    if (!painter_.begin(&device_)) return false;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    items_.clear();
    return true;
}

bool QPainterSurface::end() {
    items_.clear();
    return !painter_.isActive() || painter_.end();
}

double QPainterSurface::scaleWidth() const {
    return device_.width() / unitsX_;
}

double QPainterSurface::scaleHeight() const {
    return device_.height() / unitsY_;
}

double QPainterSurface::twipsPerPixelX() const {
    return TwipsPerInch / device_.logicalDpiX();
}

double QPainterSurface::twipsPerPixelY() const {
    return TwipsPerInch / device_.logicalDpiY();
}

const QFontMetricsF& QPainterSurface::MetricsCache::of(const QFont& f, QPaintDevice* device) {
    if (!metrics || !(font == f)) {
        font = f;
        metrics.emplace(f, device);
        widths.clear();
    }
    return *metrics;
}

qreal QPainterSurface::MetricsCache::width(const QFont& f, QPaintDevice* device,
                                           const QString& text) {
    const QFontMetricsF& m = of(f, device);
    const auto known = widths.constFind(text);
    if (known != widths.constEnd()) return *known;
    return *widths.insert(text, m.horizontalAdvance(text));
}

void QPainterSurface::measureOn(QPaintDevice& device) {
    metrics_ = &device;
    measured_.metrics.reset();
    measured_.widths.clear();
}

double QPainterSurface::textHeight(const QString&) const {
    return measured_.of(font_, metrics_).height() * TwipsPerInch / metrics_->logicalDpiY();
}

double QPainterSurface::textWidthIn(const QFont& font, const QString& text) const {
    return measured_.width(font, metrics_, text) * TwipsPerInch / metrics_->logicalDpiX();
}

QRectF QPainterSurface::deviceRect(double x1, double y1, double x2, double y2) const {
    return QRectF(QPointF(x1 * unitsX_, y1 * unitsY_), QPointF(x2 * unitsX_, y2 * unitsY_))
        .normalized();
}

void QPainterSurface::printText(double x, double y, const QString& text) {
    Item item{Item::Text, {}, {}, text, font_, fore_, {}, false};
    const QFontMetricsF& metrics = painted_.of(font_, &device_);
    item.bounds =
        QRectF(x * unitsX_, y * unitsY_, metrics.horizontalAdvance(text), metrics.height());
    paint(item);
    items_.append(item);
}

void QPainterSurface::line(double x1, double y1, double x2, double y2, quint32 bgr) {
    Item item{Item::Line, {},   QLineF(x1 * unitsX_, y1 * unitsY_, x2 * unitsX_, y2 * unitsY_),
              {},         {},   bgr,
              {},         false};
    item.bounds = QRectF(item.segment.p1(), item.segment.p2()).normalized().adjusted(-1, -1, 1, 1);
    paint(item);
    items_.append(item);
}

void QPainterSurface::frame(double x1, double y1, double x2, double y2, quint32 bgr) {
    Item item{Item::Frame, deviceRect(x1, y1, x2, y2), {}, {}, {}, bgr, {}, false};
    paint(item);
    items_.append(item);
}

void QPainterSurface::fill(double x1, double y1, double x2, double y2, quint32 bgr) {
    Item item{Item::Fill, deviceRect(x1, y1, x2, y2), {}, {}, {}, bgr, {}, false};
    paint(item);
    items_.append(item);
}

void QPainterSurface::notXorBand(double x1, double y1, double x2, double y2, quint32 pen) {
    const QRectF band = deviceRect(x1, y1, x2, y2);
    QList<Item> changed{Item{Item::Fill, band, {}, {}, {}, notXor(White, pen), {}, false}};
    for (const Item& item : std::as_const(items_)) {
        const QRectF clip = item.clip.isEmpty() ? band : item.clip.intersected(band);
        if (clip.isEmpty() || !item.bounds.intersects(clip)) continue;
        Item under = item;
        under.colour = notXor(item.colour, pen);
        under.clip = clip;
        under.asPath = item.kind == Item::Text && outlineRedrawnText_;
        changed.append(under);
    }
    for (const Item& item : std::as_const(changed)) {
        paint(item);
        items_.append(item);
    }
}

void QPainterSurface::newPage() {
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&device_)) paged->newPage();
    items_.clear();
}

void QPainterSurface::paint(const Item& item) {
    if (!painter_.isActive()) return;
    const QColor colour = platform::fromBgr(item.colour);
    painter_.save();
    if (!item.clip.isEmpty()) painter_.setClipRect(item.clip);
    switch (item.kind) {
    case Item::Text: {
        painter_.setFont(item.font);
        const double baseline = item.bounds.top() + painted_.of(item.font, &device_).ascent();
        if (item.asPath) {
            // A path is laid out at the screen's resolution; scaled to the device's.
            const double scale =
                painted_.of(item.font, &device_).height() / QFontMetricsF(item.font).height();
            QPainterPath path;
            path.addText(0, 0, item.font, item.text);
            painter_.translate(item.bounds.left(), baseline);
            painter_.scale(scale, scale);
            painter_.setRenderHint(QPainter::Antialiasing, true);
            painter_.fillPath(path, colour);
        } else {
            painter_.setPen(colour);
            painter_.drawText(QPointF(item.bounds.left(), baseline), item.text);
        }
        break;
    }
    case Item::Line:
        painter_.setPen(QPen(colour, 0));
        painter_.drawLine(item.segment);
        break;
    case Item::Frame:
        painter_.setPen(QPen(colour, 0));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(item.bounds);
        break;
    case Item::Fill:
        painter_.fillRect(item.bounds, colour);
        break;
    }
    painter_.restore();
}

} // namespace print
