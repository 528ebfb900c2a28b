#pragma once

#include <QFile>
#include <QStringList>

// A file's bytes, or "<missing>".
inline QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The lines of a log file (CR LF ends each).
inline QStringList FileLines(const QString &path)
{
    QStringList lines = QString::fromLocal8Bit(FileBytes(path)).split("\r\n");
    if (lines.last().isEmpty() || lines.last() == "<missing>")
        lines.removeLast();
    return lines;
}

// Replaces the file's contents with bytes.
inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
