#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A file with no name in a folder (O_TMPFILE), written as data arrives and
// then linked over a target in the same folder in one step. Until then no
// other program sees it, and it never outlives the process. Only on a file
// system that refuses unnamed files is a hidden named file used instead; it
// is removed when the object goes unless it became the target, and
// RemoveNamedFiles removes it from a signal handler.
class SpoolFile {
public:
    SpoolFile() = default;
    ~SpoolFile();
    Q_DISABLE_COPY_MOVE(SpoolFile)

    // Opens a fresh file in folder, giving up any earlier one; false (with
    // ErrorString) when the folder cannot take one.
    bool Open(const QString &folder);
    bool Write(const char *data, qint64 length);
    // Gives the file the permissions of an existing ordinary file at
    // targetPath, where the file system keeps them, so that replacing it
    // keeps its mode. A target that may not
    // be written is refused as writing it would be ("Permission denied"):
    // one this user may not write, or one with no write permission at all,
    // which root could otherwise replace.
    bool TakePermissionsOf(const QString &targetPath);
    // Waits until the bytes written are on the disk.
    bool Sync();
    // Creates or replaces targetPath with the file by a rename within
    // targetPath's folder. Never a copy: when the rename cannot be done
    // (another file system) this fails and an existing target stays as it
    // was. The file is given up once it is in place.
    bool LinkOver(const QString &targetPath);
    // The first length bytes; empty when the file holds fewer.
    QByteArray Read(qint64 length) const;

    bool IsOpen() const;
    // True when the file has a name (the file system refused an unnamed one).
    bool IsNamed() const;
    // The system's description of the last failure.
    QString ErrorString() const;

    // Unlinks every named spool file of the process. Async-signal-safe: for
    // a process that ends at once.
    static void RemoveNamedFiles();
    // Takes the named-file way even where unnamed files work, as on a file
    // system that refuses them (tests).
    static void AllowUnnamedFiles(bool allowed);

private:
    bool OpenUnnamed(const QByteArray &folderPath);
    bool OpenNamed(const QByteArray &folderPath);
    bool LinkUnnamed(const QByteArray &targetPath);
    bool Fail(int errorNumber);
    void Release();

    int fd = -1;
    QByteArray namedPath;
    int namedSlot = -1;
    QString error;
};
