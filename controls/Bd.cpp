#include "Bd.h"

#include "ColorValue.h"

#include "BdImage.h"
#include "MouseMasks.h"
#include "Placement.h"
#include "Units.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {

const QString kPicture = QStringLiteral("Picture");
const QString kCaption = QStringLiteral("Caption");
const QString kToolTipText = QStringLiteral("ToolTipText");
const QString kFont = QStringLiteral("Font");
const QString kForeColor = QStringLiteral("ForeColor");
const QString kDefaultCaption = QStringLiteral("Label1");

const QColor kLabelBack(224, 224, 224);


[[noreturn]] void wrongType(const QString& key, const QVariant& value, const char* expected)
{
    throw PropertyTypeError(QStringLiteral("Bd: saved \"%1\" holds a %2 where %3 belongs")
                                .arg(key, QString::fromLatin1(value.metaType().name()), QLatin1String(expected))
                                .toStdString());
}

QPixmap pictureFrom(const QString& key, const QVariant& value)
{
    if (!value.isValid())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QPixmap: return value.value<QPixmap>();
    case QMetaType::QImage: return QPixmap::fromImage(value.value<QImage>());
    default: wrongType(key, value, "a picture");
    }
}

QString textFrom(const QString& key, const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString();
    default: wrongType(key, value, "text");
    }
}

QFont fontFrom(const QString& key, const QVariant& value)
{
    if (value.metaType().id() != QMetaType::QFont)
        wrongType(key, value, "a font");
    return value.value<QFont>();
}

quint32 colourValueFrom(const QString& key, const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return quint32(value.toLongLong());
    case QMetaType::QString: {
        // A number written as text still names a colour; "0x" and "&H" prefixes included.
        QString text = value.toString().trimmed();
        if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
            text = QStringLiteral("0x") + text.mid(2);
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok, 0);
        if (ok)
            return quint32(number);
        break;
    }
    default: break;
    }
    wrongType(key, value, "a colour value");
}

float twips(qreal pixels) { return units::twipsFromPixels(float(pixels)); }

} // namespace

Bd::Bd(QWidget* parent) : UserControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    m_image = new BdImage(this);
    m_image->setObjectName(QStringLiteral("Im"));
    m_image->setMouseTracking(true);
    m_image->installEventFilter(this);

    m_label = new QLabel(kDefaultCaption, this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setMargin(0);
    m_label->setAutoFillBackground(true);
    m_label->setMouseTracking(true);
    m_label->installEventFilter(this);
    applyForeColor();
    fitLabel();
}

QColor Bd::backColor() { return QColor(64, 64, 64); }

QString Bd::Caption() const { return m_label->text(); }

void Bd::setCaption(const QString& caption)
{
    m_label->setText(caption);
    fitLabel();
    Q_EMIT PropertyChanged(kCaption);
}

QString Bd::ToolTipText() const { return m_label->toolTip(); }

void Bd::setToolTipText(const QString& text)
{
    m_label->setToolTip(text);
    m_image->setToolTip(text);
    Q_EMIT PropertyChanged(kToolTipText);
}

QFont Bd::Font() const { return m_label->font(); }

void Bd::setFont(const QFont& font)
{
    m_label->setFont(font);
    fitLabel();
    Q_EMIT PropertyChanged(kFont);
}

void Bd::setForeColor(quint32 color)
{
    m_foreColor = color;
    applyForeColor();
    Q_EMIT PropertyChanged(kForeColor);
}

void Bd::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_image->setPicture(picture);
    Q_EMIT PropertyChanged(kPicture);
}

void Bd::applyForeColor()
{
    QPalette p = m_label->palette();
    p.setColor(QPalette::Window, kLabelBack);
    p.setColor(QPalette::WindowText, colorvalue::toColor(m_foreColor, palette()));
    m_label->setPalette(p);
}

// The caption label sizes itself to its text, one line high, so an empty caption leaves the
// picture uncovered; it is centred again whenever its size changes.
void Bd::fitLabel()
{
    const QString text = m_label->text();
    const QFontMetrics metrics(m_label->font());
    m_label->resize(text.isEmpty() ? 0 : metrics.horizontalAdvance(text), metrics.height());
    layoutElements();
}

void Bd::layoutElements()
{
    using placement::Unit;
    // In twips, single precision, unrounded; the platform rounds each value as it applies it.
    const float width = twips(this->width());
    const float height = twips(this->height());
    placement::setTop(m_image, 0, Unit::Twips);
    placement::setLeft(m_image, 0, Unit::Twips);
    placement::setWidth(m_image, width, Unit::Twips);
    placement::setHeight(m_image, height, Unit::Twips);
    placement::setLeft(m_label, width / 2 - placement::width(m_label, Unit::Twips) / 2, Unit::Twips);
    placement::setTop(m_label, height / 2 - placement::height(m_label, Unit::Twips) / 2, Unit::Twips);
}

void Bd::resizeEvent(QResizeEvent* event)
{
    UserControl::resizeEvent(event);
    layoutElements();
}

void Bd::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(event->rect(), backColor());
}

void Bd::changeEvent(QEvent* event)
{
    UserControl::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && (m_foreColor & 0x80000000u))
        applyForeColor(); // a system colour follows the desktop
}

void Bd::placeChild(QWidget* child, float left, float top, float width, float height)
{
    const bool hiddenOnPurpose = child->testAttribute(Qt::WA_WState_ExplicitShowHide) && child->isHidden();
    child->setParent(this);
    placement::setRect(child, left, top, width, height, placement::Unit::Twips);
    child->raise();
    if (!hiddenOnPurpose)
        child->show();
}

void Bd::InitProperties()
{
    setPicture(QPixmap());
}

void Bd::ReadProperties(const PropertyBag& bag)
{
    setPicture(pictureFrom(kPicture, bag.ReadProperty(kPicture, m_image->picture())));
    m_label->setText(textFrom(kCaption, bag.ReadProperty(kCaption, kDefaultCaption)));
    fitLabel();
    m_label->setToolTip(textFrom(kToolTipText, bag.ReadProperty(kToolTipText, QString())));
    m_label->setFont(fontFrom(kFont, bag.ReadProperty(kFont, Ambient().Font)));
    fitLabel();
    m_foreColor = colourValueFrom(kForeColor, bag.ReadProperty(kForeColor, DefaultForeColor));
    applyForeColor();
    // Read a second time into the stored picture alone: without a saved picture the element keeps
    // showing what it showed, while the property reads empty.
    m_picture = pictureFrom(kPicture, bag.ReadProperty(kPicture));
}

void Bd::WriteProperties(PropertyBag& bag) const
{
    // A picture is stored only when there is one: no picture is the default.
    if (!m_picture.isNull())
        bag.WriteProperty(kPicture, m_picture);
    bag.WriteProperty(kCaption, m_label->text(), kDefaultCaption);
    bag.WriteProperty(kToolTipText, m_label->toolTip(), QString());
    bag.WriteProperty(kFont, m_label->font(), Ambient().Font);
    bag.WriteProperty(kForeColor, m_foreColor, DefaultForeColor);
    if (!m_picture.isNull())
        bag.WriteProperty(kPicture, m_picture);
}

bool Bd::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (watched == m_image) {
            mouseAction(Element::Picture, m_image, static_cast<QMouseEvent*>(event));
            return true;
        }
        if (watched == m_label) {
            mouseAction(Element::Caption, m_label, static_cast<QMouseEvent*>(event));
            return true;
        }
        break;
    default:
        break;
    }
    return UserControl::eventFilter(watched, event);
}

// An action on a host control inside arrives here when that control leaves it unhandled; it is
// the host control's, not the surface's.
bool Bd::fromHostChild(const QMouseEvent* event) const
{
    const QWidget* child = childAt(event->position().toPoint());
    return child && child != m_image && child != m_label;
}

void Bd::mousePressEvent(QMouseEvent* event)
{
    if (fromHostChild(event)) {
        event->ignore();
        return;
    }
    mouseAction(Element::Surface, this, event);
}

void Bd::mouseReleaseEvent(QMouseEvent* event)
{
    if (fromHostChild(event)) {
        event->ignore();
        return;
    }
    mouseAction(Element::Surface, this, event);
}

void Bd::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (fromHostChild(event)) {
        event->ignore();
        return;
    }
    mouseAction(Element::Surface, this, event);
}

void Bd::mouseMoveEvent(QMouseEvent* event)
{
    if (fromHostChild(event)) {
        event->ignore();
        return;
    }
    mouseAction(Element::Surface, this, event);
}

void Bd::mouseAction(Element element, QWidget* receiver, QMouseEvent* event)
{
    event->accept();
    const auto shift = qint16(mousemasks::shiftMask(event->modifiers()));
    const float x = twips(event->position().x());
    const float y = twips(event->position().y());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressed = element;
        Q_EMIT MouseDown(qint16(mousemasks::buttonMask(event->button())), shift, x, y);
        break;
    case QEvent::MouseButtonDblClick:
        // The second press of a double click: no MouseDown of its own, and the release after it
        // is no Click.
        m_pressed = Element::None;
        if (element != Element::Caption)
            Q_EMIT DblClick();
        break;
    case QEvent::MouseButtonRelease: {
        const bool click = m_pressed == element && element != Element::Surface
                           && receiver->rect().contains(event->position().toPoint());
        m_pressed = Element::None;
        // A host may close its window from MouseUp.
        const QPointer<Bd> self(this);
        Q_EMIT MouseUp(qint16(mousemasks::buttonMask(event->button())), shift, x, y);
        if (click && self)
            Q_EMIT Click();
        break;
    }
    case QEvent::MouseMove:
        Q_EMIT MouseMove(qint16(mousemasks::buttonMask(event->buttons())), shift, x, y);
        break;
    default:
        break;
    }
}
