#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// The keyed store in which a control keeps its design-time settings. Every
// read names the default to use when the key is absent, and a write whose
// value equals its default stores nothing, so a saved store holds only what
// differs from a fresh control. Entries keep the order in which they were
// first written. Fonts are kept as their QFont::toString() description so
// that this layer needs no QtGui.
class PropertyStore {
public:
    QVariant Read(const QString &key, const QVariant &defaultValue) const;

    // Stores value unless it equals defaultValue; an equal value also drops
    // an entry written earlier, so reading the key gives that value back.
    void Write(const QString &key, const QVariant &value, const QVariant &defaultValue);
    // Stores value whatever it is (for properties without a save default).
    void Write(const QString &key, const QVariant &value);

    bool Contains(const QString &key) const;
    QStringList Keys() const;
    int Count() const { return static_cast<int>(entries.size()); }
    void Clear() { entries.clear(); }

    // Key -> value; the order of writing is not kept.
    QVariantMap ToVariantMap() const;
    static PropertyStore FromVariantMap(const QVariantMap &map);

    // Binary form that keeps the order and the value types.
    QByteArray ToBytes() const;
    // An unreadable or truncated form gives an empty store and *ok false.
    static PropertyStore FromBytes(const QByteArray &bytes, bool *ok = nullptr);

    bool operator==(const PropertyStore &other) const { return entries == other.entries; }
    bool operator!=(const PropertyStore &other) const { return !(*this == other); }

private:
    int IndexOf(const QString &key) const;

    QList<QPair<QString, QVariant>> entries;
};
