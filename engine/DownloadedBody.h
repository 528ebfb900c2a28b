#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The body of one download, spooled to a file in the target's folder as it
// arrives so that no body ever has to fit in memory. The file has no name
// (O_TMPFILE) until SaveTo links it into place and renames it over the
// target, so an unfinished body is never seen by other programs and never
// outlives the process. Only on a file system that refuses unnamed files is
// a hidden named file used; it is removed when the holder goes away, and
// RemoveNamedSpoolFiles removes it from a signal handler.
class DownloadedBody {
public:
    DownloadedBody() = default;
    ~DownloadedBody();
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

    // Unlinks every named spool file of the process. Async-signal-safe: for
    // a process that ends at once.
    static void RemoveNamedSpoolFiles();
    // Takes the named-file way even where unnamed files work, as on a file
    // system that refuses them (tests).
    static void AllowUnnamedFiles(bool allowed);

private:
    bool OpenUnnamed(const QByteArray &folderPath);
    bool OpenNamed(const QByteArray &folderPath);
    bool LinkInto(const QByteArray &targetPath) const;
    bool Fail(int errorNumber) const;
    void Release();

    int fd = -1;
    QString folder;
    QByteArray namedPath;
    int namedSlot = -1;
    qint64 size = 0;
    mutable QString error;
    // SaveTo is offered through a const reference to the handler; moving the
    // body into place is the one change it makes.
    mutable bool saved = false;
};
