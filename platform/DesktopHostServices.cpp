#include "DesktopHostServices.h"

#include "PreviousInstance.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>

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
    QCoreApplication::exit(0);
}

bool DesktopHostServices::previousInstanceRunning() const { return PreviousInstance::wasRunningAtStart(); }
