#include "platform/desktop/DesktopNotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace {

// The server picks its own display time.
constexpr int ServerChosenTimeout = -1;

} // namespace

void NotifyDesktop(const QString &title, const QString &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    const QString entry = QCoreApplication::applicationName();
    const QVariantMap hints{{QStringLiteral("desktop-entry"), entry}};
    notify << title << 0u << entry << title << text << QStringList() << hints << ServerChosenTimeout;
    // Sent without waiting: the answer, or the bus's error when no service
    // is there, is dropped.
    bus.send(notify);
}
