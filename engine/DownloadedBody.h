#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

// The body of one download, spooled to a hidden temporary file as it arrives
// so that no body ever has to fit in memory. The completion handler turns it
// into the target file with SaveTo (a rename, or a copy across file systems);
// whatever was not saved is removed when the holder goes away.
class DownloadedBody {
public:
    DownloadedBody() = default;
    ~DownloadedBody();
    Q_DISABLE_COPY_MOVE(DownloadedBody)

    // Opens a fresh temporary file in folder; false (with ErrorString) when
    // the folder cannot take one.
    bool Create(const QString &folder);
    bool Append(const char *data, qint64 length);
    // Ends the writing; the bytes stay in the temporary file until SaveTo.
    void Close();

    qint64 Size() const;
    QString FilePath() const;
    QString ErrorString() const;

    // Creates or replaces targetPath with exactly the downloaded bytes.
    // Succeeds once; the temporary file is gone afterwards.
    bool SaveTo(const QString &targetPath, QString *error = nullptr) const;
    // The whole body in memory: meant for small bodies (tests, diagnostics).
    QByteArray ReadAll() const;

private:
    bool MoveOrCopyTo(const QString &targetPath) const;

    QFile file;
    qint64 size = 0;
    mutable QString error;
    // SaveTo is offered through a const reference to the handler; moving the
    // file away is the one change it makes.
    mutable bool saved = false;
    // Saved by a rename: the spool file no longer exists under its name.
    mutable bool renamed = false;
};
