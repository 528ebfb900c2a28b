#pragma once

#include "engine/CurlTransfer.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QSocketNotifier;

// The one libcurl multi handle that all downloads share (so connections and
// DNS answers are reused across them), driven by the Qt event loop: a socket
// notifier pair per socket that libcurl watches and one single-shot timer for
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

    // Sets the options every easy handle run by this driver needs: the
    // driver opens and closes its sockets, so that it knows when a socket
    // libcurl keeps between downloads is really gone.
    void Prepare(CURL *easy);
    // Starts the transfer of a prepared easy handle whose CURLOPT_PRIVATE
    // points to its CurlTransfer; CURLM_OK or libcurl's refusal.
    CURLMcode Add(CURL *easy);
    // Takes a transfer out; no further callback or TransferDone for it.
    void Remove(CURL *easy);
    // Lets a transfer go on that its write callback paused. Must not be
    // called from inside libcurl. A transfer that cannot go on ends with
    // TransferDone like any other; recorded events are delivered before this
    // returns.
    void Resume(CURL *easy);
    // Called from the owner's libcurl callbacks when it recorded something;
    // its DeliverEvents follows once libcurl has returned.
    void Queue(CurlTransfer *owner);
    // The owner is going away: drop it from the delivery queue.
    void Forget(CurlTransfer *owner);

private:
    // The notifiers of one socket. They live as long as the socket: libcurl
    // stops watching a kept-alive connection after every download and
    // watches it again for the next one, and only their enabled state
    // follows that.
    struct SocketWatch {
        QSocketNotifier *read = nullptr;
        QSocketNotifier *write = nullptr;
        // Opened by OnOpenSocket, so its closing is reported to
        // OnCloseSocket. Any other socket (the resolver's wake-up pair) is
        // closed without notice: its notifiers go as soon as it is unwatched.
        bool ours = false;
    };

    CurlMultiDriver();
    static int OnSocket(CURL *easy, curl_socket_t socket, int what, void *driver, void *socketData);
    static int OnTimer(CURLM *multi, long timeoutMs, void *driver);
    static curl_socket_t OnOpenSocket(void *driver, curlsocktype purpose, struct curl_sockaddr *address);
    static int OnCloseSocket(void *driver, curl_socket_t socket);

    void Watch(curl_socket_t socket, int what);
    void Unwatch(curl_socket_t socket);
    void Opened(curl_socket_t socket);
    void Closed(curl_socket_t socket);
    void Discard(const SocketWatch &watch);
    void Activated(QSocketNotifier *notifier, curl_socket_t socket, int readiness);
    void Act(curl_socket_t socket, int readiness);
    void AfterCurl();
    void CollectFinished();
    void DeliverQueued();

    CURLM *multi = nullptr;
    QTimer timeout;
    QHash<curl_socket_t, SocketWatch> sockets;
    // Notifiers whose activation is being handled, innermost last: one of
    // them must not be deleted before its activation has returned.
    std::vector<QSocketNotifier *> activating;
    // Owners with recorded events, oldest first; popped one at a time so that
    // a nested delivery never invalidates an outer one.
    std::deque<CurlTransfer *> queued;
    // Depth of calls into libcurl: handle removal must wait until it is 0.
    int insideCurl = 0;
    std::vector<CURL *> removeLater;
};
