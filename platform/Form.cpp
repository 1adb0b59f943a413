#include "Form.h"

#include "WindowRegistry.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {}

Form::~Form() { WindowRegistry::instance().forget(this); }

void Form::unloadMe() { WindowRegistry::instance().unload(this); }

void Form::closeEvent(QCloseEvent* event)
{
    // A close through the window manager unloads, as the window's own close control does.
    event->ignore();
    unloadMe();
}

QMenuBar* Form::addMenuBar()
{
    if (m_menuBar)
        return m_menuBar;
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false); // inside the window, as on every desktop it runs on
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);
    return m_menuBar;
}

void Form::setClientSize(const QSize& size)
{
    const int bar = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    const QSize outer(size.width(), size.height() + bar);
    if (m_fixed)
        setFixedSize(outer);
    else
        resize(outer);
    if (m_client)
        m_client->resize(size);
}

void Form::setFixedBorder(bool minimizeButton, bool maximizeButton)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowCloseButtonHint;
    if (minimizeButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton)
        flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    m_fixed = true;
    setFixedSize(size());
}
