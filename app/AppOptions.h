#pragma once

#include <QString>
#include <cstdint>

// The options that go beyond what the job list file stores, shared by the
// window and the command line, and kept in the data folder's Tavrin.conf
// (an INI file; the job list file's format never changes). Each is off by
// default, and off means the behaviour without it; a fresh data folder
// means every option off.
struct AppOptions {
    // Stop a sequence after this many missing files in a row (0: never).
    int32_t UntilMissing = 0;
    // Items whose target is already a non-empty file are not requested (1).
    int32_t SkipExisting = 0;
    // Transient failures are tried again this many times.
    int32_t Retries = 0;
    // Milliseconds at least between the starts of two requests to one host.
    int32_t WaitMs = 0;

    static constexpr int32_t MostRetries = 100;
    static constexpr int32_t LongestWaitMs = 3600000;

    // The options saved in dataFolder; one that is absent or unreadable is
    // off.
    static AppOptions Load(const QString &dataFolder);
    // Saves every option in dataFolder. False when the file could not be
    // written, and message (when given) then names it.
    bool Save(const QString &dataFolder, QString *message = nullptr) const;
    static QString FilePath(const QString &dataFolder);
};
