#pragma once

#include "PropertyBag.h"

#include <QFont>
#include <QWidget>

// Base of the program's own controls: the saved-data life cycle, the host's ambient values, and
// the notification a host receives whenever a property is written.
class UserControl : public QWidget
{
    Q_OBJECT
public:
    struct AmbientProperties
    {
        bool DisplayAsDefault = false;
        QFont Font;
    };

    explicit UserControl(QWidget* parent = nullptr) : QWidget(parent) {}

    // A new instance without saved data.
    virtual void InitProperties() {}
    // Loading and saving the control's data; keys are property names, matched without regard to case.
    virtual void ReadProperties(const PropertyBag& bag) { Q_UNUSED(bag); }
    virtual void WriteProperties(PropertyBag& bag) const { Q_UNUSED(bag); }

    const AmbientProperties& Ambient() const { return m_ambient; }
    // The host changes an ambient value; the control hears of it through AmbientChanged.
    void setAmbientDisplayAsDefault(bool value)
    {
        m_ambient.DisplayAsDefault = value;
        AmbientChanged(QStringLiteral("DisplayAsDefault"));
    }
    void setAmbientFont(const QFont& font)
    {
        m_ambient.Font = font;
        AmbientChanged(QStringLiteral("Font"));
    }

Q_SIGNALS:
    void PropertyChanged(const QString& name);

protected:
    virtual void AmbientChanged(const QString& name) { Q_UNUSED(name); }

private:
    AmbientProperties m_ambient;
};
