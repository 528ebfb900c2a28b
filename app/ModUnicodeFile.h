#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

// Whole-file byte reads and writes for the UTF-16 files (little-endian, with
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

// The file as UTF-16LE text: the same as decoding ReadWholeFile's bytes
// (checking for the mark), but read straight into the text, so that a long
// file is never held twice.
QString ReadWholeText(const QString &path, bool *markFound = nullptr, QString *error = nullptr);

// Replaces the file with the bytes, after FF FE when writeMark is set. A
// failure to delete the old file is ignored; later failures throw WriteError.
void WriteWholeFile(const QString &path, const QByteArray &bytes, bool writeMark);

// UTF-16LE bytes to text and back.
QString DecodeUtf16(const QByteArray &bytes);
QByteArray EncodeUtf16(const QString &text);

} // namespace ModUnicodeFile
