#include "BrowserControl.h"

#include "HostServices.h"
#include "WebEnginePage.h"

#include <QResizeEvent>
#include <QTimer>

namespace {
WebPageFactory& pageFactory()
{
    static WebPageFactory factory;
    return factory;
}
} // namespace

BrowserControl::BrowserControl(QWidget* parent, PageTiming timing) : QWidget(parent)
{
    m_waitingForPaint = timing == PageTiming::AfterFirstPaint && !pageFactory();
    if (!m_waitingForPaint)
        makePage();
}

void BrowserControl::makePage()
{
    if (m_page)
        return;
    m_page = pageFactory() ? pageFactory()(this) : makeWebEnginePage(this);
    m_page->widget()->setGeometry(rect());
    m_page->widget()->setVisible(true);
    if (!m_lastNavigated.isEmpty())
        m_page->load(m_lastNavigated);
}

void BrowserControl::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (m_waitingForPaint) {
        m_waitingForPaint = false;
        // After this paint has reached the screen, not inside it.
        QTimer::singleShot(0, this, &BrowserControl::makePage);
    }
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
    if (m_page)
        m_page->load(target);
}

void BrowserControl::setPageFactory(WebPageFactory factory) { pageFactory() = std::move(factory); }

void BrowserControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_page)
        m_page->widget()->setGeometry(rect());
}
