#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <stdexcept>

// Saved data holds a value of the wrong kind for a property (text where a picture belongs). The
// load stops at that value; what it applied before stays applied.
class PropertyTypeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Saved data of a user control: values under keys that match without regard to case.
// A value equal to its default is not stored, so reading a missing key yields the default.
class PropertyBag
{
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = {});

    bool contains(const QString& name) const;
    qsizetype size() const { return m_values.size(); }
    // Keys as first written, in the order they were first written, for inspection in tests and tools.
    QStringList keys() const;

private:
    struct Entry
    {
        QString name;
        QVariant value;
    };
    QHash<QString, Entry> m_values; // keyed by the case-folded name
    QStringList m_order;            // case-folded names, oldest first
};
