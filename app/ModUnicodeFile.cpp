#include "app/ModUnicodeFile.h"

#include <QFile>
#include <QFileInfo>
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

bool ModUnicodeFile::LineReader::Open(const QString &path, QString *error)
{
    file.setFileName(path);
    if (file.open(QIODevice::ReadOnly))
        return true;
    *error = path + QStringLiteral(": ") + file.errorString();
    return false;
}

qint64 ModUnicodeFile::LineReader::Size() const
{
    return file.isSequential() ? -1 : file.size();
}

qint64 ModUnicodeFile::LineReader::BytesHandedOut() const
{
    return bytesRead - pending - 2 * (text.size() - start);
}

bool ModUnicodeFile::LineReader::Next(QStringView &line, QString *error)
{
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r', searchFrom);
        if (cr >= 0 && cr + 1 < text.size()) {
            searchFrom = cr + 1;
            if (text[cr + 1] == u'\n') {
                line = QStringView(text).sliced(start, cr - start);
                start = searchFrom = cr + 2;
                return true;
            }
            continue;
        }
        // No CR, or one at the very end whose LF may be in the next block.
        searchFrom = cr >= 0 ? cr : text.size();
        if (ended) {
            if (lastGiven || !anyText)
                return false;
            lastGiven = true;
            line = QStringView(text).sliced(start);
            return true;
        }
        if (!ReadBlock(error))
            return false;
    }
}

// Appends the next block of the file to the text, keeping only what has not
// been handed out yet. Both buffers keep their room from block to block: what
// is kept moves to their front.
bool ModUnicodeFile::LineReader::ReadBlock(QString *error)
{
    constexpr qint64 BlockBytes = 1 << 20;
    bytes.resize(pending + BlockBytes);
    const qint64 got = file.read(bytes.data() + pending, BlockBytes);
    if (got < 0 || file.error() != QFileDevice::NoError) {
        *error = file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    }
    ended = got == 0;
    bytesRead += got;
    const qsizetype available = pending + qsizetype(got);
    qsizetype from = 0;
    if (!markChecked) {
        pending = available;
        if (available < 2 && !ended)
            return true; // too short yet to tell whether it starts with the mark
        markChecked = true;
        from = bytes.startsWith(ByteOrderMark) ? 2 : 0;
    }
    const qsizetype units = (available - from) / 2;
    std::copy(text.cbegin() + start, text.cend(), text.begin());
    text.resize(text.size() - start + units);
    searchFrom -= start;
    start = 0;
    qFromLittleEndian<char16_t>(bytes.constData() + from, units, text.data() + text.size() - units);
    // Half a character; dropped if the file ends here.
    pending = available - from - units * 2;
    std::copy_n(bytes.constData() + available - pending, pending, bytes.data());
    anyText = anyText || !text.isEmpty();
    return true;
}

namespace {

constexpr qsizetype HeldLineUnits = 512 * 1024;

} // namespace

// The list is written the way a download is put in place, not through
// QSaveFile: Qt 6.4's QSaveFile commits a file cut short when its last
// write fails, and reports failures to open it without the system's reason.
ModUnicodeFile::LineWriter::LineWriter(const QString &path, bool writeMark) : target(path)
{
    if (!file.Open(QFileInfo(path).absolutePath()) || !file.TakePermissionsOf(path))
        Fail();
    if (writeMark && !file.Write(ByteOrderMark.constData(), ByteOrderMark.size()))
        Fail();
    held.reserve(HeldLineUnits + 1024);
}

void ModUnicodeFile::LineWriter::Write(QStringView line)
{
    held.append(line).append(u"\r\n");
    if (held.size() >= HeldLineUnits)
        WriteHeld();
}

// The whole file on the disk before it takes the old one's place.
void ModUnicodeFile::LineWriter::Close()
{
    WriteHeld();
    if (!file.Sync() || !file.LinkOver(target))
        Fail();
}

void ModUnicodeFile::LineWriter::WriteHeld()
{
    const QByteArray bytes = EncodeUtf16(held);
    if (!file.Write(bytes.constData(), bytes.size()))
        Fail();
    held.resize(0);
}

void ModUnicodeFile::LineWriter::Fail() const
{
    throw WriteError(file.ErrorString().toStdString());
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
