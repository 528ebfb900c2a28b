#pragma once

#include <QString>

#include <stdexcept>

// A folder that could not be created for another reason than already being
// there (a file in the way, no permission, a name the file system refuses).
class FolderCreationError : public std::runtime_error {
public:
    explicit FolderCreationError(const QString &folder)
        : std::runtime_error(("Unable to create folder: " + folder).toStdString())
    {
    }
};
