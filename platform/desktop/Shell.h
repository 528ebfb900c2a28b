#pragma once

#include <QString>

// Asks the desktop to open a file or folder with the program it associates
// with it (a folder opens in the file browser, a web address in the
// browser). An empty path does nothing; failures stay silent and nothing
// waits for the opened program.
void ShellOpen(const QString &path);
