#include "NotifyArea.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QtGlobal>

namespace {
NotifyArea* g_installed = nullptr;
} // namespace

NotifyArea::~NotifyArea() = default;

NotifyArea& NotifyArea::current()
{
    if (!g_installed)
        qFatal("lumivo: no notification area installed");
    return *g_installed;
}

void NotifyArea::install(NotifyArea* area) { g_installed = area; }

void NotifyArea::deliverCallback(const NotifyIconData& data, quint32 mouseMessage)
{
    QWidget* window = data.hWnd.data();
    if (!window || !(data.uFlags & notifyicon::NIF_MESSAGE) || data.uCallbackMessage != notifyicon::WM_MOUSEMOVE)
        return;
    const QPointF at(double(mouseMessage), 0.0);
    QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
}
