#pragma once

#include <QString>

// Path variables: "%APPPATH%", "%TEMP%", "%MYDOC%", "%APPDATA%", "%SYS32%"
// and "%WINDIR%" stand for folders of the user's machine in output folders
// and post-processing command lines. Any other %NAME% is left as written.
// The values are read afresh at every expansion, except the data folder,
// which the caller fixes once at start-up and passes in.

// Replaces every occurrence of the token, matched without regard to case,
// left to right; inserted text is not searched again. Without an
// occurrence the text is untouched.
void ReplaceToken(QString &text, const QString &token, const QString &value);

// Turns a job's output folder into the usable folder: expands the path
// variables, takes "\" and "/" alike as separators, ends the result in "/"
// and creates it with all its missing parents. On any failure, and for a
// folder that is empty once expanded (it would be the root), the folder
// becomes "".
void ResolveOutputFolder(QString &folder, const QString &dataFolder);

// Expands the path variables of a post-processing command line, in the
// command-line order. Nothing is appended and nothing is created.
void ExpandCommandPathVariables(QString &command, const QString &dataFolder);
