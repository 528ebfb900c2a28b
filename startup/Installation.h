#pragma once

#include "app/AppSettings.h"

#include <QString>

// How the program was put on the machine decides where a user's job list
// lives. An installed program lies in <prefix>/bin beside the marker that the
// install leaves in <prefix>/share/tavrin/; every user of the machine may run
// it and its folder is not theirs to write, so a user's list lives in the
// data folder. Any other program (a build folder, an unpacked archive) is
// portable and keeps its list beside itself.

// True for a program folder <prefix>/bin whose <prefix>/share/tavrin/ holds
// the install's marker, whoever runs the program.
bool IsInstalledProgram(const QString &programFolder);

// The job list that start-up loads when the command line names none: the
// TvData.txt beside the program, or, for an installed program without one,
// the data folder's.
struct DefaultJobList {
    QString Path;
    // An installed program's first start: the missing list shows no message,
    // the default jobs appear.
    bool MissingIsNormal = false;
};
DefaultJobList DefaultJobListOf(const AppSettings &settings);

// Where Load and Save first open: an installed program's data folder; ""
// for a portable program (Load then opens in the program folder).
QString FirstDialogFolder(const AppSettings &settings);

// The README that the About box opens: the installed documentation, or the
// copy that the build puts beside a portable program.
QString ReadmeFile(const QString &programFolder);
