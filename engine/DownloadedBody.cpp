#include "engine/DownloadedBody.h"

bool DownloadedBody::Create(const QString &spoolFolder)
{
    size = 0;
    folder = spoolFolder;
    if (spool.Open(spoolFolder))
        return true;
    error = spool.ErrorString();
    return false;
}

bool DownloadedBody::Append(const char *data, qint64 length)
{
    if (!spool.Write(data, length)) {
        error = spool.ErrorString();
        return false;
    }
    size += length;
    return true;
}

void DownloadedBody::Close()
{
    // The spool file stays open: an unnamed file lives only through it.
}

qint64 DownloadedBody::Size() const
{
    return size;
}

QString DownloadedBody::Folder() const
{
    return folder;
}

bool DownloadedBody::IsNamed() const
{
    return spool.IsNamed();
}

QString DownloadedBody::ErrorString() const
{
    return error;
}

bool DownloadedBody::SaveTo(const QString &targetPath, QString *errorText) const
{
    // Once saved, the spool file is the target and no longer the body's.
    if (!spool.IsOpen())
        error = QStringLiteral("The download is not available.");
    else if (spool.LinkOver(targetPath))
        return true;
    else
        error = spool.ErrorString();
    if (errorText)
        *errorText = error;
    return false;
}

QByteArray DownloadedBody::ReadAll() const
{
    return spool.Read(size);
}
