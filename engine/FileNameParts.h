#pragma once

#include <QString>

// The parts of a downloaded file's name that post-processing hands to its
// command line.

// The name without folder and extension: the text after the last "\" (or,
// when there is none, the last "/") up to the last ".". "" when the name
// has no ".", and also when its last "." lies in a folder part
// ("v1.2/readme"), which leaves the file's own name without an extension,
// like "readme".
QString BaseName(const QString &name);

// The text after the last "."; "" when there is none.
QString Extension(const QString &name);
