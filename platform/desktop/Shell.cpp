#include "platform/desktop/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

void DropMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
}

// A web address ("https://…"), which the desktop hands to the browser.
bool IsWebAddress(const QString &path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

void ShellOpen(const QString &path)
{
    QUrl target;
    if (IsWebAddress(path))
        target = QUrl(path, QUrl::StrictMode);
    // A missing path would only bring up the desktop's error dialog.
    else if (!path.isEmpty() && QFileInfo::exists(path))
        target = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!target.isValid())
        return;
    // Without a desktop (headless, offscreen) Qt warns that it cannot open
    // anything; the open is best effort, so the warning is dropped.
    const QtMessageHandler previous = qInstallMessageHandler(DropMessage);
    QDesktopServices::openUrl(target);
    qInstallMessageHandler(previous);
}
