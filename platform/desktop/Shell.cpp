#include "platform/desktop/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

void DropMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

void ShellOpen(const QString &path)
{
    // A missing path would only bring up the desktop's error dialog.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    // Without a desktop (headless, offscreen) Qt warns that it cannot open
    // anything; the open is best effort, so the warning is dropped.
    const QtMessageHandler previous = qInstallMessageHandler(DropMessage);
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    qInstallMessageHandler(previous);
}
