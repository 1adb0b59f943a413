// Paints every picture of the main window's skin, once at 1x and once at 2x ("name@2x.png").
//   skin-art OUTPUT_FOLDER          writes all pictures
//   skin-art --list                 prints name and size of each picture
//   skin-art --sheet FILE.png       writes all pictures enlarged on one sheet, for review
//
// Everything is drawn in logical pixels on an image whose device pixel ratio is the scale, so the
// 2x picture is the same drawing with twice the detail rather than an enlargement. Edges and
// outlines are whole logical pixels (they must line up with the neighbouring strip at any scale);
// highlight lines are one device pixel ("hairlines"), which keeps them fine on HiDPI screens.
//
// The strips are stretched by the control that shows them, so each strip is uniform along the
// direction it is stretched in and carries its detail across its thickness only. Strips are
// opaque: where a strip picture is transparent the control's grey surface would show through.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

qreal g_scale = 1; // device pixels per logical pixel of the picture being painted

qreal hair() { return 1.0 / g_scale; }

namespace col {
const QColor outline(0x0d, 0x0e, 0x10);
const QColor inner(0x13, 0x15, 0x17);
const QColor captionTop(0x30, 0x34, 0x3a);
const QColor captionBottom(0x22, 0x25, 0x2a);
const QColor captionEdge(0x10, 0x12, 0x14);
const QColor menuTop(0x21, 0x24, 0x28);
const QColor menuBottom(0x1b, 0x1d, 0x21);
const QColor frameLight(0x35, 0x39, 0x40);
const QColor frameTop(0x28, 0x2b, 0x30);
const QColor frameBottom(0x20, 0x23, 0x27);
const QColor groove(0x1e, 0x21, 0x25);
const QColor videoEdge(0x0a, 0x0b, 0x0c);
const QColor glyph(0xb4, 0xba, 0xc3);
const QColor glyphDim(0x95, 0x9c, 0xa6);
const QColor accent(0x3d, 0x9b, 0xff);
const QColor accentDeep(0x25, 0x6c, 0xc4);
const QColor accentLight(0x7c, 0xbd, 0xff);
const QColor danger(0xe5, 0x48, 0x4d);
const QColor dangerDeep(0xa8, 0x2f, 0x36);
} // namespace col

QColor alpha(QColor c, qreal a)
{
    c.setAlphaF(float(a));
    return c;
}

const QColor highlight = alpha(Qt::white, 0.15);
const QColor softHighlight = alpha(Qt::white, 0.07);

void fill(QPainter& p, qreal x, qreal y, qreal w, qreal h, const QColor& c) { p.fillRect(QRectF(x, y, w, h), c); }

void verticalGradient(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void horizontalGradient(QPainter& p, const QRectF& r, const QColor& left, const QColor& right)
{
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, left);
    g.setColorAt(1, right);
    p.fillRect(r, g);
}

// A vertical line that fades in and out at its ends, for etched separators.
void fadedColumn(QPainter& p, qreal x, qreal w, qreal top, qreal bottom, const QColor& c)
{
    QLinearGradient g(QPointF(0, top), QPointF(0, bottom));
    g.setColorAt(0, alpha(c, 0));
    g.setColorAt(0.25, c);
    g.setColorAt(0.75, c);
    g.setColorAt(1, alpha(c, 0));
    p.fillRect(QRectF(x, top, w, bottom - top), g);
}

// The caption bar's body, also under the caption-button panel and the caption's separator, so
// that those pieces continue the bar seamlessly: 26 rows, a top hairline and a dark bottom row.
void captionBody(QPainter& p, qreal width)
{
    verticalGradient(p, QRectF(0, 0, width, 25), col::captionTop, col::captionBottom);
    fill(p, 0, 0, width, hair(), highlight);
    fill(p, 0, 25, width, 1, col::captionEdge);
}

void paintCaptionStrip(QPainter& p, QSize s) { captionBody(p, s.width()); }

void paintCaptionButtonPanel(QPainter& p, QSize s)
{
    captionBody(p, s.width());
    // An etched line sets the buttons off from the title side.
    fadedColumn(p, 0, 1, 3, 20, alpha(Qt::black, 0.45));
    fadedColumn(p, 1, hair(), 3, 20, softHighlight);
}

// A 2-pixel piece of the caption bar that the full-screen toggle moves about: it must not show
// as a mark of its own wherever it lands, so it is the bar itself.
void paintCaptionMark(QPainter& p, QSize s) { captionBody(p, s.width()); }

void paintMenuStrip(QPainter& p, QSize s)
{
    const qreal w = s.width();
    // The caption bar covers the top two rows.
    fill(p, 0, 0, w, 2, col::captionEdge);
    verticalGradient(p, QRectF(0, 2, w, 18), col::menuTop, col::menuBottom);
    fill(p, 0, 2, w, hair(), softHighlight);
    fill(p, 0, 20, w, 1, col::outline);
}

void bottomBody(QPainter& p, qreal width)
{
    fill(p, 0, 0, width, 1, col::outline);
    verticalGradient(p, QRectF(0, 1, width, 11), QColor(0x25, 0x28, 0x2d), QColor(0x1c, 0x1e, 0x22));
    fill(p, 0, 1, width, hair(), softHighlight);
    fill(p, 0, 12, width, 1, col::outline);
}

void paintBottomStrip(QPainter& p, QSize s) { bottomBody(p, s.width()); }

void paintBottomAccent(QPainter& p, QSize s)
{
    bottomBody(p, s.width());
    // The bar's highlight glows in the accent colour at the window's corner and fades out.
    horizontalGradient(p, QRectF(0, 1, s.width(), 1), alpha(col::accent, 0.85), alpha(col::accent, 0));
}

void paintBottomMark(QPainter& p, QSize s) { fill(p, 0, 0, s.width(), s.height(), col::outline); }

// Left frame edge: outline, a light line, a soft body, and a dark line next to the content.
void leftEdge(QPainter& p, qreal height)
{
    fill(p, 0, 0, 1, height, col::outline);
    fill(p, 1, 0, 1, height, col::frameLight);
    horizontalGradient(p, QRectF(2, 0, 4, height), col::frameTop, col::frameBottom);
    fill(p, 6, 0, 1, height, col::inner);
}

void rightEdge(QPainter& p, qreal height)
{
    fill(p, 0, 0, 1, height, col::inner);
    horizontalGradient(p, QRectF(1, 0, 3, height), col::frameBottom, col::frameTop);
    fill(p, 4, 0, 1, height, col::frameLight);
    fill(p, 5, 0, 1, height, col::outline);
}

void paintLeftEdge(QPainter& p, QSize s) { leftEdge(p, s.height()); }
void paintRightEdge(QPainter& p, QSize s) { rightEdge(p, s.height()); }

void paintDivider(QPainter& p, QSize s)
{
    const qreal h = s.height();
    fill(p, 0, 0, 1, h, col::inner);
    fill(p, 1, 0, 1, h, QColor(0x2b, 0x2f, 0x35));
    fill(p, 2, 0, 3, h, col::groove);
    fill(p, 3, 0, 1, h, QColor(0x1a, 0x1c, 0x20));
    fill(p, 5, 0, 1, h, QColor(0x17, 0x19, 0x1c));
    fill(p, 6, 0, 1, h, col::videoEdge);
}

void paintPlayerTop(QPainter& p, QSize s)
{
    const qreal w = s.width();
    fill(p, 0, 0, w, 1, QColor(0x2a, 0x2e, 0x34));
    fill(p, 0, 1, w, 1, QColor(0x23, 0x26, 0x2b));
    fill(p, 0, 2, w, 3, col::groove);
    fill(p, 0, 5, w, 1, QColor(0x16, 0x18, 0x1b));
    fill(p, 0, 6, w, 1, col::videoEdge);
}

void paintPlayerBottom(QPainter& p, QSize s)
{
    const qreal w = s.width();
    fill(p, 0, 0, w, 1, col::videoEdge);
    fill(p, 0, 1, w, 1, QColor(0x16, 0x18, 0x1b));
    fill(p, 0, 2, w, 3, col::groove);
    fill(p, 0, 5, w, 1, QColor(0x23, 0x26, 0x2b));
    fill(p, 0, 6, w, 1, col::outline);
}

void paintCornerBottomLeft(QPainter& p, QSize s)
{
    bottomBody(p, s.width());
    fill(p, 0, 0, 1, s.height(), col::outline);
    fill(p, 1, 1, hair(), 11, softHighlight);
}

void paintCornerBottomRight(QPainter& p, QSize s)
{
    bottomBody(p, s.width());
    fill(p, s.width() - 1, 0, 1, s.height(), col::outline);
}

void paintCornerTopRight(QPainter& p, QSize s)
{
    captionBody(p, s.width());
    fill(p, s.width() - 1, 0, 1, s.height(), col::outline);
}

// The app's mark: a rounded accent square with a play triangle.
void paintMark(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, col::accentLight);
    g.setColorAt(1, col::accentDeep);
    QPainterPath square;
    square.addRoundedRect(r, r.width() * 0.26, r.width() * 0.26);
    p.fillPath(square, g);
    p.setPen(QPen(alpha(Qt::white, 0.35), hair()));
    p.drawLine(QPointF(r.left() + 3, r.top() + hair() / 2), QPointF(r.right() - 3, r.top() + hair() / 2));
    const qreal cx = r.center().x() + r.width() * 0.05;
    const qreal cy = r.center().y();
    const qreal k = r.width() * 0.2;
    QPainterPath play;
    play.moveTo(cx - k * 0.8, cy - k);
    play.lineTo(cx + k, cy);
    play.lineTo(cx - k * 0.8, cy + k);
    play.closeSubpath();
    p.fillPath(play, Qt::white);
    p.restore();
}

void paintWindowBackground(QPainter& p, QSize s)
{
    const qreal w = s.width();
    const qreal h = s.height();
    verticalGradient(p, QRectF(0, 0, w, h), col::captionTop, col::captionBottom);
    QRadialGradient glow(QPointF(12, h / 2), 90);
    glow.setColorAt(0, alpha(col::accent, 0.22));
    glow.setColorAt(1, alpha(col::accent, 0));
    p.fillRect(QRectF(0, 0, w, h), glow);
    fill(p, 0, 0, w, hair(), highlight);
    fill(p, 0, h - 1, w, 1, col::captionEdge);
    paintMark(p, QRectF(4, 3, 15, 15));
}

// Caption buttons: a glyph alone at rest; a raised rounded key under the pointer; a sunken one
// while pressed. The close button's key is red.
enum class Glyph { Minimize, FullScreen, Close, Restore };
enum class Look { Normal, Hover, Pressed };

void drawGlyph(QPainter& p, Glyph glyph, const QPointF& c, const QColor& colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Minimize:
        p.fillRect(QRectF(c.x() - 4, c.y(), 8, 1), colour);
        break;
    case Glyph::FullScreen: {
        // Four corners pointing outwards.
        const qreal a = 4, l = 2.5;
        const qreal x0 = c.x() - a + 0.5, x1 = c.x() + a - 0.5, y0 = c.y() - a + 0.5, y1 = c.y() + a - 0.5;
        p.drawPolyline(QPolygonF{{x0, y0 + l}, {x0, y0}, {x0 + l, y0}});
        p.drawPolyline(QPolygonF{{x1 - l, y0}, {x1, y0}, {x1, y0 + l}});
        p.drawPolyline(QPolygonF{{x1, y1 - l}, {x1, y1}, {x1 - l, y1}});
        p.drawPolyline(QPolygonF{{x0 + l, y1}, {x0, y1}, {x0, y1 - l}});
        break;
    }
    case Glyph::Close: {
        pen.setWidthF(1.25);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        const qreal a = 3.5;
        p.drawLine(QPointF(c.x() - a, c.y() - a), QPointF(c.x() + a, c.y() + a));
        p.drawLine(QPointF(c.x() + a, c.y() - a), QPointF(c.x() - a, c.y() + a));
        break;
    }
    case Glyph::Restore: {
        // The full window: a frame with its side list.
        const QRectF frame(c.x() - 5.5, c.y() - 3.5, 11, 7);
        p.drawRoundedRect(frame, 1, 1);
        p.fillRect(QRectF(frame.left(), frame.top(), 3.5, frame.height()), alpha(colour, 0.55));
        break;
    }
    }
    p.restore();
}

void paintCaptionButton(QPainter& p, QSize s, Glyph glyph, Look look)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF key = QRectF(QPointF(0, 0), QSizeF(s)).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool close = glyph == Glyph::Close;
    QColor glyphColour = col::glyph;
    if (look == Look::Hover) {
        QLinearGradient g(key.topLeft(), key.bottomLeft());
        g.setColorAt(0, close ? QColor(0xef, 0x5d, 0x62) : QColor(0x46, 0x4b, 0x54));
        g.setColorAt(1, close ? col::danger : QColor(0x37, 0x3b, 0x43));
        p.setPen(QPen(close ? QColor(0x9e, 0x2a, 0x30) : QColor(0x16, 0x18, 0x1b), 1));
        p.setBrush(g);
        p.drawRoundedRect(key, 3.5, 3.5);
        p.fillRect(QRectF(3, 1, s.width() - 6, hair()), alpha(Qt::white, close ? 0.35 : 0.18));
        glyphColour = Qt::white;
    } else if (look == Look::Pressed) {
        p.setPen(QPen(close ? QColor(0x6e, 0x1c, 0x21) : QColor(0x08, 0x09, 0x0a), 1));
        p.setBrush(close ? col::dangerDeep : QColor(0x16, 0x18, 0x1b));
        p.drawRoundedRect(key, 3.5, 3.5);
        // Shade along the top: the key is pushed in.
        p.fillRect(QRectF(2, 1, s.width() - 4, 1), alpha(Qt::black, 0.35));
        glyphColour = close ? QColor(0xff, 0xd9, 0xdb) : col::accentLight;
    }
    drawGlyph(p, glyph, QPointF(s.width() / 2.0, s.height() / 2.0), glyphColour);
}

// Floating buttons over the video: a dark translucent pill at rest, an accent pill under the
// pointer. `shadowRow` adds a soft shadow below a 16-row pill (the pictures differ in height).
void paintFloatingButton(QPainter& p, QSize s, Glyph glyph, bool hover)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal bodyHeight = 16;
    if (s.height() > bodyHeight)
        fill(p, 3, bodyHeight, s.width() - 6, s.height() - bodyHeight, alpha(Qt::black, 0.3));
    const QRectF pill(0.5, 0.5, s.width() - 1, bodyHeight - 1);
    QLinearGradient g(pill.topLeft(), pill.bottomLeft());
    if (hover) {
        g.setColorAt(0, col::accentLight);
        g.setColorAt(1, col::accent);
        p.setPen(QPen(col::accentDeep, 1));
    } else {
        g.setColorAt(0, QColor(0x2a, 0x2d, 0x33, 225));
        g.setColorAt(1, QColor(0x16, 0x18, 0x1b, 225));
        p.setPen(QPen(alpha(Qt::white, 0.16), 1));
    }
    p.setBrush(g);
    p.drawRoundedRect(pill, 4, 4);
    p.fillRect(QRectF(4, 1, s.width() - 8, hair()), alpha(Qt::white, hover ? 0.45 : 0.12));
    drawGlyph(p, glyph, QPointF(s.width() / 2.0, bodyHeight / 2.0), hover ? Qt::white : QColor(0xe2, 0xe6, 0xeb));
}

// List handles: a slim rounded tab with a chevron, in the part of the picture that the 7-pixel
// divider shows (from x 0 for the hide handle, from x 4 for the show handle, which sits 4 pixels
// further left); the rest of the picture is transparent.
void paintHandle(QPainter& p, QSize s, bool pointsLeft, bool hover)
{
    Q_UNUSED(s);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal windowLeft = pointsLeft ? 0 : 4;
    const QRectF tab(windowLeft + 1, 4, 5, 42);
    QLinearGradient g(tab.topLeft(), tab.topRight());
    if (hover) {
        g.setColorAt(0, col::accentLight);
        g.setColorAt(1, col::accent);
    } else {
        g.setColorAt(0, QColor(0x4a, 0x50, 0x59));
        g.setColorAt(1, QColor(0x3a, 0x3f, 0x47));
    }
    QPainterPath path;
    path.addRoundedRect(tab, 2.5, 2.5);
    p.fillPath(path, g);
    p.setPen(QPen(hover ? alpha(col::accentDeep, 0.9) : alpha(Qt::black, 0.55), hair()));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(tab.adjusted(hair() / 2, hair() / 2, -hair() / 2, -hair() / 2), 2.5, 2.5);
    // Chevron three columns wide and five rows high, centred on the tab; at 1x set pixel by
    // pixel, since a smoothed line that small turns to mush.
    const QColor ink = hover ? Qt::white : QColor(0xd0, 0xd5, 0xdc);
    const qreal cx = tab.center().x();
    const qreal cy = tab.center().y();
    const qreal dx = pointsLeft ? -1 : 1;
    if (g_scale == 1) {
        const int tipX = int(cx - 0.5 + dx);
        const int y = int(cy - 0.5);
        for (int i = -2; i <= 2; ++i)
            fill(p, tipX - dx * (i < 0 ? -i : i), y + i, 1, 1, ink);
    } else {
        p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF{{cx - dx, cy - 2}, {cx + dx, cy}, {cx - dx, cy + 2}});
    }
}

// The frame a menu title wears while its menu is open.
void paintMenuTitleFrame(QPainter& p, QSize s)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(s)).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(alpha(col::accent, 0.9), 1));
    p.setBrush(alpha(col::accent, 0.18));
    p.drawRoundedRect(r, 2.5, 2.5);
}

// Pointing hand for menu titles and link labels; hot spot at the fingertip (9, 1).
void paintLinkCursor(QPainter& p, QSize s)
{
    Q_UNUSED(s);
    p.setRenderHint(QPainter::Antialiasing);
    // Half a device pixel off the grid, so the one-pixel outline covers whole pixels.
    p.translate(hair() / 2, hair() / 2);
    QPainterPath hand;
    auto add = [&hand](const QRectF& r, qreal radius) {
        QPainterPath part;
        part.addRoundedRect(r, radius, radius);
        hand = hand.united(part);
    };
    add(QRectF(7, 1, 4.5, 15), 2.25);      // index finger
    add(QRectF(11, 8.5, 4.2, 9), 2.1);     // middle
    add(QRectF(15, 9.5, 4.2, 8.5), 2.1);   // ring
    add(QRectF(19, 11, 3.8, 7.5), 1.9);    // little finger
    add(QRectF(7, 13, 15.8, 10.5), 3.5);   // palm
    add(QRectF(9, 20, 12.5, 6), 2);        // heel of the hand
    {
        QPainterPath thumb;
        thumb.addRoundedRect(QRectF(-2.1, -6.5, 4.2, 9), 2.1, 2.1);
        QTransform t;
        t.translate(7.6, 18.2);
        t.rotate(-38);
        hand = hand.united(t.map(thumb));
    }
    hand = hand.simplified();
    // Soft drop shadow, then the outlined hand.
    p.save();
    p.translate(0.8, 1.0);
    p.fillPath(hand, alpha(Qt::black, 0.22));
    p.restore();
    p.fillPath(hand, Qt::white);
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hand);
    // Creases between the folded fingers.
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.2, 11.5), QPointF(11.2, 15));
    p.drawLine(QPointF(15.1, 12), QPointF(15.1, 15.5));
    p.drawLine(QPointF(19.1, 13), QPointF(19.1, 16));
}

struct Picture
{
    QString name;
    QSize size;
    bool opaque;
    std::function<void(QPainter&, QSize)> paint;
};

std::vector<Picture> pictures()
{
    std::vector<Picture> out = {
        {"strip-caption", {32, 26}, true, paintCaptionStrip},
        {"strip-caption-buttons", {69, 23}, true, paintCaptionButtonPanel},
        {"strip-caption-mark", {2, 26}, true, paintCaptionMark},
        {"strip-menu", {32, 21}, true, paintMenuStrip},
        {"strip-bottom", {32, 13}, true, paintBottomStrip},
        {"strip-bottom-accent", {12, 2}, true, paintBottomAccent},
        {"strip-bottom-mark", {1, 4}, true, paintBottomMark},
        {"strip-edge-left", {7, 32}, true, paintLeftEdge},
        {"strip-edge-right", {6, 32}, true, paintRightEdge},
        {"strip-divider", {7, 32}, true, paintDivider},
        {"strip-player-top", {32, 7}, true, paintPlayerTop},
        {"strip-player-bottom", {32, 7}, true, paintPlayerBottom},
        {"strip-corner-bottom-left", {7, 13}, true, paintCornerBottomLeft},
        {"strip-corner-bottom-right", {6, 13}, true, paintCornerBottomRight},
        {"strip-corner-top-right", {6, 26}, true, paintCornerTopRight},
        {"window-background", {301, 21}, true, paintWindowBackground},
        {"menu-title-frame", {42, 12}, false, paintMenuTitleFrame},
        {"cursor-link", {32, 32}, false, paintLinkCursor},
    };
    const std::pair<const char*, Glyph> buttons[] = {
        {"minimize", Glyph::Minimize}, {"fullscreen", Glyph::FullScreen}, {"close", Glyph::Close}};
    const std::pair<const char*, Look> looks[] = {{"normal", Look::Normal}, {"hover", Look::Hover}, {"pressed", Look::Pressed}};
    for (const auto& [button, glyph] : buttons) {
        for (const auto& [lookName, look] : looks) {
            out.push_back({QStringLiteral("btn-%1-%2").arg(QLatin1String(button), QLatin1String(lookName)), {16, 16}, false,
                           [glyph, look](QPainter& p, QSize s) { paintCaptionButton(p, s, glyph, look); }});
        }
    }
    // The floating buttons' pictures differ in height by a row; the extra row is shadow.
    out.push_back({"float-restore-normal", {24, 16}, false, [](QPainter& p, QSize s) { paintFloatingButton(p, s, Glyph::Restore, false); }});
    out.push_back({"float-restore-hover", {24, 17}, false, [](QPainter& p, QSize s) { paintFloatingButton(p, s, Glyph::Restore, true); }});
    out.push_back({"float-minimize-normal", {23, 17}, false, [](QPainter& p, QSize s) { paintFloatingButton(p, s, Glyph::Minimize, false); }});
    out.push_back({"float-minimize-hover", {23, 16}, false, [](QPainter& p, QSize s) { paintFloatingButton(p, s, Glyph::Minimize, true); }});
    out.push_back({"handle-hide-normal", {20, 50}, false, [](QPainter& p, QSize s) { paintHandle(p, s, true, false); }});
    out.push_back({"handle-hide-hover", {20, 50}, false, [](QPainter& p, QSize s) { paintHandle(p, s, true, true); }});
    out.push_back({"handle-show-normal", {20, 50}, false, [](QPainter& p, QSize s) { paintHandle(p, s, false, false); }});
    out.push_back({"handle-show-hover", {20, 50}, false, [](QPainter& p, QSize s) { paintHandle(p, s, false, true); }});
    return out;
}

QImage render(const Picture& picture, int scale)
{
    g_scale = scale;
    QImage image(picture.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        picture.paint(p, picture.size);
    }
    if (picture.opaque)
        return image.convertToFormat(QImage::Format_RGB32);
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Every picture enlarged side by side (1x and 2x, each blown up to the same size with square
// pixels) on the window's dark grey, for judging the art pixel by pixel.
QImage contactSheet()
{
    const int zoom = 6;
    const auto all = pictures();
    int width = 0;
    int height = 8;
    for (const Picture& picture : all) {
        width = std::max(width, 2 * picture.size.width() * zoom + 200);
        height += std::max(picture.size.height() * zoom, 16) + 8;
    }
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(0x40, 0x40, 0x40));
    QPainter p(&sheet);
    p.setPen(Qt::white);
    int y = 8;
    for (const Picture& picture : all) {
        const QSize shown = picture.size * zoom;
        p.drawText(QRect(8, y, 180, 16), Qt::AlignLeft | Qt::AlignTop, picture.name);
        QImage one = render(picture, 1);
        QImage two = render(picture, 2);
        one.setDevicePixelRatio(1);
        two.setDevicePixelRatio(1);
        p.drawImage(QRect(QPoint(190, y), shown), one);
        p.drawImage(QRect(QPoint(200 + shown.width(), y), shown), two);
        y += std::max(shown.height(), 16) + 8;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args[1] == QLatin1String("--list")) {
        for (const Picture& picture : pictures())
            out << picture.name << '\t' << picture.size.width() << 'x' << picture.size.height() << '\n';
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("--sheet"))
        return contactSheet().save(args[2]) ? 0 : 1;
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: skin-art OUTPUT_FOLDER | --list | --sheet FILE.png\n";
        return 2;
    }
    QDir dir(args[1]);
    if (!dir.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "skin-art: cannot create " << args[1] << '\n';
        return 1;
    }
    for (const Picture& picture : pictures()) {
        for (int scale : {1, 2}) {
            const QString file = dir.filePath(picture.name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
            if (!render(picture, scale).save(file)) {
                QTextStream(stderr) << "skin-art: cannot write " << file << '\n';
                return 1;
            }
        }
    }
    out << pictures().size() << " pictures written to " << dir.path() << " at 1x and 2x\n";
    return 0;
}
