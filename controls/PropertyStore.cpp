#include "controls/PropertyStore.h"

#include <QDataStream>
#include <QIODevice>

namespace {

// Marks the binary form so that foreign bytes are refused rather than
// misread.
constexpr quint32 StoreMagic = 0x54505331; // "TPS1"

} // namespace

int PropertyStore::IndexOf(const QString &key) const
{
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].first == key)
            return i;
    }
    return -1;
}

QVariant PropertyStore::Read(const QString &key, const QVariant &defaultValue) const
{
    const int i = IndexOf(key);
    return i < 0 ? defaultValue : entries[i].second;
}

void PropertyStore::Write(const QString &key, const QVariant &value, const QVariant &defaultValue)
{
    if (value == defaultValue) {
        const int i = IndexOf(key);
        if (i >= 0)
            entries.removeAt(i);
        return;
    }
    Write(key, value);
}

void PropertyStore::Write(const QString &key, const QVariant &value)
{
    const int i = IndexOf(key);
    if (i >= 0)
        entries[i].second = value;
    else
        entries.append({key, value});
}

bool PropertyStore::Contains(const QString &key) const
{
    return IndexOf(key) >= 0;
}

QStringList PropertyStore::Keys() const
{
    QStringList keys;
    for (const auto &entry : entries)
        keys.append(entry.first);
    return keys;
}

QVariantMap PropertyStore::ToVariantMap() const
{
    QVariantMap map;
    for (const auto &entry : entries)
        map.insert(entry.first, entry.second);
    return map;
}

PropertyStore PropertyStore::FromVariantMap(const QVariantMap &map)
{
    PropertyStore store;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        store.Write(it.key(), it.value());
    return store;
}

QByteArray PropertyStore::ToBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << StoreMagic << static_cast<qint32>(entries.size());
    for (const auto &entry : entries)
        out << entry.first << entry.second;
    return bytes;
}

PropertyStore PropertyStore::FromBytes(const QByteArray &bytes, bool *ok)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    qint32 count = 0;
    in >> magic >> count;
    PropertyStore store;
    bool good = in.status() == QDataStream::Ok && magic == StoreMagic && count >= 0;
    for (qint32 i = 0; good && i < count; ++i) {
        QString key;
        QVariant value;
        in >> key >> value;
        good = in.status() == QDataStream::Ok;
        if (good)
            store.Write(key, value);
    }
    if (!good)
        store.Clear();
    if (ok)
        *ok = good;
    return store;
}
