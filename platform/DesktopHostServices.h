#pragma once

#include "HostServices.h"

class DesktopHostServices : public HostServices
{
public:
    void messageBox(const QString& text, Icon icon, const QString& caption) override;
    bool openExternal(const QUrl& url) override;
    void endProgram() override;
    bool programEnding() const override { return m_ending; }
    void failStart(const QString& reason) override;
    bool previousInstanceRunning() const override;

    int exitCode() const { return m_exitCode; }

private:
    bool m_ending = false;
    int m_exitCode = 0;
};
