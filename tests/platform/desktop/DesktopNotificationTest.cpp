#include "platform/desktop/DesktopNotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QVariantMap>
#include <gtest/gtest.h>

// Run on a private session bus (dbus-run-session), where the tests put a
// notification service of their own; the NoBus suite runs with no bus at all.

namespace {

// Stands in for the desktop's notification service: records each call.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString Application, Icon, Summary, Body;
        uint Replaces;
        QVariantMap Hints;
        int Timeout;
    };
    QList<Call> Calls;

public Q_SLOTS:
    uint Notify(const QString &application, uint replaces, const QString &icon, const QString &summary,
        const QString &body, const QStringList &, const QVariantMap &hints, int timeout)
    {
        Calls << Call{application, icon, summary, body, replaces, hints, timeout};
        return uint(Calls.size());
    }
};

// The warnings and errors Qt reports while the object lives.
class ReportedProblems {
public:
    ReportedProblems()
    {
        problems.clear();
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                problems << text;
        });
    }
    ~ReportedProblems() { qInstallMessageHandler(previous); }
    QStringList Reported() const { return problems; }

private:
    static inline QStringList problems;
    QtMessageHandler previous = nullptr;
};

// Lets the answers already on their way arrive: the bus answers in order, so
// after a round trip every earlier answer has come.
void LetAnswersArrive()
{
    QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
    QCoreApplication::processEvents();
}

const QString ServiceName = QStringLiteral("org.freedesktop.Notifications");

} // namespace

TEST(DesktopNotification, ReachesTheNotificationServiceWithTheTitleTheTextAndTheProgramsEntry)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    FakeNotifications service;
    {
        QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
        ASSERT_TRUE(desktop.registerService(ServiceName));
        ASSERT_TRUE(desktop.registerObject(
            QStringLiteral("/org/freedesktop/Notifications"), &service, QDBusConnection::ExportAllSlots));
    }
    ReportedProblems problems;

    NotifyDesktop(QStringLiteral("Tavrin™"), QStringLiteral("Completed 3 Files (12 KB) in 1 Secs."));
    // The service runs on this thread: the call has not been answered yet.
    EXPECT_TRUE(service.Calls.isEmpty());
    const QDeadlineTimer limit(10000);
    while (service.Calls.isEmpty() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));

    ASSERT_EQ(service.Calls.size(), 1);
    const FakeNotifications::Call &call = service.Calls[0];
    EXPECT_EQ(call.Application, "Tavrin™");
    EXPECT_EQ(call.Summary, "Tavrin™");
    EXPECT_EQ(call.Body, "Completed 3 Files (12 KB) in 1 Secs.");
    EXPECT_EQ(call.Icon, "tavrin");
    EXPECT_EQ(call.Hints.value("desktop-entry").toString(), "tavrin");
    EXPECT_EQ(call.Replaces, 0u);
    EXPECT_EQ(call.Timeout, -1);
    EXPECT_EQ(problems.Reported(), QStringList());
}

TEST(DesktopNotification, WithoutAServiceNothingIsReported)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(ServiceName));
    ReportedProblems problems;
    NotifyDesktop(QStringLiteral("Tavrin™"), QStringLiteral("Completed 0 Files (0 KB) in 0 Secs."));
    LetAnswersArrive();
    EXPECT_EQ(problems.Reported(), QStringList());
}

TEST(DesktopNotificationNoBus, NothingIsReported)
{
    ASSERT_FALSE(QDBusConnection::sessionBus().isConnected());
    ReportedProblems problems;
    NotifyDesktop(QStringLiteral("Tavrin™"), QStringLiteral("Completed 0 Files (0 KB) in 0 Secs."));
    QCoreApplication::processEvents();
    EXPECT_EQ(problems.Reported(), QStringList());
}

#include "DesktopNotificationTest.moc"
