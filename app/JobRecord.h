#pragma once

#include <QString>

// One stored job. All fields are text as the job list file holds them;
// "1" means yes for the boolean ones.
struct JobRecord {
    QString Get;
    QString Category;
    QString Url;
    QString L1;
    QString U1;
    QString Format1;
    QString L2;
    QString U2;
    QString Format2;
    QString Prefix;
    QString Output;
    QString LastDate;
    QString RunPP;
    QString AllPP;
    QString SepPP;
    QString CmdPP;
    bool Deleted = false;

    // The sixteen text fields in file order, Get (0) to CmdPP (15).
    static constexpr int FieldCount = 16;
    QString &Field(int index);
    const QString &Field(int index) const;
};
