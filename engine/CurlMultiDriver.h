#pragma once

#include "CurlTransfer.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QSocketNotifier;

// The one libcurl multi handle that all downloads share (so connections and
// DNS answers are reused across them), driven by the Qt event loop: a socket
// notifier per socket that libcurl watches and one single-shot timer for
// libcurl's timeout. Every notification is handled on the thread that owns
// the driver and nothing blocks.
//
// No event of a transfer is raised from inside libcurl: its callbacks only
// record, and the driver asks the owners to deliver once libcurl has
// returned. A handler may therefore pump events, cancel or start transfers.
class CurlMultiDriver : public QObject {
    Q_OBJECT
public:
    // The driver of all downloads (they all run on the user-interface
    // thread), created on first use and kept while any owner holds it.
    static std::shared_ptr<CurlMultiDriver> Shared();
    ~CurlMultiDriver() override;

    // Starts the transfer of a prepared easy handle whose CURLOPT_PRIVATE
    // points to its CurlTransfer; CURLM_OK or libcurl's refusal.
    CURLMcode Add(CURL *easy);
    // Takes a transfer out; no further callback or TransferDone for it.
    void Remove(CURL *easy);
    // Called from the owner's libcurl callbacks when it recorded something;
    // its DeliverEvents follows once libcurl has returned.
    void Queue(CurlTransfer *owner);
    // The owner is going away: drop it from the delivery queue.
    void Forget(CurlTransfer *owner);

private:
    struct SocketWatch {
        QSocketNotifier *read = nullptr;
        QSocketNotifier *write = nullptr;
    };

    CurlMultiDriver();
    static int OnSocket(CURL *easy, curl_socket_t socket, int what, void *driver, void *socketData);
    static int OnTimer(CURLM *multi, long timeoutMs, void *driver);

    void Watch(curl_socket_t socket, int what);
    void Unwatch(curl_socket_t socket);
    void Act(curl_socket_t socket, int readiness);
    void CollectFinished();
    void DeliverQueued();

    CURLM *multi = nullptr;
    QTimer timeout;
    QHash<curl_socket_t, SocketWatch> sockets;
    // Owners with recorded events, oldest first; popped one at a time so that
    // a nested delivery never invalidates an outer one.
    std::deque<CurlTransfer *> queued;
    // Depth of calls into libcurl: handle removal must wait until it is 0.
    int insideCurl = 0;
    std::vector<CURL *> removeLater;
};
