#pragma once

#include "util/CompactText.h"

// One stored job. All fields are text as the job list file holds them;
// "1" means yes for the boolean ones. The fields are compact texts, as a
// generated list may hold a million jobs.
struct JobRecord {
    CompactText Get;
    CompactText Category;
    CompactText Url;
    CompactText L1;
    CompactText U1;
    CompactText Format1;
    CompactText L2;
    CompactText U2;
    CompactText Format2;
    CompactText Prefix;
    CompactText Output;
    CompactText LastDate;
    CompactText RunPP;
    CompactText AllPP;
    CompactText SepPP;
    CompactText CmdPP;
    bool Deleted = false;

    // The sixteen text fields in file order, Get (0) to CmdPP (15).
    static constexpr int FieldCount = 16;
    CompactText &Field(int index);
    const CompactText &Field(int index) const;
};
