#include "WebEnginePage.h"

#include "HostServices.h"
#include "media/RenderPath.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The web views are drawn by a scene graph that makes the toolkit compose the whole window through
// OpenGL. Where the GL is a software rasteriser (the video is drawn in software then too), the
// scene graph's own software back end costs well under half the CPU. Settled once, before the
// first view exists: it cannot change afterwards.
void chooseWebDrawing()
{
    static const bool chosen = [] {
        if (chosenRenderPath() == RenderPath::Software)
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    Q_UNUSED(chosen);
}

// Links inside a page to non-web schemes go to the desktop handler, like Navigate does.
class SchemeAwarePage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (!isWebScheme(url.scheme()) && url.scheme() != u"data" && url.scheme() != u"blob") {
            HostServices::current().openExternal(url);
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
};

class WebEngineWebPage : public WebPage
{
public:
    explicit WebEngineWebPage(QWidget* parent) : m_view((chooseWebDrawing(), new QWebEngineView(parent)))
    {
        m_view->setPage(new SchemeAwarePage(sharedWebProfile(), m_view));
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
    }
    QWidget* widget() override { return m_view; }
    void load(const QUrl& url) override { m_view->load(url); }

private:
    QWebEngineView* m_view; // owned by the control's widget tree
};

} // namespace

QWebEngineProfile* sharedWebProfile()
{
    // No storage name: off the record. Parented to the application so it outlives every page.
    static QWebEngineProfile* profile = [] {
        auto* p = new QWebEngineProfile(QCoreApplication::instance());
        p->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        p->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        p->setSpellCheckEnabled(false);
        return p;
    }();
    return profile;
}

std::unique_ptr<WebPage> makeWebEnginePage(QWidget* parent) { return std::make_unique<WebEngineWebPage>(parent); }
