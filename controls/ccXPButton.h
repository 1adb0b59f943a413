#pragma once

#include "UserControl.h"

#include <QImage>

class QShortcut;
class ccXPButtonHook;

// A push button that draws itself pixel by pixel in five looks (disabled, normal, focused or
// default, hot, pressed) and follows the mouse, the keyboard, the focus and the activation of the
// window that hosts it. The look is kept in a persistent image that painting only copies.
class ccXPButton : public UserControl
{
    Q_OBJECT
public:
    enum State : qint32 { Disabled = 0, Normal = 1, Focused = 2, Hot = 3, Pressed = 4 };
    Q_ENUM(State)

    explicit ccXPButton(QWidget* parent = nullptr);
    ~ccXPButton() override;

    // The control's own window id. Asking for it gives the control a native window.
    qint32 hWnd() const;

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    QFont Font() const { return font(); }
    void setFont(const QFont& font);

    // 0x00BBGGRR; with the high bit set, a system colour by index (0x80000012: button text).
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);

    bool FocusRect() const { return m_focusRect; }
    void setFocusRect(bool value);

    // Puts the mouse pointer on the centre of the control.
    void SnapMouseTo();

    // The one place the watched windows' notifications arrive (mouse leave, host activation),
    // always after the window has seen them. Never sets bHandled or lReturn.
    void zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, qint32& lng_hWnd, qint32& uMsg,
                        qint32& wParam, qint32& lParam);

    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

    State state() const { return m_state; }
    QChar accessKey() const { return m_accessKey; }
    const QImage& image() const { return m_image; }

    // The key a caption gives Alt: the character after the first single "&", lower-cased;
    // null when there is none.
    static QChar accessKeyFrom(const QString& caption);
    // The smallest side: 100 twips, rounded to whole pixels.
    static int minimumSide();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void Click();
    void DblClick();
    // Coordinates in twips, the control's own unit.
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    // 1 when the host window became active, 0 when it became inactive.
    void FormActivate(qint32 state);

protected:
    void AmbientChanged(const QString& name) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Redraw(State state);
    void drawUnless(State state);
    void fontChanged();
    QColor foreQColor() const;
    QWidget* hostWindow() const;
    void startHooks();
    void registerAccessKey();
    void accessKeyPressed();
    void mouseLeft();
    void hostActivated();
    void hostDeactivated();

    QString m_caption;
    quint32 m_foreColor = 0;
    bool m_enabled = true;
    bool m_focusRect = true;
    QChar m_accessKey;

    State m_state = Disabled; // the first Enabled write then always draws
    bool m_over = false;
    bool m_focus = false;
    bool m_default = false;
    bool m_armed = false;
    bool m_mouseHeld = false;
    bool m_spaceHeld = false;
    bool m_active = false;
    qint16 m_lastButton = 0;
    bool m_redrawLock = true; // nothing is drawn until the saved data (or the defaults) are in
    bool m_inResize = false;
    bool m_fontChangeSeen = false;

    QImage m_image;
    QShortcut* m_accessShortcut = nullptr;
    ccXPButtonHook* m_hook = nullptr;
    bool m_hooked = false;
};
