#pragma once

#include <QString>

// Values the machine supplies: environment variables and well-known folders.
// Each is read afresh on every call and is "" when it cannot be had.

// The environment variable's value; "" when it is unset or unreadable.
QString GetEnv(const QString &name);

// The special-folder id of the user's documents folder.
constexpr int DocumentsFolderId = 5;

// The shell folder for a special-folder id; only the documents folder is
// known. "" for any other id or when the lookup fails.
QString GetSpecialFolder(int id);

// The folder that holds the program's executable, without a trailing "/".
QString ProgramFolder();

// TEMP when it is set, else the system's temporary folder.
QString TempFolder();

// APPDATA when it is set, else the per-user data home (~/.local/share); the
// program's own data folder lies below it.
QString DataFolderBase();
