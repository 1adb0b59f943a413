#pragma once

#include "WebPage.h"

#include <QList>
#include <QUrl>
#include <QWidget>

// A page that only records what it was asked to load. While a RecordingPages object lives,
// every browser control gets one of these instead of a web engine view.
class RecordingWebPage : public WebPage
{
public:
    explicit RecordingWebPage(QWidget* parent) : m_widget(new QWidget(parent)) {}
    QWidget* widget() override { return m_widget; }
    void load(const QUrl& url) override;

    QList<QUrl> loads;

private:
    QWidget* m_widget;
};

class RecordingPages
{
public:
    RecordingPages();
    ~RecordingPages();
    // Every URL loaded by any page made while this object lives, in order.
    QList<QUrl> allLoads;
};
