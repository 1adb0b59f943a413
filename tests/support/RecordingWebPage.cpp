#include "RecordingWebPage.h"

#include "BrowserControl.h"

namespace {
RecordingPages* g_current = nullptr;
}

void RecordingWebPage::load(const QUrl& url)
{
    loads.push_back(url);
    if (g_current)
        g_current->allLoads.push_back(url);
}

RecordingPages::RecordingPages()
{
    g_current = this;
    BrowserControl::setPageFactory([](QWidget* parent) { return std::make_unique<RecordingWebPage>(parent); });
}

RecordingPages::~RecordingPages()
{
    BrowserControl::setPageFactory({});
    g_current = nullptr;
}
