#include "DownloadedBody.h"

#include <QDir>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path NativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Hidden, so that nothing looking for downloaded files mistakes a spool file
// for one.
QString SpoolName(const QString &folder)
{
    const quint64 tag = QRandomGenerator::global()->generate64();
    return QDir(folder).filePath(QStringLiteral(".tavrin-%1.part").arg(tag, 16, 16, QLatin1Char('0')));
}

} // namespace

DownloadedBody::~DownloadedBody()
{
    // After a rename there is nothing left to remove; after a copy or a
    // failure the spool file goes.
    file.close();
    if (!renamed && !file.fileName().isEmpty())
        QFile::remove(file.fileName());
}

bool DownloadedBody::Create(const QString &folder)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        file.setFileName(SpoolName(folder));
        // NewOnly: never take over a file that happens to exist. Unbuffered:
        // the transport hands over large blocks, so a buffer would only copy.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (file.error() != QFileDevice::OpenError || !QDir(folder).exists())
            break;
    }
    error = file.errorString();
    file.setFileName(QString());
    return false;
}

bool DownloadedBody::Append(const char *data, qint64 length)
{
    if (file.write(data, length) != length) {
        error = file.errorString();
        return false;
    }
    size += length;
    return true;
}

void DownloadedBody::Close()
{
    file.close();
}

qint64 DownloadedBody::Size() const
{
    return size;
}

QString DownloadedBody::FilePath() const
{
    return saved ? QString() : file.fileName();
}

QString DownloadedBody::ErrorString() const
{
    return error;
}

bool DownloadedBody::SaveTo(const QString &targetPath, QString *errorText) const
{
    if (saved || file.fileName().isEmpty() || file.isOpen()) {
        error = QStringLiteral("The download is not available.");
    } else if (MoveOrCopyTo(targetPath)) {
        saved = true;
        return true;
    }
    if (errorText)
        *errorText = error;
    return false;
}

bool DownloadedBody::MoveOrCopyTo(const QString &targetPath) const
{
    const std::filesystem::path from = NativePath(file.fileName());
    const std::filesystem::path to = NativePath(targetPath);
    std::error_code failure;
    // A rename replaces an existing target in one step.
    std::filesystem::rename(from, to, failure);
    renamed = !failure;
    if (failure == std::errc::cross_device_link) {
        failure.clear();
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, failure);
    }
    if (!failure)
        return true;
    error = QString::fromStdString(failure.message());
    return false;
}

QByteArray DownloadedBody::ReadAll() const
{
    QFile reader(FilePath());
    if (reader.fileName().isEmpty() || !reader.open(QIODevice::ReadOnly))
        return QByteArray();
    return reader.readAll();
}
