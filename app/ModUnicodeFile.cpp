#include "app/ModUnicodeFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

const QByteArray ByteOrderMark("\xFF\xFE", 2);

} // namespace

QByteArray ModUnicodeFile::ReadWholeFile(const QString &path, bool checkMark, bool *markFound, QString *error)
{
    if (markFound)
        *markFound = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    if (checkMark && bytes.startsWith(ByteOrderMark)) {
        if (markFound)
            *markFound = true;
        bytes.remove(0, 2);
    }
    return bytes;
}

QString ModUnicodeFile::ReadWholeText(const QString &path, bool *markFound, QString *error)
{
    if (markFound)
        *markFound = false;
    QFile file(path);
    // A device of unknown size (a pipe, a special file) goes the long way.
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return DecodeUtf16(ReadWholeFile(path, true, markFound, error));
    char16_t first = 0;
    const qint64 firstRead = file.read(reinterpret_cast<char *>(&first), 2);
    const bool marked = firstRead == 2 && qFromLittleEndian(first) == 0xFEFF;
    if (markFound)
        *markFound = marked;
    const qint64 rest = std::max<qint64>(0, file.size() - std::max<qint64>(0, firstRead));
    const qsizetype lead = firstRead == 2 && !marked ? 1 : 0;
    QString text(lead + qsizetype(rest / 2), Qt::Uninitialized);
    if (lead)
        text[0] = QChar(qFromLittleEndian(first));
    const qint64 wanted = qint64(text.size() - lead) * 2;
    const qint64 got = firstRead < 0 ? -1 : file.read(reinterpret_cast<char *>(text.data() + lead), wanted);
    if (got < 0 || file.error() != QFileDevice::NoError) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    // A file that shrank while being read ends where the reading did.
    text.truncate(lead + qsizetype(got / 2));
    qFromLittleEndian<char16_t>(text.constData(), text.size(), text.data());
    return text;
}

void ModUnicodeFile::WriteWholeFile(const QString &path, const QByteArray &bytes, bool writeMark)
{
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw WriteError(file.errorString().toStdString());
    if ((writeMark && file.write(ByteOrderMark) != 2) || file.write(bytes) != bytes.size())
        throw WriteError(file.errorString().toStdString());
    if (!file.flush())
        throw WriteError(file.errorString().toStdString());
}

QString ModUnicodeFile::DecodeUtf16(const QByteArray &bytes)
{
    // A trailing odd byte is not a whole character and is dropped.
    const qsizetype units = bytes.size() / 2;
    QString text(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData(), units, text.data());
    return text;
}

QByteArray ModUnicodeFile::EncodeUtf16(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.constData(), text.size(), bytes.data());
    return bytes;
}
