#include "BrowserControl.h"

#include "HostServices.h"
#include "WebEnginePage.h"

#include <QResizeEvent>

namespace {
WebPageFactory& pageFactory()
{
    static WebPageFactory factory;
    return factory;
}
} // namespace

BrowserControl::BrowserControl(QWidget* parent) : QWidget(parent)
{
    m_page = pageFactory() ? pageFactory()(this) : makeWebEnginePage(this);
    m_page->widget()->setGeometry(rect());
}

BrowserControl::~BrowserControl() = default;

void BrowserControl::Navigate(const QString& url)
{
    const QUrl target = QUrl::fromUserInput(url);
    if (target.isValid() && !isWebScheme(target.scheme())) {
        HostServices::current().openExternal(target);
        return;
    }
    m_lastNavigated = target;
    m_page->load(target);
}

void BrowserControl::setPageFactory(WebPageFactory factory) { pageFactory() = std::move(factory); }

void BrowserControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_page->widget()->setGeometry(rect());
}
