#include "engine/CurlMultiDriver.h"

#include "platform/Allocator.h"
#include "platform/Descriptors.h"

#include <QSocketNotifier>

#include <algorithm>
#include <utility>
#include <vector>

std::shared_ptr<CurlMultiDriver> CurlMultiDriver::Shared()
{
    static std::weak_ptr<CurlMultiDriver> current;
    std::shared_ptr<CurlMultiDriver> driver = current.lock();
    if (!driver) {
        driver.reset(new CurlMultiDriver);
        current = driver;
    }
    return driver;
}

CurlMultiDriver::CurlMultiDriver()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised)
    // Every download's transfer buffer is allocated and freed anew by
    // libcurl; it should come from memory already in use.
    KeepFreedBuffersForReuse();
    // libcurl's wake-up pair is made without close-on-exec; post-processing
    // children must not inherit it.
    CloseOnExecWhatOpens([this] { multi = curl_multi_init(); });
    curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &CurlMultiDriver::OnSocket);
    curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &CurlMultiDriver::OnTimer);
    curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
    // libcurl's default cache shrinks with the number of transfers in
    // progress and would close idle connections between two files; keep
    // enough for nine downloads to a few hosts.
    curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, 36L);
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, [this] { Act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMultiDriver::~CurlMultiDriver()
{
    for (CURL *easy : std::exchange(removeLater, {}))
        curl_multi_remove_handle(multi, easy);
    // Closes the cached connections through OnCloseSocket, which deletes
    // their notifiers.
    curl_multi_cleanup(multi);
}

void CurlMultiDriver::Prepare(CURL *easy)
{
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &CurlMultiDriver::OnOpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &CurlMultiDriver::OnCloseSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
}

CURLMcode CurlMultiDriver::Add(CURL *easy)
{
    return curl_multi_add_handle(multi, easy);
}

void CurlMultiDriver::Remove(CURL *easy)
{
    // libcurl forbids removing a handle from inside one of its callbacks.
    if (insideCurl > 0)
        removeLater.push_back(easy);
    else
        curl_multi_remove_handle(multi, easy);
}

void CurlMultiDriver::Resume(CURL *easy)
{
    ++insideCurl;
    // Hands the held-back data to the write callback at once.
    const CURLcode resumed = curl_easy_pause(easy, CURLPAUSE_CONT);
    --insideCurl;
    if (resumed != CURLE_OK) {
        // libcurl leaves such a transfer stalled: end it here.
        char *owner = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
        curl_multi_remove_handle(multi, easy);
        if (owner) {
            auto *transfer = static_cast<CurlTransfer *>(static_cast<void *>(owner));
            transfer->TransferDone(resumed);
            Queue(transfer);
        }
    }
    AfterCurl();
}

void CurlMultiDriver::Queue(CurlTransfer *owner)
{
    if (std::find(queued.begin(), queued.end(), owner) == queued.end())
        queued.push_back(owner);
}

void CurlMultiDriver::Forget(CurlTransfer *owner)
{
    queued.erase(std::remove(queued.begin(), queued.end(), owner), queued.end());
}

int CurlMultiDriver::OnSocket(CURL *, curl_socket_t socket, int what, void *driver, void *)
{
    auto *self = static_cast<CurlMultiDriver *>(driver);
    if (what == CURL_POLL_REMOVE)
        self->Unwatch(socket);
    else
        self->Watch(socket, what);
    return 0;
}

int CurlMultiDriver::OnTimer(CURLM *, long timeoutMs, void *driver)
{
    // A zero timeout means "act soon": the next pass of the event loop, since
    // libcurl must not be called from its own callback.
    auto *self = static_cast<CurlMultiDriver *>(driver);
    if (timeoutMs < 0)
        self->timeout.stop();
    else
        self->timeout.start(int(std::min(timeoutMs, 24L * 3600 * 1000)));
    return 0;
}

curl_socket_t CurlMultiDriver::OnOpenSocket(void *driver, curlsocktype, struct curl_sockaddr *address)
{
    // Close-on-exec: programs started by post-processing get no connection.
    const curl_socket_t socket = OpenSocketClosedOnExec(address->family, address->socktype, address->protocol);
    if (socket != CURL_SOCKET_BAD)
        static_cast<CurlMultiDriver *>(driver)->Opened(socket);
    return socket;
}

int CurlMultiDriver::OnCloseSocket(void *driver, curl_socket_t socket)
{
    // The notifiers go first: none may stay on a number that a new socket
    // can take once it is closed.
    static_cast<CurlMultiDriver *>(driver)->Closed(socket);
    return CloseDescriptor(socket);
}

void CurlMultiDriver::Watch(curl_socket_t socket, int what)
{
    SocketWatch &watch = sockets[socket];
    if (!watch.read) {
        watch.read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        watch.write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(watch.read, &QSocketNotifier::activated, this,
            [this, notifier = watch.read, socket] { Activated(notifier, socket, CURL_CSELECT_IN); });
        connect(watch.write, &QSocketNotifier::activated, this,
            [this, notifier = watch.write, socket] { Activated(notifier, socket, CURL_CSELECT_OUT); });
    }
    watch.read->setEnabled(what & CURL_POLL_IN);
    watch.write->setEnabled(what & CURL_POLL_OUT);
}

void CurlMultiDriver::Unwatch(curl_socket_t socket)
{
    const auto found = sockets.find(socket);
    if (found == sockets.end())
        return;
    if (found->ours) {
        // Probably a connection kept for the next download: it may still be
        // closed right after this, which OnCloseSocket will tell.
        if (found->read) {
            found->read->setEnabled(false);
            found->write->setEnabled(false);
        }
    } else {
        Discard(*found);
        sockets.erase(found);
    }
}

void CurlMultiDriver::Opened(curl_socket_t socket)
{
    // Whatever is still recorded under this number belonged to a socket
    // that was closed without notice.
    const auto stale = sockets.find(socket);
    if (stale != sockets.end()) {
        Discard(*stale);
        sockets.erase(stale);
    }
    sockets[socket].ours = true;
}

void CurlMultiDriver::Closed(curl_socket_t socket)
{
    const auto found = sockets.find(socket);
    if (found == sockets.end())
        return;
    Discard(*found);
    sockets.erase(found);
}

void CurlMultiDriver::Discard(const SocketWatch &watch)
{
    for (QSocketNotifier *notifier : {watch.read, watch.write}) {
        if (!notifier)
            continue;
        notifier->setEnabled(false);
        // The one whose activation is being handled goes once it returns.
        if (std::find(activating.begin(), activating.end(), notifier) != activating.end())
            notifier->deleteLater();
        else
            delete notifier;
    }
}

void CurlMultiDriver::Activated(QSocketNotifier *notifier, curl_socket_t socket, int readiness)
{
    activating.push_back(notifier);
    Act(socket, readiness);
    activating.pop_back();
}

void CurlMultiDriver::Act(curl_socket_t socket, int readiness)
{
    int running = 0;
    ++insideCurl;
    curl_multi_socket_action(multi, socket, readiness, &running);
    --insideCurl;
    AfterCurl();
}

void CurlMultiDriver::AfterCurl()
{
    for (CURL *easy : std::exchange(removeLater, {}))
        curl_multi_remove_handle(multi, easy);
    CollectFinished();
    DeliverQueued();
}

void CurlMultiDriver::CollectFinished()
{
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        // The message dies with the removal: copy what is needed first.
        CURL *easy = message->easy_handle;
        const CURLcode result = message->data.result;
        char *owner = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
        curl_multi_remove_handle(multi, easy);
        if (owner) {
            auto *transfer = static_cast<CurlTransfer *>(static_cast<void *>(owner));
            transfer->TransferDone(result);
            Queue(transfer);
        }
    }
}

void CurlMultiDriver::DeliverQueued()
{
    // One owner at a time and no iterator across a delivery: a handler may
    // pump events, and the nested pass takes over the rest of this queue.
    while (!queued.empty()) {
        CurlTransfer *owner = queued.front();
        queued.pop_front();
        owner->DeliverEvents();
    }
}
