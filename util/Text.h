#pragma once

#include <QString>

// Removes blanks (U+0020 only) from both ends, as the file formats and the
// job fields define "surrounding blanks"; tabs and other white space stay.
QString TrimBlanks(const QString &text);
