#include "app/ModUnicodeFile.h"

#include <QFile>
#include <QtEndian>

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
