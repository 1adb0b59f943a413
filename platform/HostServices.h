#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// What the windows ask of the desktop beyond their own widgets. One real implementation talks to
// the desktop; tests install a recording double so no real box, browser or exit ever happens.
class HostServices
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };

    virtual ~HostServices();

    // Modal message box with one OK button; returns when the user closes it.
    virtual void messageBox(const QString& text, Icon icon, const QString& caption) = 0;
    // Hands a URL to the desktop (a web page to the browser, another scheme to its handler).
    // Returns false when nothing could take it.
    virtual bool openExternal(const QUrl& url) = 0;
    // Ends the program at once: no later step of the running handler may run.
    virtual void endProgram() = 0;
    virtual bool programEnding() const = 0;
    // The program cannot start (an engine's library is missing, there is no display): tell the
    // user, then end the program with a non-zero exit code.
    virtual void failStart(const QString& reason) = 0;
    // Whether another instance was already running when this process started.
    virtual bool previousInstanceRunning() const = 0;

    // The services installed by the process start (or a test); installing nullptr removes them.
    static HostServices& current();
    static void install(HostServices* services);
};

// Opens a web page in the desktop browser; tells the user instead of failing silently.
void openLink(const QString& url);
