#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <set>

class DownloadQueue;

// "Stop a sequence after N missing files in a row". Answers come back in any
// order, but the rule reads them in queue order: once items k .. k+N-1 of a
// sequence are all missing, the items after them are left out. With one
// sequence that ends the job; with two it ends the inner sequence of that
// outer value, and the whole job when those N items are the first of their
// outer value. A limit of 0 turns the rule off: nothing is ever left out.
class SequenceEnd {
public:
    // A new job's queue with the rule's limit N.
    void Begin(int32_t limit, const DownloadQueue &queue);
    bool IsOn() const { return limit > 0; }
    int32_t Limit() const { return limit; }
    // Item k's answer counted as missing. Gives the item that ends a
    // sequence because of it (the last of the N missing ones), or 0. A
    // sequence ends once: later gaps in it change nothing.
    int32_t Missing(int32_t k);
    // Whether item k lies after an end.
    bool Skips(int64_t k) const;
    // The first item from k on that is not left out (past the last item
    // when none is).
    int64_t NextToRequest(int64_t k) const;

    // Whether an answer counts as missing: 404 or 410, or a 200 whose body
    // is an HTML page for a URL whose file name does not end in .htm or
    // .html (a server's "not found" page).
    static bool AnswerIsMissing(int httpStatus, const QString &contentType, const QString &url);

private:
    int64_t Group(int64_t k) const { return (k - 1) / perGroup; }
    int64_t GroupFirst(int64_t group) const { return group * perGroup + 1; }
    int64_t GroupLast(int64_t group) const;

    int32_t limit = 0;
    int sequences = 0;
    int64_t count = 0;
    int64_t perGroup = 1; // the items of one outer value
    std::set<int64_t> missing;
    int64_t jobEnd = 0;                   // items after it are left out; 0: none
    std::map<int64_t, int64_t> groupEnds; // outer value -> its last item kept
};
