#pragma once

#include <curl/curl.h>

// What the shared multi driver needs from the owner of an easy handle. The
// owner's easy handle carries a pointer to it as CURLOPT_PRIVATE. Both calls
// come from the driver after libcurl has returned, never from inside a
// libcurl call, so the owner may raise events from DeliverEvents.
class CurlTransfer {
public:
    virtual ~CurlTransfer() = default;

    // The transfer ended; its easy handle has already left the multi handle.
    // Only records the result: the events follow in DeliverEvents.
    virtual void TransferDone(CURLcode result) = 0;
    // Raises the events recorded since the last call. May be re-entered from
    // a nested event loop inside one of those events.
    virtual void DeliverEvents() = 0;
};
