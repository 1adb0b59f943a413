#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

// Saved data of a user control: values under keys that match without regard to case.
// A value equal to its default is not stored, so reading a missing key yields the default.
class PropertyBag
{
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = {});

    bool contains(const QString& name) const;
    qsizetype size() const { return m_values.size(); }
    // Keys as first written, for inspection in tests and tools.
    QStringList keys() const;

private:
    struct Entry
    {
        QString name;
        QVariant value;
    };
    QHash<QString, Entry> m_values; // keyed by the case-folded name
};
