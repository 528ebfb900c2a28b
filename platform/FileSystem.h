#pragma once

#include <QString>

// True only when the path names an existing directory; false for a missing
// path, a file or an empty name.
bool FolderExists(const QString &path);

// True only for an existing ordinary file that is not hidden (dot-files are
// hidden); a folder, a missing path or an empty path give false.
bool FileExists(const QString &path);

// Creates the folder and every missing folder above it. Both "\" and "/"
// separate folders. Throws FolderCreationError when a level can neither be
// created nor found as an existing folder.
void CreateFolderPath(const QString &path);

// The path with "/" for every "\": in folders both separate levels.
QString NativeSeparators(const QString &path);

// True for a Windows drive path ("C:\\Pics", "c:/x", "C:"): it names no folder
// on this system and would otherwise become a folder in the working one.
bool IsDrivePath(const QString &path);
