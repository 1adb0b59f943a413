#pragma once

#include "Form.h"
#include "MenuBuilder.h"
#include "NotifyArea.h"

class BrowserControl;
class LinkLabel;
class MediaPlayer;
class MprisPlayer;

// The radio: a station menu over an embedded player, an ad panel, a link back to the main window,
// and a notification-area mode in which the window hides while the radio keeps playing.
class Form5 : public Form
{
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);
    ~Form5() override;

    void Form_Load() override;

    static constexpr int ClientWidth = 301;
    static constexpr int ClientHeight = 333;
    static QString adPageUrl();
    // The radio's own icon, drawn once; it is also the notification-area icon.
    static QIcon radioIcon();

    // Controls, named as the window's design names them; stacking order from the top.
    BrowserControl* WebBrowser1 = nullptr;
    LinkLabel* Label1 = nullptr;
    MediaPlayer* WindowsMediaPlayer1 = nullptr;

    const menus::Menus& builtMenus() const { return m_menus; }
    const NotifyIconData& trayRecord() const { return m_nid; }
    bool iconInTray() const { return m_iconInTray; }
    // The player as the desktop's media keys see it, while the window is loaded.
    MprisPlayer* mediaKeys() const { return m_mpris; }

    void Station_Click(const QString& key);
    void zxh_Click();
    // Mouse moves over the window surface; the notification area's callbacks arrive this way.
    void Form_MouseMove(int Button, int Shift, float X, float Y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createMenus();
    QList<menus::ActionRow> actionRows();

    menus::Menus m_menus;
    NotifyIconData m_nid;
    bool m_iconInTray = false;
    MprisPlayer* m_mpris = nullptr;
};
