#include "ccXPButton.h"

#include "ColorValue.h"

#include "MouseMasks.h"
#include "Units.h"
#include "XPButtonPainter.h"
#include "ccXPButtonColors.h"
#include "ccXPButtonHook.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>

#include <cmath>

namespace {

const QString kCaption = QStringLiteral("Caption");
const QString kEnabled = QStringLiteral("Enabled");
const QString kFont = QStringLiteral("Font");
const QString kForeColor = QStringLiteral("ForeColor");
const QString kFocusRect = QStringLiteral("FocusRect");
const QString kDefaultCaption = QStringLiteral("&OK");

constexpr float kMinimumTwips = 100.0f;

float twips(qreal pixels) { return units::twipsFromPixels(float(pixels)); }

} // namespace

ccXPButton::ccXPButton(QWidget* parent) : UserControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hook = new ccXPButtonHook(this);
    m_accessShortcut = new QShortcut(this);
    m_accessShortcut->setContext(Qt::WindowShortcut);
    m_accessShortcut->setEnabled(false);
    connect(m_accessShortcut, &QShortcut::activated, this, &ccXPButton::accessKeyPressed);
    // Two controls sharing a key: the key moves the focus between them instead of clicking.
    connect(m_accessShortcut, &QShortcut::activatedAmbiguously, this, [this] { setFocus(Qt::ShortcutFocusReason); });
}

ccXPButton::~ccXPButton()
{
    m_hook->stopAll();
}

qint32 ccXPButton::hWnd() const
{
    return qint32(winId());
}

int ccXPButton::minimumSide()
{
    return units::roundCoordinate(units::pixelsFromTwips(kMinimumTwips));
}

QSize ccXPButton::sizeHint() const
{
    return QSize(75, 23);
}

QSize ccXPButton::minimumSizeHint() const
{
    return QSize(minimumSide(), minimumSide());
}

QChar ccXPButton::accessKeyFrom(const QString& caption)
{
    qsizetype pos = 0;
    while (pos + 2 <= caption.size()) {
        const qsizetype amp = caption.indexOf(QLatin1Char('&'), pos);
        if (amp < 0 || amp == caption.size() - 1)
            return {};
        const QChar next = caption.at(amp + 1).toLower();
        if (next != QLatin1Char('&'))
            return next;
        pos = amp + 2;
    }
    return {};
}

void ccXPButton::setCaption(const QString& caption)
{
    m_caption = caption;
    m_accessKey = accessKeyFrom(caption);
    registerAccessKey();
    Redraw(m_state);
    Q_EMIT PropertyChanged(kCaption);
}

void ccXPButton::registerAccessKey()
{
    if (m_accessKey.isNull()) {
        m_accessShortcut->setKey(QKeySequence());
        m_accessShortcut->setEnabled(false);
        return;
    }
    // Qt names a character key by its upper-case code point.
    const auto key = Qt::Key(m_accessKey.toUpper().unicode());
    m_accessShortcut->setKey(QKeySequence(QKeyCombination(Qt::AltModifier, key)));
    m_accessShortcut->setEnabled(true);
}

void ccXPButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    UserControl::setEnabled(enabled);
    m_redrawLock = false;
    if (m_over && enabled)
        Redraw(Hot);
    else if (m_default && enabled)
        Redraw(Focused);
    else
        drawUnless(enabled ? Normal : Disabled);
    Q_EMIT PropertyChanged(kEnabled);
}

void ccXPButton::setFont(const QFont& font)
{
    m_fontChangeSeen = false;
    UserControl::setFont(font);
    if (!m_fontChangeSeen) // an equal font sends no change event; the write still counts
        fontChanged();
}

void ccXPButton::fontChanged()
{
    Redraw(m_state);
    Q_EMIT PropertyChanged(kFont);
}

void ccXPButton::setForeColor(quint32 color)
{
    m_foreColor = color;
    Redraw(m_state);
    Q_EMIT PropertyChanged(kForeColor);
}

void ccXPButton::setFocusRect(bool value)
{
    m_focusRect = value;
    if (m_focus)
        Redraw(m_state);
    Q_EMIT PropertyChanged(kFocusRect);
}

QColor ccXPButton::foreQColor() const
{
    return colorvalue::toColor(m_foreColor, palette());
}

void ccXPButton::SnapMouseTo()
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const int x = int(std::nearbyint(origin.x() + width() / 2.0));
    const int y = int(std::nearbyint(origin.y() + height() / 2.0));
    QCursor::setPos(screen(), x, y);
}

void ccXPButton::Redraw(State state)
{
    if (m_redrawLock)
        return;
    m_state = state;
    if (size().isEmpty()) {
        m_image = QImage();
        return;
    }
    const qreal dpr = devicePixelRatioF();
    if (m_image.size() != size() * dpr || m_image.devicePixelRatio() != dpr) {
        m_image = QImage(size() * dpr, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(dpr);
    }
    xpbutton::paintBody(m_image, state, palette().color(backgroundRole()));
    const QRegion region = xpbutton::windowRegion(size());
    if (mask() != region)
        setMask(region);

    // Drawing the caption may reach back into the control (a font being resolved); nothing may
    // start a second drawing meanwhile.
    m_redrawLock = true;
    const QColor text = m_enabled ? foreQColor() : xpbutton::colorFromBgr(xpbutton::DisabledText);
    xpbutton::paintCaption(m_image, m_caption, font(), text);
    if (m_focus && m_focusRect && (state == Focused || state == Hot || state == Pressed))
        xpbutton::paintFocusRect(m_image);
    m_redrawLock = false;
    update();
}

void ccXPButton::drawUnless(State state)
{
    if (m_state != state)
        Redraw(state);
}

void ccXPButton::paintEvent(QPaintEvent*)
{
    if (!m_image.isNull() && m_image.devicePixelRatio() != devicePixelRatioF())
        Redraw(m_state); // moved to a screen of another density
    QPainter p(this);
    if (m_image.isNull())
        p.fillRect(rect(), palette().color(backgroundRole()));
    else
        p.drawImage(0, 0, m_image);
}

void ccXPButton::resizeEvent(QResizeEvent* event)
{
    UserControl::resizeEvent(event);
    if (m_inResize)
        return;
    const bool wasLocked = m_redrawLock;
    QSize target = size();
    if (twips(height()) < kMinimumTwips) {
        m_redrawLock = true;
        target.setHeight(minimumSide());
    }
    if (twips(width()) < kMinimumTwips) {
        m_redrawLock = true;
        target.setWidth(minimumSide());
    }
    if (target != size()) {
        m_inResize = true;
        resize(target);
        m_inResize = false;
        // An enlarged control draws itself once at its new size rather than staying blank
        // until its next property write.
        m_redrawLock = wasLocked;
    }
    if (!m_redrawLock)
        Redraw(m_state);
}

void ccXPButton::changeEvent(QEvent* event)
{
    UserControl::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_fontChangeSeen = true;
        fontChanged();
    }
}

void ccXPButton::mouseMoveEvent(QMouseEvent* event)
{
    const float x = twips(event->position().x());
    const float y = twips(event->position().y());
    m_over = x >= 0 && x <= twips(width()) && y >= 0 && y <= twips(height());
    if (m_over)
        m_hook->trackMouseLeave(this);
    if (!m_active || m_spaceHeld)
        return;
    if (m_over)
        drawUnless(m_armed ? Pressed : Hot);
    else
        drawUnless(m_focus ? Focused : Normal);
    Q_EMIT MouseMove(qint16(mousemasks::buttonMask(event->buttons())), qint16(mousemasks::shiftMask(event->modifiers())), x, y);
}

void ccXPButton::mousePressEvent(QMouseEvent* event)
{
    m_lastButton = qint16(mousemasks::buttonMask(event->button()));
    if (event->button() != Qt::LeftButton)
        return;
    m_focus = true;
    m_armed = true;
    m_mouseHeld = true;
    drawUnless(Pressed);
}

void ccXPButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_active) {
        if (m_over)
            drawUnless(Hot);
        else if (m_focus)
            Redraw(Focused);
        if (m_over && m_focus && m_armed) {
            m_armed = false;
            m_mouseHeld = false;
            Q_EMIT Click();
        }
    }
    m_armed = false;
    m_mouseHeld = false;
}

void ccXPButton::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click is not a press of its own: no new arming, so the
    // release after it raises no second Click.
    if (m_lastButton != 1)
        return;
    Redraw(Pressed);
    Q_EMIT DblClick();
}

void ccXPButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT Click();
        break;
    case Qt::Key_Space:
        if (!m_mouseHeld) {
            m_spaceHeld = true;
            m_armed = true;
            drawUnless(Pressed);
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusNextPrevChild(false);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextPrevChild(true);
        break;
    default:
        UserControl::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ccXPButton::keyReleaseEvent(QKeyEvent* event)
{
    // X11 repeats a held key as release/press pairs; only the real release ends the press.
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        UserControl::keyReleaseEvent(event);
        return;
    }
    event->accept();
    // Space is up whatever the mouse does; a press the mouse still holds stays armed.
    m_spaceHeld = false;
    if (m_mouseHeld)
        return;
    if (!m_over)
        Redraw(Focused);
    else
        drawUnless(Hot);
    const bool armed = m_armed;
    m_armed = false;
    if (armed)
        Q_EMIT Click();
}

void ccXPButton::accessKeyPressed()
{
    if (!m_enabled)
        return;
    if (m_spaceHeld) {
        m_spaceHeld = false;
        m_armed = false;
        if (!m_over)
            Redraw(Focused);
        else
            drawUnless(Hot);
        return;
    }
    setFocus(Qt::ShortcutFocusReason);
    // Let the focus change show before the handlers run; the window may close on Click.
    QPointer<ccXPButton> self(this);
    QCoreApplication::processEvents();
    if (self)
        Q_EMIT Click();
}

void ccXPButton::focusInEvent(QFocusEvent* event)
{
    UserControl::focusInEvent(event);
    m_focus = true;
    if (m_over) {
        if (m_state != Hot && m_state != Pressed)
            Redraw(Hot);
    } else if (!m_armed) {
        Redraw(Focused);
    }
}

void ccXPButton::focusOutEvent(QFocusEvent* event)
{
    UserControl::focusOutEvent(event);
    m_focus = false;
    m_armed = false;
    m_spaceHeld = false;
    if (!m_enabled)
        return;
    if (!m_active)
        drawUnless(Normal);
    else if (m_over)
        drawUnless(Hot);
    else if (m_default)
        Redraw(Focused);
    else
        drawUnless(Normal);
}

void ccXPButton::AmbientChanged(const QString& name)
{
    m_default = Ambient().DisplayAsDefault;
    if (m_enabled && !m_over && name == QLatin1String("DisplayAsDefault")) {
        if (m_default)
            Redraw(Focused);
        else
            drawUnless(Normal);
    }
}

void ccXPButton::zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, qint32& lng_hWnd, qint32& uMsg,
                                qint32& wParam, qint32& lParam)
{
    Q_UNUSED(bBefore);
    Q_UNUSED(bHandled);
    Q_UNUSED(lReturn);
    Q_UNUSED(lng_hWnd);
    Q_UNUSED(lParam);
    switch (uMsg) {
    case xpbutton::msg::MouseLeave:
        mouseLeft();
        break;
    case xpbutton::msg::Activate:
    case xpbutton::msg::NcActivate:
        if (wParam != 0)
            hostActivated();
        else
            hostDeactivated();
        break;
    default:
        break;
    }
}

void ccXPButton::mouseLeft()
{
    m_over = false;
    if (m_spaceHeld || m_state == Disabled)
        return;
    if (m_focus || m_default) {
        if (m_state == Pressed)
            Redraw(m_armed ? Focused : Normal);
        else if (m_state != Focused && m_active)
            Redraw(Focused);
    } else {
        drawUnless(Normal);
    }
}

void ccXPButton::hostActivated()
{
    m_active = true;
    if (m_enabled) {
        if (!m_over) {
            if (m_focus || m_default)
                Redraw(Focused);
        } else {
            drawUnless(Hot);
        }
    }
    Q_EMIT FormActivate(1);
}

void ccXPButton::hostDeactivated()
{
    m_active = false;
    m_armed = false;
    m_mouseHeld = false;
    m_spaceHeld = false;
    if (m_enabled)
        drawUnless(Normal);
    Q_EMIT FormActivate(0);
}

QWidget* ccXPButton::hostWindow() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(w) || w->isWindow())
            return w;
    }
    return const_cast<ccXPButton*>(this);
}

void ccXPButton::startHooks()
{
    if (m_hooked)
        return;
    m_hooked = true;
    m_hook->start(this);
    m_hook->addMessage(this, xpbutton::msg::MouseLeave);
    QWidget* host = hostWindow();
    m_hook->start(host);
    const bool subWindow = qobject_cast<QMdiSubWindow*>(host) != nullptr;
    m_hook->addMessage(host, subWindow ? xpbutton::msg::NcActivate : xpbutton::msg::Activate);
    // A control created inside a window that is already active would otherwise wait for the
    // next activation before it answered the mouse.
    if (subWindow ? bool(host->windowState() & Qt::WindowActive) : host->isActiveWindow())
        m_active = true;
}

void ccXPButton::InitProperties()
{
    QString captions = QStringLiteral("|");
    for (const ccXPButton* other : hostWindow()->findChildren<ccXPButton*>()) {
        if (other != this)
            captions += other->Caption() + QLatin1Char('|');
    }
    QString caption;
    if (!captions.contains(QStringLiteral("|&OK|")))
        caption = QStringLiteral("&OK");
    else if (!captions.contains(QStringLiteral("|&Cancel|")))
        caption = QStringLiteral("&Cancel");
    else if (!captions.contains(QStringLiteral("|&Apply|")))
        caption = QStringLiteral("&Apply");
    else
        caption = objectName().isEmpty() ? QStringLiteral("ccXPButton") : objectName();
    setCaption(caption);
    setForeColor(0);
    setEnabled(true);
    setFocusRect(true);
    startHooks();
}

void ccXPButton::ReadProperties(const PropertyBag& bag)
{
    setCaption(bag.ReadProperty(kCaption, kDefaultCaption).toString());
    setForeColor(bag.ReadProperty(kForeColor, 0u).toUInt());
    const QVariant savedFont = bag.ReadProperty(kFont);
    setFont(savedFont.isValid() ? savedFont.value<QFont>() : font());
    setFocusRect(bag.ReadProperty(kFocusRect, true).toBool());
    setEnabled(bag.ReadProperty(kEnabled, true).toBool());
    startHooks();
    m_redrawLock = false;
    Redraw(m_state);
}

void ccXPButton::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(kCaption, m_caption, kDefaultCaption);
    bag.WriteProperty(kEnabled, m_enabled, true);
    bag.WriteProperty(kForeColor, m_foreColor, 0u);
    bag.WriteProperty(kFont, font()); // no default: the font is always stored
    bag.WriteProperty(kFocusRect, m_focusRect, true);
}
