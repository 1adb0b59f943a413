#include "Module1.h"

#include "Placement.h"
#include "Units.h"
#include "WindowMove.h"

#include <QCursor>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Module1 {
namespace {

FullScreenState g_state;

int pixels(float twips) { return units::roundCoordinate(units::pixelsFromTwips(twips)); }
int rounded(float value) { return units::roundCoordinate(value); }

// Direct children of the window measure in pixels, anything inside a control in twips.
placement::Unit unitOf(const QWidget* element, const QWidget* window)
{
    return element->parentWidget() == window ? placement::Unit::Pixels : placement::Unit::Twips;
}

QRect screenGeometry(const QWidget* window)
{
    const QScreen* screen = window->screen();
    return screen ? screen->geometry() : QRect(0, 0, window->width(), window->height());
}

// The frame around the client area, which a frameless window does not have.
QSize frameExtra(const QWidget* window)
{
    return window->frameGeometry().size() - window->size();
}

} // namespace

const FullScreenState& fullScreenState() { return g_state; }

float windowLeft(const QWidget* w) { return units::twipsFromPixels(float(w->frameGeometry().x())); }
float windowTop(const QWidget* w) { return units::twipsFromPixels(float(w->frameGeometry().y())); }
float windowWidth(const QWidget* w) { return units::twipsFromPixels(float(w->frameGeometry().width())); }
float windowHeight(const QWidget* w) { return units::twipsFromPixels(float(w->frameGeometry().height())); }

void setWindowLeft(QWidget* w, float twips) { w->move(pixels(twips), w->frameGeometry().y()); }
void setWindowTop(QWidget* w, float twips) { w->move(w->frameGeometry().x(), pixels(twips)); }
void setWindowWidth(QWidget* w, float twips)
{
    w->resize(std::max(0, pixels(twips) - frameExtra(w).width()), w->height());
}
void setWindowHeight(QWidget* w, float twips)
{
    w->resize(w->width(), std::max(0, pixels(twips) - frameExtra(w).height()));
}

void DragWindow(QWidget* window)
{
    if (g_state.fullScreen)
        return;
    beginWindowMove(window, QCursor::pos());
}

void ToggleFullScreen(QWidget* window, QWidget* first, QWidget* second, QWidget* third)
{
    QWidget* const edges[3] = {first, second, third};
    if (!g_state.fullScreen) {
        const QRect screen = screenGeometry(window);
        g_state.savedTop = rounded(windowTop(window));
        g_state.savedLeft = rounded(windowLeft(window));
        // The screen's own corner: (0, 0) on the primary screen.
        setWindowTop(window, units::twipsFromPixels(float(screen.y())));
        setWindowLeft(window, units::twipsFromPixels(float(screen.x())));
        g_state.savedWidth = rounded(windowWidth(window));
        g_state.savedHeight = rounded(windowHeight(window));
        // A strip at the bottom of the screen stays uncovered.
        setWindowHeight(window, units::twipsFromPixels(float(screen.height())) - 500);
        setWindowWidth(window, units::twipsFromPixels(float(screen.width())));
        for (int i = 0; i < 3; ++i)
            g_state.savedEdgeLeft[i] = rounded(placement::left(edges[i], unitOf(edges[i], window)));
        // The same formula for all three, whatever unit each one measures in.
        for (QWidget* e : edges) {
            const placement::Unit unit = unitOf(e, window);
            placement::setLeft(e, windowWidth(window) - placement::width(e, unit), unit);
        }
        g_state.fullScreen = true;
        return;
    }
    setWindowLeft(window, float(g_state.savedLeft));
    setWindowTop(window, float(g_state.savedTop));
    setWindowWidth(window, float(g_state.savedWidth));
    setWindowHeight(window, float(g_state.savedHeight));
    for (int i = 0; i < 3; ++i)
        placement::setLeft(edges[i], float(g_state.savedEdgeLeft[i]), unitOf(edges[i], window));
    g_state.fullScreen = false;
}

} // namespace Module1
