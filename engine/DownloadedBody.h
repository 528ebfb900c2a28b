#pragma once

#include "platform/SpoolFile.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The body of one download, spooled to a file in the target's folder as it
// arrives so that no body ever has to fit in memory (see SpoolFile): it has
// no name until SaveTo puts it in place, so an unfinished body is never seen
// by other programs and never outlives the process.
class DownloadedBody {
public:
    DownloadedBody() = default;
    Q_DISABLE_COPY_MOVE(DownloadedBody)

    // Opens a fresh spool file in folder; false (with ErrorString) when the
    // folder cannot take one.
    bool Create(const QString &folder);
    bool Append(const char *data, qint64 length);
    // Ends the writing; the bytes stay in the spool file until SaveTo.
    void Close();

    qint64 Size() const;
    // The folder the body is spooled in.
    QString Folder() const;
    // True when the spool file has a name (the file system refused an
    // unnamed one).
    bool IsNamed() const;
    QString ErrorString() const;

    // Creates or replaces targetPath with exactly the downloaded bytes, by
    // an atomic rename within targetPath's folder. When that cannot be done
    // (another file system, a folder that refuses the link) the save fails
    // and an existing target is left as it was. Succeeds once.
    bool SaveTo(const QString &targetPath, QString *error = nullptr) const;
    // The whole body in memory: meant for small bodies (tests, diagnostics).
    QByteArray ReadAll() const;

private:
    // SaveTo is offered through a const reference to the handler; moving the
    // body into place is the one change it makes.
    mutable SpoolFile spool;
    QString folder;
    qint64 size = 0;
    mutable QString error;
};
