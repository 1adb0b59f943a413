#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QWidget;

// The page surface behind a browser control. The real one is a web engine view; unit tests
// put a recording double here so that no browser process starts.
class WebPage
{
public:
    virtual ~WebPage();
    virtual QWidget* widget() = 0;
    virtual void load(const QUrl& url) = 0;
};

// Schemes a page shows itself; any other scheme belongs to a desktop handler.
bool isWebScheme(const QString& scheme);

using WebPageFactory = std::function<std::unique_ptr<WebPage>(QWidget* parent)>;
