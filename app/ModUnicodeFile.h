#pragma once

#include "platform/SpoolFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <stdexcept>

// Byte reads and line writes for the UTF-16 files (little-endian, with
// the byte-order mark FF FE).
namespace ModUnicodeFile {

// A file could not be written.
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's bytes; with checkMark set and the file starting with FF FE,
// the bytes after the mark and markFound true. Never throws: a file that
// cannot be read gives no bytes, and error (when given) its description.
QByteArray ReadWholeFile(const QString &path, bool checkMark, bool *markFound = nullptr, QString *error = nullptr);

// A UTF-16LE file read in blocks and handed out line by line, so that a
// list of a million jobs is never held whole. The text is what decoding
// ReadWholeFile's bytes (checking for the mark) gives, split at every CR LF:
// a CR without an LF after it stays in its line, and the text after the last
// CR LF is a line too, even when empty.
class LineReader {
public:
    // False, with the description in error, when the file cannot be opened.
    bool Open(const QString &path, QString *error);
    // The next line, valid until the next call. False when there is none
    // left, or when the file could not be read (error then describes it).
    bool Next(QStringView &line, QString *error);
    // The file's size in bytes (-1 for a device of unknown size) and how
    // many of them the lines handed out so far took, to estimate how many
    // lines are to come.
    qint64 Size() const;
    qint64 BytesHandedOut() const;

private:
    bool ReadBlock(QString *error);

    QFile file;
    QString text; // decoded, not yet handed out from start on
    qsizetype start = 0;
    qsizetype searchFrom = 0;
    QByteArray bytes; // read; the first pending ones not yet decoded
    qsizetype pending = 0;
    qint64 bytesRead = 0;
    bool markChecked = false;
    bool anyText = false;
    bool ended = false; // the whole file has been read
    bool lastGiven = false;
};

// A UTF-16LE file written line by line and handed to the system in blocks,
// so that a list of a million jobs is never held whole. The lines go to a
// file with no name beside path (FF FE first when writeMark is set, every
// line followed by CR LF), which Close puts in path's place in one step: an
// existing file keeps its permissions and stays as it was until then, and
// whatever fails before leaves it so. Failures throw WriteError with the
// system's reason; a read-only file is refused, as writing it would be.
class LineWriter {
public:
    LineWriter(const QString &path, bool writeMark);
    void Write(QStringView line);
    void Close();

private:
    void WriteHeld();
    [[noreturn]] void Fail() const;

    QString target;
    SpoolFile file;
    QString held; // lines not yet written
};

// UTF-16LE bytes to text and back.
QString DecodeUtf16(const QByteArray &bytes);
QByteArray EncodeUtf16(const QString &text);

} // namespace ModUnicodeFile
