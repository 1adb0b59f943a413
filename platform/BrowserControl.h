#pragma once

#include "WebPage.h"

#include <QWidget>

// The embedded web browser: Navigate returns at once and the page loads by itself; a failed page
// shows the engine's own error page. Non-web schemes (tencent:// and the like) go to the desktop's
// handler for that scheme instead of a blank page.
class BrowserControl : public QWidget
{
    Q_OBJECT
public:
    // AfterFirstPaint: the web engine's page is made only after the control's first paint, since
    // starting the engine before the window is on screen delays the window itself. Navigate before
    // then is remembered and loaded when the page is made. Test doubles are made at once.
    enum class PageTiming { AtOnce, AfterFirstPaint };

    explicit BrowserControl(QWidget* parent = nullptr, PageTiming timing = PageTiming::AtOnce);
    ~BrowserControl() override;

    void Navigate(const QString& url);
    bool Visible() const { return !isHidden(); }
    void setVisibleFlag(bool visible) { setVisible(visible); }

    // The last URL handed to the page (not to an outside handler).
    QUrl lastNavigated() const { return m_lastNavigated; }

    // Tests install a double; an empty factory restores the web engine.
    static void setPageFactory(WebPageFactory factory);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void makePage();

    bool m_waitingForPaint = false;
    std::unique_ptr<WebPage> m_page;
    QUrl m_lastNavigated;
};
