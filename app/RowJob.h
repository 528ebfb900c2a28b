#pragma once

#include <QString>
#include <cstdint>

// One sequence of a job: its bounds and its number picture.
struct JobSequence {
    int32_t lower = 0;
    int32_t upper = 0;
    QString picture;

    int64_t Count() const { return upper < lower ? 0 : int64_t(upper) - lower + 1; }
};

// The job of a grid row, read once for whoever works on it: the expansion
// of a run, its post-processing and the row actions. The texts are the
// row's cells (which a run reads), the post-processing settings its
// record's (which only the edit panel changes).
struct RowJob {
    int32_t Row = -1;
    int32_t Record = 0; // the row's item data
    QString Url;        // the template, "#1#" and "#2#" not yet substituted
    QString Prefix;
    QString Output; // the output folder as the user wrote it
    // Output resolved by ResolveFolder: path variables expanded, created,
    // ending in "/"; "" while not resolved and when it is unusable.
    QString Folder;
    // The four bounds by the leading-number rule, halves rounded to even.
    // One outside the 32-bit range leaves both sequences empty and
    // BoundsInRange false: expanding such a job fails, but only once its
    // folder has been found usable.
    JobSequence First;
    JobSequence Second;
    bool BoundsInRange = true;
    QString RunPP;
    QString AllPP;
    QString SepPP;
    QString CmdPP;

    // How many of "#1#" and "#2#" the template uses: "#1#" must stand after
    // the first character, and "#2#" counts only with "#1#".
    int Sequences() const;
    void ResolveFolder(const QString &dataFolder);
};
