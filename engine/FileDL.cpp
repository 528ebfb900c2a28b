#include "engine/FileDL.h"

#include "engine/CurlMultiDriver.h"

#include <QDir>
#include <QPointer>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

// One progress event per download per this many milliseconds, plus the last.
constexpr qint64 ProgressInterval = 50;
// The body of a redirect or an error answer is read and dropped, so that the
// connection stays usable; a larger one ends the transfer.
constexpr qint64 MaxDiscardedBody = 1024 * 1024;
// libcurl reads on while the socket stays readable, up to about 100 of
// these per call: 128 KiB keeps a single call short and still takes in data
// as fast as libcurl's own tool does.
constexpr long TransferBuffer = 128 * 1024;
// What one download may take in before the event loop gets its turn.
constexpr qint64 PassBudget = 8 * 1024 * 1024;
constexpr const char *AllowedSchemes[] = {"http", "https", "ftp", "ftps"};

enum Status : int32_t { Failed = 0, Redirecting = 3, InProgress = 5, Complete = 6 };

// URLs are fetched as given; only characters that cannot travel raw (blanks,
// controls, non-ASCII) are percent-encoded the way a browser would.
QByteArray TransportUrl(const QString &path)
{
    const bool plain =
        std::all_of(path.begin(), path.end(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
    return plain ? path.toLatin1() : QUrl(path, QUrl::TolerantMode).toEncoded();
}

bool AllowedScheme(const char *scheme)
{
    return std::any_of(std::begin(AllowedSchemes), std::end(AllowedSchemes),
        [scheme](const char *allowed) { return std::strcmp(scheme, allowed) == 0; });
}

} // namespace

FileDL::FileDL(int slotIndex, QObject *parent)
    : QObject(parent),
      index(slotIndex),
      driver(CurlMultiDriver::Shared()),
      easy(curl_easy_init()),
      spoolFolder(QDir::tempPath())
{
    progressTimer.setSingleShot(true);
    connect(&progressTimer, &QTimer::timeout, this, &FileDL::DeliverEvents);
    resumeTimer.setSingleShot(true);
    resumeTimer.setInterval(0);
    connect(&resumeTimer, &QTimer::timeout, this, &FileDL::Resume);
    if (!easy)
        return;
    driver->Prepare(easy);
    // Set once: the handle keeps them from download to download.
    curl_easy_setopt(easy, CURLOPT_PRIVATE, static_cast<void *>(static_cast<CurlTransfer *>(this)));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &FileDL::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &FileDL::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, TransferBuffer);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Tavrin/" TAVRIN_VERSION);
    curl_easy_setopt(easy, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 60L);
    // A server that stops sending for two minutes frees its slot.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, 120L);
    // Never from a cache, a caching proxy's included.
    noCacheHeaders = curl_slist_append(noCacheHeaders, "Cache-Control: no-cache");
    noCacheHeaders = curl_slist_append(noCacheHeaders, "Pragma: no-cache");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, noCacheHeaders);
}

FileDL::~FileDL()
{
    StopTransfer();
    driver->Forget(this);
    if (easy)
        curl_easy_cleanup(easy);
    curl_slist_free_all(noCacheHeaders);
}

int32_t FileDL::UserNum() const
{
    return userNum;
}
void FileDL::SetUserNum(int32_t value)
{
    userNum = value;
}
QString FileDL::UserStr() const
{
    return userStr;
}
void FileDL::SetUserStr(const QString &value)
{
    userStr = value;
}
QVariant FileDL::UserVar() const
{
    return userVar;
}
void FileDL::SetUserVar(const QVariant &value)
{
    userVar = value;
}
QString FileDL::UrlRead() const
{
    return urlRead;
}
QString FileDL::SpoolFolder() const
{
    return spoolFolder;
}
bool FileDL::IsDownloading() const
{
    return isDownloading;
}
int FileDL::Index() const
{
    return index;
}
int FileDL::HttpStatus() const
{
    return httpStatus;
}
QString FileDL::ContentType() const
{
    return contentType;
}
QString FileDL::RetryAfter() const
{
    return retryAfter;
}

bool FileDL::FailureIsTransient() const
{
    if (writeFailed || rangeRefused)
        return false;
    switch (httpStatus) {
    case 408:
    case 429:
    case 500:
    case 502:
    case 503:
    case 504:
        return true;
    default:
        break;
    }
    if (httpStatus >= 300)
        return false;
    switch (result) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return true;
    default:
        return false;
    }
}

std::unique_ptr<DownloadedBody> FileDL::TakePartialBody()
{
    if (!failedBody || failedBody->Size() == 0)
        return nullptr;
    return std::move(failedBody);
}

void FileDL::SetSpoolFolder(const QString &folder)
{
    spoolFolder = folder.isEmpty() ? QDir::tempPath() : folder;
}

void FileDL::BeginDownload(const QString &Path, const QString &Key, int32_t, int32_t)
{
    Begin(Path, Key, nullptr);
}

void FileDL::ResumeDownload(const QString &Path, const QString &Key, std::unique_ptr<DownloadedBody> partial)
{
    Begin(Path, Key, std::move(partial));
}

void FileDL::Begin(const QString &path, const QString &downloadKey, std::unique_ptr<DownloadedBody> partial)
{
    StopTransfer();
    ClearRecord();
    isDownloading = true;
    const quint64 download = ++generation;
    urlRead = path;
    key = downloadKey;
    // Only HTTP says whether it resumed (206); anything else starts over.
    const bool http = path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (partial && partial->Size() > 0 && http)
        resumed = std::move(partial);
    const StartFailure failure = Start(path);
    if (failure.code == 0)
        return;
    ClearRecord();
    const QString failedKey = key;
    Q_EMIT DownloadError(index, failedKey, failure.code, failure.text);
    if (generation == download)
        isDownloading = false;
}

void FileDL::Cancel(const QString &Key)
{
    if (Key == key) {
        StopTransfer();
        ClearRecord();
    }
    isDownloading = false;
}

QString FileDL::GetStatusCode(int32_t Code)
{
    switch (Code) {
    case 0:
        return QStringLiteral("An Error Has Occurred.");
    case 1:
        return QStringLiteral("Finding Resource.");
    case 2:
        return QStringLiteral("Connecting To Resource.");
    case 3:
        return QStringLiteral("Redirecting.");
    case 4:
        return QStringLiteral("Download Initialized.");
    case 5:
        return QStringLiteral("Download In Progress.");
    case 6:
        return QStringLiteral("Download Complete.");
    case 10:
        return QStringLiteral("Using Cached Copy.");
    case 11:
        return QStringLiteral("Sending Request.");
    case 13:
        return QStringLiteral("MIME Type Is Available.");
    case 14:
        return QStringLiteral("Local Cache File Is Available.");
    case 15:
        return QStringLiteral("Synchronous Download Has Started.");
    case 16:
        return QStringLiteral("Synchronous Download Complete.");
    default:
        return QStringLiteral("Unknown.");
    }
}

FileDL::StartFailure FileDL::CheckUrl(const QByteArray &url)
{
    CURLU *parsed = curl_url();
    if (!parsed)
        return {CURLE_OUT_OF_MEMORY, QString::fromLatin1(curl_easy_strerror(CURLE_OUT_OF_MEMORY))};
    StartFailure failure;
    const CURLUcode parse = curl_url_set(parsed, CURLUPART_URL, url.constData(), CURLU_GUESS_SCHEME);
    char *scheme = nullptr;
    if (parse != CURLUE_OK) {
        failure.code = parse == CURLUE_UNSUPPORTED_SCHEME ? CURLE_UNSUPPORTED_PROTOCOL : CURLE_URL_MALFORMAT;
        failure.text = QString::fromLatin1(curl_url_strerror(parse));
    } else if (curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK || !AllowedScheme(scheme)) {
        failure.code = CURLE_UNSUPPORTED_PROTOCOL;
        failure.text = QString::fromLatin1(curl_easy_strerror(CURLE_UNSUPPORTED_PROTOCOL));
    }
    curl_free(scheme);
    curl_url_cleanup(parsed);
    return failure;
}

FileDL::StartFailure FileDL::Start(const QString &path)
{
    const QByteArray url = TransportUrl(path);
    StartFailure failure = CheckUrl(url);
    if (failure.code != 0)
        return failure;
    if (!easy)
        return {CURLE_FAILED_INIT, QString::fromLatin1(curl_easy_strerror(CURLE_FAILED_INIT))};
    body = std::make_unique<DownloadedBody>();
    if (!body->Create(spoolFolder) && !body->Create(QDir::tempPath()))
        return {CURLE_WRITE_ERROR, body->ErrorString()};
    errorBuffer[0] = '\0';
    const CURLcode set = curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    if (set != CURLE_OK)
        return {set, QString::fromLatin1(curl_easy_strerror(set))};
    // libcurl copies the text; the handle keeps no range from a resumed download.
    const QByteArray range = resumed ? QByteArray::number(resumed->Size()) + '-' : QByteArray();
    curl_easy_setopt(easy, CURLOPT_RANGE, resumed ? range.constData() : nullptr);
    const CURLMcode added = driver->Add(easy);
    if (added != CURLM_OK)
        return {added, QString::fromLatin1(curl_multi_strerror(added))};
    transferring = true;
    return {};
}

void FileDL::StopTransfer()
{
    if (transferring) {
        driver->Remove(easy);
        transferring = false;
    }
    // Removing the handle also drops the data libcurl held back for it.
    paused = false;
    resumeTimer.stop();
}

// From the event loop, outside libcurl.
void FileDL::Resume()
{
    // A cancel, a new download or the end of this one came first.
    if (!paused || !transferring)
        return;
    paused = false;
    sinceResume = 0;
    driver->Resume(easy);
}

void FileDL::ClearRecord()
{
    body.reset();
    resumed.reset();
    failedBody.reset();
    rangeRefused = false;
    httpStatus = 0;
    statusLine.clear();
    contentType.clear();
    retryAfter.clear();
    rangeStart = -1;
    received = 0;
    discarded = 0;
    contentLength = -1;
    writeFailed = false;
    redirectPending = false;
    progressPending = false;
    finished = false;
    result = CURLE_OK;
    sinceResume = 0;
    sinceProgress.invalidate();
    progressTimer.stop();
}

size_t FileDL::OnBody(char *data, size_t size, size_t count, void *self)
{
    return static_cast<FileDL *>(self)->Received(data, size * count);
}

size_t FileDL::OnHeader(char *data, size_t size, size_t count, void *self)
{
    static_cast<FileDL *>(self)->HeaderLine(data, size * count);
    return size * count;
}

// Inside libcurl: record only.
size_t FileDL::Received(const char *data, size_t length)
{
    if (httpStatus >= 300) {
        discarded += qint64(length);
        return discarded <= MaxDiscardedBody ? length : 0;
    }
    if (sinceResume >= PassBudget) {
        // None of these bytes is taken: libcurl holds them back and hands
        // them over again once resumed.
        paused = true;
        resumeTimer.start();
        return CURL_WRITEFUNC_PAUSE;
    }
    if (resumed && !AdoptResumedBody()) {
        rangeRefused = true;
        return 0;
    }
    if (contentLength < 0) {
        curl_off_t announced = -1;
        curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        // A resumed body's size counts the bytes it had.
        contentLength = announced > 0 ? announced + received : 0;
    }
    if (!body->Append(data, qint64(length))) {
        writeFailed = true;
        return 0;
    }
    received += qint64(length);
    sinceResume += qint64(length);
    progressPending = true;
    driver->Queue(this);
    return length;
}

// Inside libcurl: the body of a resumed download goes on, or is dropped
// and the fresh one starts over. False when the server answered 206
// from another byte than the one asked for.
bool FileDL::AdoptResumedBody()
{
    std::unique_ptr<DownloadedBody> partial = std::move(resumed);
    if (httpStatus != 206)
        return true;
    if (rangeStart != partial->Size())
        return false;
    body = std::move(partial);
    received = body->Size();
    return true;
}

// Inside libcurl: record only. Of the header lines the status line matters,
// and for a retry Retry-After and Content-Range; a 1xx answer is followed by
// the real one.
void FileDL::HeaderLine(const char *data, size_t length)
{
    const auto value = [&](size_t nameLength) {
        return QByteArray(data + nameLength, qsizetype(length - nameLength)).trimmed();
    };
    if (length > 12 && qstrnicmp(data, "retry-after:", 12) == 0) {
        retryAfter = QString::fromLatin1(value(12));
        return;
    }
    if (length > 14 && qstrnicmp(data, "content-range:", 14) == 0) {
        // "bytes FIRST-LAST/SIZE"
        const QByteArray range = value(14);
        bool ok = false;
        const qint64 first = range.mid(6, range.indexOf('-') - 6).toLongLong(&ok);
        rangeStart = range.startsWith("bytes ") && ok ? first : -1;
        return;
    }
    if (length < 10 || std::memcmp(data, "HTTP/", 5) != 0)
        return;
    const QByteArray line = QByteArray(data, qsizetype(length)).trimmed();
    const int status = line.mid(line.indexOf(' ') + 1, 3).toInt();
    retryAfter.clear();
    rangeStart = -1;
    if (status < 200)
        return;
    httpStatus = status;
    statusLine = QString::fromLatin1(line);
    if (status < 400 && status >= 300) {
        redirectPending = true;
        driver->Queue(this);
    }
}

void FileDL::TransferDone(CURLcode code)
{
    transferring = false;
    paused = false;
    resumeTimer.stop();
    result = code;
    finished = true;
    // A 2xx answer with no body bytes still decides on the resumed body;
    // with no answer, or an error, it is kept for the next try.
    if (resumed && httpStatus >= 200 && httpStatus < 300)
        rangeRefused = !AdoptResumedBody();
    body->Close();
    const char *type = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        contentType = QString::fromLatin1(type);
    // Every completed download shows at least one progress event.
    if (code == CURLE_OK && httpStatus < 300 && !sinceProgress.isValid())
        progressPending = true;
}

void FileDL::DeliverEvents()
{
    // A nested pass while this instance is raising an event leaves the work
    // to the loop of the outer pass.
    if (delivering)
        return;
    delivering = true;
    const QPointer<FileDL> alive(this);
    while (RaiseNextEvent() && alive) {
    }
    if (!alive)
        return;
    delivering = false;
    if (progressPending && !finished && !progressTimer.isActive())
        progressTimer.start(int(std::max<qint64>(0, ProgressInterval - sinceProgress.elapsed())));
}

bool FileDL::RaiseNextEvent()
{
    if (redirectPending) {
        redirectPending = false;
        RaiseProgress(Redirecting);
    } else if (progressPending && (finished || ProgressDue())) {
        progressPending = false;
        RaiseProgress(InProgress);
    } else if (finished) {
        finished = false;
        RaiseCompletion();
    } else {
        return false;
    }
    return true;
}

bool FileDL::ProgressDue() const
{
    return !sinceProgress.isValid() || sinceProgress.elapsed() >= ProgressInterval;
}

void FileDL::RaiseProgress(int32_t status)
{
    const QString currentKey = key;
    if (status == InProgress)
        sinceProgress.start();
    Q_EMIT DownloadProgress(
        index, currentKey, received, std::max<qint64>(contentLength, 0), status, GetStatusCode(status));
}

void FileDL::RaiseCompletion()
{
    const quint64 download = generation;
    const QString currentKey = key;
    const QString failure = FailureText();
    // The handler may start the next download here: this one's body is
    // handed over and its spool file goes when it does, unless saved.
    std::unique_ptr<DownloadedBody> done = std::move(body);
    if (failure.isNull()) {
        Q_EMIT DownloadComplete(index, currentKey, *done, Complete);
    } else {
        // The error handler may take the bytes that arrived, to resume later.
        failedBody = resumed ? std::move(resumed) : std::move(done);
        Q_EMIT DownloadError(index, currentKey, Failed, failure);
        failedBody.reset();
    }
    if (generation == download)
        isDownloading = false;
}

QString FileDL::FailureText() const
{
    QString text;
    if (rangeRefused)
        text = QStringLiteral("The server did not resume the download where it had stopped.");
    else if (writeFailed)
        text = body->ErrorString();
    else if (httpStatus >= 300)
        text = statusLine;
    else if (result != CURLE_OK)
        text = QString::fromLocal8Bit(errorBuffer[0] ? errorBuffer : curl_easy_strerror(result));
    else
        return QString();
    return text.isEmpty() ? GetStatusCode(Failed) : text;
}
