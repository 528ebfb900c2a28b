#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// Sets or clears environment variables and puts the old values back when it
// goes (a null saved value: the variable was not set).
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = saved.crbegin(); it != saved.crend(); ++it)
            it->second.isNull() ? qunsetenv(it->first.constData()) : qputenv(it->first.constData(), it->second);
    }

    void Set(const char *name, const QByteArray &value)
    {
        saved.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        qputenv(name, value);
    }
    void Unset(const char *name)
    {
        saved.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        qunsetenv(name);
    }

private:
    QList<QPair<QByteArray, QByteArray>> saved;
};
