#include "XPButtonPainter.h"

#include "ccXPButtonColors.h"

#include <QPainter>

#include <cmath>

namespace xpbutton {

namespace {

QSize logicalSize(const QImage& image)
{
    return image.deviceIndependentSize().toSize();
}

// A one-pixel pen line that includes its start point and excludes its end point, drawn as a
// filled rectangle so that a scaled image gets whole device pixels, never a cosmetic hairline.
void line(QPainter& p, int x1, int y1, int x2, int y2, quint32 color)
{
    const QColor c = colorFromBgr(color);
    if (y1 == y2 && x1 != x2) {
        const int from = x2 > x1 ? x1 : x2 + 1;
        p.fillRect(QRect(from, y1, std::abs(x2 - x1), 1), c);
    } else if (x1 == x2 && y1 != y2) {
        const int from = y2 > y1 ? y1 : y2 + 1;
        p.fillRect(QRect(x1, from, 1, std::abs(y2 - y1)), c);
    }
}

void pixel(QPainter& p, int x, int y, quint32 color)
{
    p.fillRect(QRect(x, y, 1, 1), colorFromBgr(color));
}

int red(quint32 c) { return int(c & 0xFF); }
int green(quint32 c) { return int((c / 256) & 0xFF); }
int blue(quint32 c) { return int((c & 0xFF0000) / 65536); }

// Nearest, ties to even: the rounding the colour steps were designed with.
int roundEven(double v) { return int(std::nearbyint(v)); }

} // namespace

QColor colorFromBgr(quint32 bgr)
{
    return QColor(red(bgr), green(bgr), blue(bgr));
}

void paintGradient(QImage& image, int left, int top, int right, int bottom, quint32 topColor, quint32 bottomColor)
{
    const int n = bottom - top;
    if (n <= 0)
        return;
    const double stepR = double(red(topColor) - red(bottomColor)) / n;
    const double stepG = double(green(topColor) - green(bottomColor)) / n;
    const double stepB = double(blue(topColor) - blue(bottomColor)) / n;
    QPainter p(&image);
    for (int i = 0; i <= n; ++i) {
        const QColor c(roundEven(red(bottomColor) + i * stepR), roundEven(green(bottomColor) + i * stepG),
                       roundEven(blue(bottomColor) + i * stepB));
        if (right > left)
            p.fillRect(QRect(left, bottom - i, right - left, 1), c);
    }
}

void paintBody(QImage& image, int state, const QColor& back)
{
    if (image.isNull() || state < 0 || state >= int(StateTable.size()))
        return;
    const StateColors& k = StateTable[std::size_t(state)];
    const QSize size = logicalSize(image);
    const int W = size.width();
    const int H = size.height();

    image.fill(back);
    {
        QPainter p(&image);
        line(p, 3, 0, W - 3, 0, k.frame);
        line(p, 0, 3, 0, H - 3, k.frame);
        line(p, 3, H - 1, W - 3, H - 1, k.frame);
        line(p, W - 1, 3, W - 1, H - 3, k.frame);
    }

    const bool gradientFace = state == 1 || state == 2 || state == 3;
    if (gradientFace) {
        paintGradient(image, 1, 3, W - 1, H - 2, k.bandTop, k.bandBottom);
        paintGradient(image, 3, 3, W - 3, H - 3, FaceTop, FaceBottom);
        QPainter p(&image);
        line(p, 1, 1, W, 1, k.row1);
        line(p, 1, 2, W, 2, k.row2);
        line(p, 1, H - 3, W, H - 3, k.rowHm3);
        line(p, 2, H - 2, W - 1, H - 2, k.rowHm2);
    } else if (W > 2 && H > 2) {
        QPainter p(&image);
        p.fillRect(QRect(1, 1, W - 2, H - 2), colorFromBgr(k.flatFace));
    }

    QPainter p(&image);
    // Each corner: two neighbour pixels on the edges, the edge pixels where the frame lines end,
    // and the inner pixel on the diagonal.
    pixel(p, 0, 1, k.cornerNeighbour);
    pixel(p, 0, 2, k.cornerEdge);
    pixel(p, 1, 0, k.cornerNeighbour);
    pixel(p, 1, 1, k.cornerInner);
    pixel(p, 2, 0, k.cornerEdge);

    pixel(p, W - 1, 1, k.cornerNeighbour);
    pixel(p, W - 1, 2, k.cornerEdge);
    pixel(p, W - 2, 0, k.cornerNeighbour);
    pixel(p, W - 2, 1, k.cornerInner);
    pixel(p, W - 3, 0, k.cornerEdge);

    pixel(p, 0, H - 2, k.cornerNeighbour);
    pixel(p, 0, H - 3, k.cornerEdge);
    pixel(p, 1, H - 1, k.cornerNeighbour);
    pixel(p, 1, H - 2, k.cornerInner);
    pixel(p, 2, H - 1, k.cornerEdge);

    pixel(p, W - 1, H - 2, k.cornerNeighbour);
    pixel(p, W - 1, H - 3, k.cornerEdge);
    pixel(p, W - 2, H - 1, k.cornerNeighbour);
    pixel(p, W - 2, H - 2, k.cornerInner);
    pixel(p, W - 3, H - 1, k.cornerEdge);
}

QRegion windowRegion(const QSize& size)
{
    const int W = size.width();
    const int H = size.height();
    QRegion region(0, 0, W, H);
    if (W < 2 || H < 2)
        return region;
    return region.subtracted(QRegion(0, 0, 1, 1))
        .subtracted(QRegion(W - 1, 0, 1, 1))
        .subtracted(QRegion(0, H - 1, 1, 1))
        .subtracted(QRegion(W - 1, H - 1, 1, 1));
}

void paintCaption(QImage& image, const QString& caption, const QFont& font, const QColor& color)
{
    if (image.isNull() || caption.isEmpty())
        return;
    const QSize size = logicalSize(image);
    const int W = size.width();
    const int H = size.height();
    QPainter p(&image);
    // Laid out in the caption box, but clipped only to the inside of the frame: on the smallest
    // buttons the box has no height left and the caption would otherwise vanish entirely.
    p.setClipRect(QRect(1, 1, W - 2, H - 2));
    p.setFont(font);
    p.setPen(color);
    const QRect box(QPoint(3, 3), QPoint(std::max(3, W - 4), std::max(3, H - 4)));
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextDontClip, caption);
}

void paintFocusRect(QImage& image)
{
    if (image.isNull() || image.depth() != 32)
        return;
    const QSize size = logicalSize(image);
    const int left = 3, top = 3, right = size.width() - 3, bottom = size.height() - 3;
    if (right <= left || bottom <= top)
        return;
    const qreal dpr = image.devicePixelRatio();
    // Inverting each dot once: corners are shared by two edges and must not be flipped back.
    auto invert = [&](int x, int y) {
        if ((x + y) % 2 != 0)
            return;
        const int x0 = int(std::floor(x * dpr)), x1 = std::min(image.width(), int(std::floor((x + 1) * dpr)));
        const int y0 = int(std::floor(y * dpr)), y1 = std::min(image.height(), int(std::floor((y + 1) * dpr)));
        for (int yy = y0; yy < y1; ++yy) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(yy));
            for (int xx = x0; xx < x1; ++xx)
                row[xx] ^= 0x00FFFFFF;
        }
    };
    for (int x = left; x < right; ++x) {
        invert(x, top);
        if (bottom - 1 != top)
            invert(x, bottom - 1);
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        invert(left, y);
        if (right - 1 != left)
            invert(right - 1, y);
    }
}

} // namespace xpbutton
