#include "platform/SpoolFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// The named spool files of the process, where a signal handler can reach
// them: a fixed table of fixed buffers, claimed and given back with atomics.
constexpr int MaxNamedSpools = 64;
constexpr size_t MaxSpoolPath = 4096;
struct NamedSpool {
    std::atomic<bool> used{false};
    std::atomic<bool> ready{false};
    char path[MaxSpoolPath] = {};
};
std::array<NamedSpool, MaxNamedSpools> namedSpools;

int ClaimNamedSpool(const QByteArray &path)
{
    if (size_t(path.size()) >= MaxSpoolPath)
        return -1;
    for (int i = 0; i < MaxNamedSpools; ++i) {
        NamedSpool &spool = namedSpools[size_t(i)];
        bool expected = false;
        if (!spool.used.compare_exchange_strong(expected, true))
            continue;
        std::memcpy(spool.path, path.constData(), size_t(path.size()) + 1);
        spool.ready = true;
        return i;
    }
    return -1;
}

void ReleaseNamedSpool(int slot)
{
    if (slot < 0)
        return;
    NamedSpool &spool = namedSpools[size_t(slot)];
    spool.ready = false;
    spool.used = false;
}

// Hidden, so that nothing looking for downloaded files mistakes one for a
// download.
QByteArray SpoolName(const QByteArray &folderPath)
{
    const quint64 tag = QRandomGenerator::global()->generate64();
    return folderPath + "/.tavrin-" + QByteArray::number(tag, 16).rightJustified(16, '0') + ".part";
}

// Spooled files get the permissions of any new file: this less the umask.
constexpr mode_t CreationMode = 0666;

bool WriteAll(int fd, const char *data, qint64 length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, size_t(length));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= written;
    }
    return true;
}

bool unnamedFilesAllowed = true;

} // namespace

void SpoolFile::AllowUnnamedFiles(bool allowed)
{
    unnamedFilesAllowed = allowed;
}

SpoolFile::~SpoolFile()
{
    Release();
}

void SpoolFile::Release()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!namedPath.isEmpty())
        ::unlink(namedPath.constData());
    namedPath.clear();
    ReleaseNamedSpool(namedSlot);
    namedSlot = -1;
}

bool SpoolFile::Open(const QString &folder)
{
    Release();
    const QByteArray folderPath = QFile::encodeName(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    if (OpenUnnamed(folderPath))
        return true;
    // Only a file system that cannot make unnamed files gets a named one.
    if ((errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) && OpenNamed(folderPath))
        return true;
    return Fail(errno);
}

bool SpoolFile::OpenUnnamed(const QByteArray &folderPath)
{
    if (!unnamedFilesAllowed) {
        errno = EOPNOTSUPP;
        return false;
    }
    fd = ::open(folderPath.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, CreationMode);
    return fd >= 0;
}

bool SpoolFile::OpenNamed(const QByteArray &folderPath)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QByteArray path = SpoolName(folderPath);
        // Registered before it exists, so that a signal in between still
        // finds it.
        namedSlot = ClaimNamedSpool(path);
        fd = ::open(path.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, CreationMode);
        if (fd >= 0) {
            namedPath = path;
            return true;
        }
        const int failure = errno;
        ReleaseNamedSpool(namedSlot);
        namedSlot = -1;
        if (failure != EEXIST) {
            errno = failure;
            return false;
        }
    }
    return false;
}

bool SpoolFile::Fail(int errorNumber)
{
    error = QString::fromLocal8Bit(std::strerror(errorNumber));
    return false;
}

bool SpoolFile::Write(const char *data, qint64 length)
{
    if (fd < 0 || !WriteAll(fd, data, length))
        return Fail(fd < 0 ? EBADF : errno);
    return true;
}

bool SpoolFile::TakePermissionsOf(const QString &targetPath)
{
    const QByteArray target = QFile::encodeName(targetPath);
    struct stat existing {};
    if (::stat(target.constData(), &existing) != 0) {
        if (errno == ENOENT)
            return true; // a new file
        return Fail(errno);
    }
    if (!S_ISREG(existing.st_mode))
        return true;
    constexpr mode_t AnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    if ((existing.st_mode & AnyWrite) == 0)
        return Fail(EACCES);
    if (::access(target.constData(), W_OK) != 0)
        return Fail(errno);
    if (fd < 0)
        return Fail(EBADF);
    // A file system that keeps no modes of its own may refuse: the file
    // then has that file system's mode, as any new file there.
    ::fchmod(fd, existing.st_mode & 07777);
    return true;
}

bool SpoolFile::Sync()
{
    if (fd < 0 || ::fsync(fd) != 0)
        return Fail(fd < 0 ? EBADF : errno);
    return true;
}

bool SpoolFile::LinkOver(const QString &targetPath)
{
    const QByteArray target = QFile::encodeName(targetPath);
    if (fd < 0)
        return Fail(EBADF);
    if (namedPath.isEmpty()) {
        if (!LinkUnnamed(target))
            return false;
    } else if (::rename(namedPath.constData(), target.constData()) != 0) {
        return Fail(errno);
    }
    // In place: the name is the target's now, and must not be removed.
    namedPath.clear();
    Release();
    return true;
}

// A new target takes the name directly; an existing one is replaced by
// renaming a hidden link over it, so it is never missing in between.
bool SpoolFile::LinkUnnamed(const QByteArray &targetPath)
{
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, targetPath.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST)
        return Fail(errno);
    const QByteArray folderPath = QFile::encodeName(QFileInfo(QFile::decodeName(targetPath)).absolutePath());
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QByteArray link = SpoolName(folderPath);
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, link.constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                continue;
            return Fail(errno);
        }
        if (::rename(link.constData(), targetPath.constData()) == 0)
            return true;
        const int failure = errno;
        ::unlink(link.constData());
        return Fail(failure);
    }
    return Fail(EEXIST);
}

QByteArray SpoolFile::Read(qint64 length) const
{
    QByteArray bytes;
    if (fd < 0)
        return bytes;
    bytes.resize(qsizetype(length));
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size_t(length - done), done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return QByteArray();
        done += got;
    }
    return bytes;
}

bool SpoolFile::IsOpen() const
{
    return fd >= 0;
}

bool SpoolFile::IsNamed() const
{
    return !namedPath.isEmpty();
}

QString SpoolFile::ErrorString() const
{
    return error;
}

void SpoolFile::RemoveNamedFiles()
{
    for (NamedSpool &spool : namedSpools) {
        if (spool.ready)
            ::unlink(spool.path);
    }
}
