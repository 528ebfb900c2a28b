#pragma once

#include "app/JobRecord.h"

#include <QString>
#include <optional>

// A job guessed from a pasted URL, for the user to check before it runs.
// Only the path and the query are looked at, never the host or the port:
// the last run of decimal digits in the last path segment (or, when that
// segment has none, the last run in the path or query) becomes "#1#",
// counted from 1 (from 0 when the number is 0) up to the number written
// there, zero-padded like it when it starts with a 0. Everything else stays
// as written. A URL without a digit becomes a job for that one URL.
//
// Gives no job when the text is not an http, https or ftp URL, or when its
// number lies beyond the largest sequence bound (2147483647: such a number
// is refused, not capped, since a capped bound names other files); message
// (when given) then says why.
std::optional<JobRecord> JobFromUrl(const QString &text, QString *message = nullptr);
