#include "WindowFixture.h"

#include "WindowRegistry.h"

#include <QCoreApplication>

WindowFixture::WindowFixture()
{
    WindowRegistry::instance().setOnLastUnload([this] { ++programEnds; });
}

WindowFixture::~WindowFixture()
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    registry.setOnLastUnload({});
}
