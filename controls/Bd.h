#pragma once

#include "UserControl.h"

#include <QPixmap>

class BdImage;
class QLabel;
class QMouseEvent;

// A skin piece: a picture stretched over the whole control, a one-line caption centred on it,
// and every mouse action on either handed to the host as the control's own events.
//
// Three elements receive the mouse, and each raises its own set of events:
//
//   element                       DblClick  Click  MouseDown, MouseMove, MouseUp
//   picture (image())             yes       yes    yes
//   caption (label())             no        yes    yes
//   bare surface                  yes       no     yes
//
// The picture covers the whole control, so in practice every action arrives through the picture
// or the caption. X and Y are twips relative to the element that received the action (the
// picture's equal the control's; the caption's are from the caption's own corner). Button is the
// button pressed or released (MouseDown, MouseUp) or the buttons held (MouseMove); masks as in
// MouseMasks.h. Click follows MouseUp when press and release fall on the same element; the
// release after a DblClick raises MouseUp only.
//
// Host controls may be placed inside (placeChild, twips): they lie above the picture and the
// caption, move and hide with the control, are clipped to it, and keep their own events.
//
// Saved data: Picture, Caption, ToolTipText, Font, ForeColor, read and written in that order
// under case-insensitive keys, defaults not stored. A stored value of the wrong kind throws
// PropertyTypeError at that step; the steps before it stay applied.
class Bd : public UserControl
{
    Q_OBJECT
public:
    explicit Bd(QWidget* parent = nullptr);

    static constexpr quint32 DefaultForeColor = 0x80000012u; // system colour 18, button text
    static QColor backColor();                                // RGB(64, 64, 64), where no picture lies

    QString Caption() const;
    void setCaption(const QString& caption);

    // A write at run time puts the tooltip on the caption and on the picture; saved data puts it
    // on the caption only.
    QString ToolTipText() const;
    void setToolTipText(const QString& text);

    // The caption's font.
    QFont Font() const;
    void setFont(const QFont& font);

    // 0x00BBGGRR; with the high bit set, a system colour by index.
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);

    // The stored picture; writing it also makes the picture element show it.
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

    // Places a host control inside, in twips from the control's top-left corner; it stays
    // hidden if it was hidden on purpose.
    void placeChild(QWidget* child, float left, float top, float width, float height);

    BdImage* image() const { return m_image; }
    QLabel* label() const { return m_label; }

Q_SIGNALS:
    void DblClick();
    void Click();
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    enum class Element { None, Picture, Caption, Surface };

    void layoutElements();
    void fitLabel();
    void applyForeColor();
    bool fromHostChild(const QMouseEvent* event) const;
    void mouseAction(Element element, QWidget* receiver, QMouseEvent* event);

    BdImage* m_image = nullptr;
    QLabel* m_label = nullptr;
    QPixmap m_picture;
    quint32 m_foreColor = DefaultForeColor;
    Element m_pressed = Element::None; // where the press that may become a Click fell
};
