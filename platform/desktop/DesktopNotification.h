#pragma once

#include <QString>

// Shows a short message through the desktop's notification service (the
// freedesktop Notifications interface on the session bus), titled with the
// program's name; the program's desktop entry names its icon. Nothing waits
// for the service: without a session bus or such a service nothing shows
// and nothing is reported.
void NotifyDesktop(const QString &title, const QString &text);
