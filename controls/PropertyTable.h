#pragma once

#include "controls/PropertyStore.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <algorithm>
#include <functional>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

// How a property's value travels through the store. Signed numbers are
// limited to their type's range and the setter clamps the rest; colours and
// other unsigned numbers may arrive signed, as a 32-bit pattern.
template <class T>
T FromStored(const QVariant &v)
{
    if constexpr (std::is_same_v<T, bool>) {
        return v.toBool();
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
        return static_cast<T>(
            std::clamp<qint64>(v.toLongLong(), std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
    } else if constexpr (std::is_integral_v<T>) {
        return static_cast<T>(v.toLongLong());
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(v.toDouble());
    } else {
        return v.value<T>();
    }
}

// Numbers are stored as int, uint or their 64-bit forms, so that a store
// holds the same types whatever width the control keeps them in.
template <class T>
QVariant ToStored(const T &v)
{
    if constexpr (std::is_same_v<T, bool> || !std::is_integral_v<T>) {
        return QVariant::fromValue(v);
    } else if constexpr (std::is_signed_v<T>) {
        if constexpr (sizeof(T) <= sizeof(int))
            return QVariant(static_cast<int>(v));
        else
            return QVariant(static_cast<qlonglong>(v));
    } else {
        if constexpr (sizeof(T) <= sizeof(uint))
            return QVariant(static_cast<uint>(v));
        else
            return QVariant(static_cast<qulonglong>(v));
    }
}

namespace PropertyTableDetail {

template <class F>
struct Member;
template <class C, class R>
struct Member<R (C::*)() const> {
    using Control = C;
    using Value = std::decay_t<R>;
};
template <class C, class A>
struct Member<void (C::*)(A)> {
    using Control = C;
    using Value = std::decay_t<A>;
};
template <class C, class T>
struct Member<T C::*> {
    using Control = C;
    using Value = T;
};

// One address per setter, so that a setter names its row.
template <auto Set>
struct SetterId {
    static inline char Tag = 0;
};

} // namespace PropertyTableDetail

// The persisted properties of a control, each declared once: its key, its
// default, its getter and its setter. One table serves a fresh control, a
// load, a save and the change notification of the setters. Control is the
// class holding the values; Host is what the control's surroundings supply
// at that moment (a font, a display name, the container's colour) for the
// defaults that depend on them.
//
// Rows are read (and a fresh control set) in table order, each through its
// setter, so clamping that depends on other properties acts in that order;
// they are saved in the order of their save rank (table order when no row
// names one). A property equal to its save default is not written.
template <class Control, class Host>
class PropertyTable {
public:
    // A default: a fixed value, a value taken from the host, or none.
    class Default {
    public:
        Default() = default;
        explicit Default(QVariant fixed) : value(std::move(fixed)), given(true) {}
        explicit Default(std::function<QVariant(const Host &)> fromHost) : hostValue(std::move(fromHost)), given(true)
        {
        }

        bool Given() const { return given; }
        QVariant Of(const Host &host) const { return hostValue ? hostValue(host) : value; }

    private:
        QVariant value;
        std::function<QVariant(const Host &)> hostValue;
        bool given = false;
    };

    class Row {
    public:
        // The value a freshly placed control gets, when it is not the load default.
        Row &Fresh(QVariant v)
        {
            fresh = Default(std::move(v));
            return *this;
        }
        // The default that suppresses writing, when it is not the load default.
        Row &SaveDefault(QVariant v)
        {
            saveDefault = Default(std::move(v));
            return *this;
        }
        // Written on every save.
        Row &AlwaysSaved()
        {
            saveDefault = Default();
            return *this;
        }
        Row &SavedAt(int rank)
        {
            saveRank = rank;
            return *this;
        }

    private:
        friend class PropertyTable;

        QString key;
        QVariant (*get)(const Control &) = nullptr;
        void (*set)(Control &, const QVariant &) = nullptr;
        const void *id = nullptr;
        Default loadDefault;
        Default saveDefault;
        Default fresh;
        int saveRank = 0;
    };

    // A row for the property behind Get and Set, whose default is a fixed
    // value or a member of the host.
    template <auto Get, auto Set>
    static Row Property(const char *key, const typename PropertyTableDetail::Member<decltype(Get)>::Value &fixed)
    {
        using T = typename PropertyTableDetail::Member<decltype(Get)>::Value;
        return MakeRow<Get, Set>(key, Default(ToStored<T>(fixed)));
    }
    template <auto Get, auto Set, class U>
    static Row Property(const char *key, U Host::*member)
    {
        using T = typename PropertyTableDetail::Member<decltype(Get)>::Value;
        return MakeRow<Get, Set>(key, Default(std::function<QVariant(const Host &)>([member](const Host &host) {
            return ToStored<T>(T(host.*member));
        })));
    }

    // A row for a plain field of a settings record, whose default is a
    // fixed value or a member of the host.
    template <auto Field>
    static Row Property(const char *key, const typename PropertyTableDetail::Member<decltype(Field)>::Value &fixed)
    {
        using T = typename PropertyTableDetail::Member<decltype(Field)>::Value;
        return MakeFieldRow<Field>(key, Default(ToStored<T>(fixed)));
    }
    template <auto Field, class U>
    static Row Property(const char *key, U Host::*member)
    {
        using T = typename PropertyTableDetail::Member<decltype(Field)>::Value;
        return MakeFieldRow<Field>(key, Default(std::function<QVariant(const Host &)>([member](const Host &host) {
            return ToStored<T>(T(host.*member));
        })));
    }

    PropertyTable(std::initializer_list<Row> list) : rows(list)
    {
        saveOrder.resize(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            saveOrder[i] = i;
        std::stable_sort(saveOrder.begin(), saveOrder.end(),
            [this](size_t a, size_t b) { return rows[a].saveRank < rows[b].saveRank; });
    }

    void Init(Control &control, const Host &host) const
    {
        for (const Row &row : rows)
            row.set(control, (row.fresh.Given() ? row.fresh : row.loadDefault).Of(host));
    }

    void Read(Control &control, const PropertyStore &store, const Host &host) const
    {
        for (const Row &row : rows)
            row.set(control, store.Read(row.key, row.loadDefault.Of(host)));
    }

    void Write(const Control &control, PropertyStore &store, const Host &host) const
    {
        for (size_t i : saveOrder) {
            const Row &row = rows[i];
            if (row.saveDefault.Given())
                store.Write(row.key, row.get(control), row.saveDefault.Of(host));
            else
                store.Write(row.key, row.get(control));
        }
    }

    // Calls Set with v and names what changed: Set's own property first
    // (even when its value stayed), then any other property it moved, in
    // table order.
    template <auto Set, class T>
    QStringList Apply(Control &control, T &&v) const
    {
        const void *id = &PropertyTableDetail::SetterId<Set>::Tag;
        QVariantList before;
        for (const Row &row : rows)
            before.append(row.get(control));
        (control.*Set)(std::forward<T>(v));
        QStringList changed;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].id == id)
                changed.prepend(rows[i].key);
            else if (rows[i].get(control) != before[static_cast<qsizetype>(i)])
                changed.append(rows[i].key);
        }
        return changed;
    }

    QStringList Keys() const
    {
        QStringList keys;
        for (const Row &row : rows)
            keys.append(row.key);
        return keys;
    }

private:
    template <auto Get, auto Set>
    static Row MakeRow(const char *key, Default loadDefault)
    {
        using GetMember = PropertyTableDetail::Member<decltype(Get)>;
        using SetMember = PropertyTableDetail::Member<decltype(Set)>;
        static_assert(std::is_base_of_v<typename GetMember::Control, Control> &&
                std::is_base_of_v<typename SetMember::Control, Control>,
            "getter and setter belong to the control");
        Row row;
        row.key = QString::fromLatin1(key);
        row.get = [](const Control &c) { return ToStored<typename GetMember::Value>((c.*Get)()); };
        row.set = [](Control &c, const QVariant &v) { (c.*Set)(FromStored<typename SetMember::Value>(v)); };
        row.id = &PropertyTableDetail::SetterId<Set>::Tag;
        row.loadDefault = loadDefault;
        row.saveDefault = loadDefault;
        return row;
    }

    template <auto Field>
    static Row MakeFieldRow(const char *key, Default loadDefault)
    {
        using T = typename PropertyTableDetail::Member<decltype(Field)>::Value;
        Row row;
        row.key = QString::fromLatin1(key);
        row.get = [](const Control &c) { return ToStored<T>(c.*Field); };
        row.set = [](Control &c, const QVariant &v) { c.*Field = FromStored<T>(v); };
        row.id = &PropertyTableDetail::SetterId<Field>::Tag;
        row.loadDefault = loadDefault;
        row.saveDefault = loadDefault;
        return row;
    }

    std::vector<Row> rows;
    std::vector<size_t> saveOrder;
};
