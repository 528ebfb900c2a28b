#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// Sets or clears environment variables for one test and puts the old
// values back afterwards.
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
        Save(name);
        qputenv(name, value);
    }

    void Unset(const char *name)
    {
        Save(name);
        qunsetenv(name);
    }

private:
    // A null value stands for a variable that was not set at all.
    void Save(const char *name)
    {
        saved.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    }

    QList<QPair<QByteArray, QByteArray>> saved;
};
