#pragma once

#include <QString>

// Private-profile (INI) files: "[Section]" headers and "Key=Value" lines,
// section and key names compared without regard to letter case, 8-bit text
// with CRLF line ends. Other lines and their order are kept on write.
namespace PrivateProfile {

// The value of Key in Section with surrounding blanks removed, or
// defaultValue when the file, the section or the key is missing.
QString Read(const QString &fileName, const QString &section, const QString &key, const QString &defaultValue);

// Sets Key in Section, adding the section and the key where missing. A file
// that cannot be written is left as it was.
bool Write(const QString &fileName, const QString &section, const QString &key, const QString &value);

} // namespace PrivateProfile
