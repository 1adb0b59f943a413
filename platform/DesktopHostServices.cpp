#include "DesktopHostServices.h"

#include "PreviousInstance.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

void DesktopHostServices::messageBox(const QString& text, Icon icon, const QString& caption)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None: qtIcon = QMessageBox::NoIcon; break;
    case Icon::Information: qtIcon = QMessageBox::Information; break;
    case Icon::Warning: qtIcon = QMessageBox::Warning; break;
    case Icon::Critical: qtIcon = QMessageBox::Critical; break;
    case Icon::Question: qtIcon = QMessageBox::Question; break;
    }
    QMessageBox box(qtIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

bool DesktopHostServices::openExternal(const QUrl& url) { return QDesktopServices::openUrl(url); }

void DesktopHostServices::endProgram()
{
    m_ending = true;
    QCoreApplication::exit(m_exitCode);
}

void DesktopHostServices::failStart(const QString& reason)
{
    const QString text = QStringLiteral("Lumivo网络电视无法启动：%1").arg(reason);
    std::fprintf(stderr, "lumivo: %s\n", qUtf8Printable(text));
    // Without a screen nobody could close a box: the line on stderr is all there is.
    const QString platform = QGuiApplication::platformName();
    if (platform != u"offscreen" && platform != u"minimal")
        messageBox(text, Icon::Critical, QStringLiteral("Lumivo网络电视"));
    m_exitCode = 1;
    endProgram();
}

bool DesktopHostServices::previousInstanceRunning() const { return PreviousInstance::wasRunningAtStart(); }
