#pragma once

#include "engine/CurlTransfer.h"
#include "engine/DownloadedBody.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <cstdint>
#include <memory>

class CurlMultiDriver;

// Fetches one URL at a time without blocking and reports through three
// events, each carrying the instance's index. The body is spooled to a
// temporary file in SpoolFolder as it arrives and handed to the completion
// handler as a DownloadedBody.
//
// Redirects are not followed: a 3xx answer raises DownloadProgress with
// status 3 as soon as its status line arrives; a handler that does not
// cancel then gets DownloadError with the status line. An HTTP status of 400
// or more, or any transport failure, raises DownloadError with code 0.
//
// Connect the events directly: the body exists only while the completion
// handler runs. Handlers may cancel, start downloads and pump events; an
// instance must not be deleted from inside its own handlers (use deleteLater).
class FileDL : public QObject, private CurlTransfer {
    Q_OBJECT
public:
    explicit FileDL(int index, QObject *parent = nullptr);
    ~FileDL() override;

    int32_t UserNum() const;
    void SetUserNum(int32_t value);
    QString UserStr() const;
    void SetUserStr(const QString &value);
    QVariant UserVar() const;
    void SetUserVar(const QVariant &value);
    QString UrlRead() const;

    // Where the next downloads are spooled (default: the system temp
    // folder). The same file system as the target makes the final save a
    // rename; a folder that cannot take a file falls back to the default.
    QString SpoolFolder() const;
    void SetSpoolFolder(const QString &folder);

    // FileType and DownloadType are accepted for their callers' sake: the
    // body always goes to a file, and nothing is ever answered from a cache.
    void BeginDownload(
        const QString &Path, const QString &Key = QString(), int32_t FileType = 2, int32_t DownloadType = 16);
    // BeginDownload that continues a body cut short: the request asks for
    // the bytes after partial's, which are kept when the server answers 206
    // from there; any other answer starts the body over.
    void ResumeDownload(const QString &Path, const QString &Key, std::unique_ptr<DownloadedBody> partial);
    bool IsDownloading() const;
    void Cancel(const QString &Key = QString());
    static QString GetStatusCode(int32_t Code);
    int Index() const;
    // What the server answered for the download whose completion or error
    // is being raised: the HTTP status (0 for none, as with FTP or a failed
    // connection) and the Content-Type header ("" when absent).
    int HttpStatus() const;
    QString ContentType() const;
    // Also for the download whose error is being raised: the Retry-After
    // header ("" when absent); whether the failure may go away by itself (a
    // connection refused, reset or timed out, a body cut short, HTTP 408,
    // 429, 500, 502, 503 or 504); and the bytes that had arrived, taken out
    // for a later ResumeDownload (nullptr when none had).
    QString RetryAfter() const;
    bool FailureIsTransient() const;
    std::unique_ptr<DownloadedBody> TakePartialBody();

Q_SIGNALS:
    void DownloadProgress(int index, const QString &Key, qint64 Progress, qint64 ProgressMax, int32_t StatusNumber,
        const QString &StatusText);
    void DownloadError(int index, const QString &Key, int32_t Code, const QString &Description);
    void DownloadComplete(int index, const QString &Key, const DownloadedBody &byteArray, int32_t Code);

private:
    struct StartFailure {
        int32_t code = 0;
        QString text;
    };

    static size_t OnBody(char *data, size_t size, size_t count, void *self);
    static size_t OnHeader(char *data, size_t size, size_t count, void *self);
    size_t Received(const char *data, size_t length);
    void HeaderLine(const char *data, size_t length);

    static StartFailure CheckUrl(const QByteArray &url);
    void Begin(const QString &path, const QString &key, std::unique_ptr<DownloadedBody> partial);
    StartFailure Start(const QString &path);
    bool AdoptResumedBody();
    void StopTransfer();
    void Resume();
    void ClearRecord();
    void TransferDone(CURLcode result) override;
    void DeliverEvents() override;
    bool RaiseNextEvent();
    bool ProgressDue() const;
    void RaiseProgress(int32_t status);
    void RaiseCompletion();
    QString FailureText() const;

    const int index;
    std::shared_ptr<CurlMultiDriver> driver;
    CURL *easy = nullptr;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_slist *noCacheHeaders = nullptr;

    int32_t userNum = 0;
    QString userStr;
    QVariant userVar;
    QString urlRead;
    QString key;
    QString spoolFolder;
    bool isDownloading = false;
    // Bumped by every BeginDownload, so that the end of a completion handler
    // can tell whether the handler started the next download here.
    quint64 generation = 0;
    bool transferring = false;
    bool delivering = false;

    // What the libcurl callbacks recorded for the current download.
    std::unique_ptr<DownloadedBody> body;
    int httpStatus = 0;
    QString statusLine;
    QString contentType;
    QString retryAfter;
    qint64 rangeStart = -1; // where a 206 answer's Content-Range starts
    // The body a resumed download continues, until its answer shows
    // whether it can; and a failed download's body while its error is raised.
    std::unique_ptr<DownloadedBody> resumed;
    std::unique_ptr<DownloadedBody> failedBody;
    bool rangeRefused = false;
    qint64 received = 0;
    qint64 discarded = 0;
    qint64 contentLength = -1;
    bool writeFailed = false;
    bool redirectPending = false;
    bool progressPending = false;
    bool finished = false;
    CURLcode result = CURLE_OK;

    // A fast download yields to the event loop after a budget of bytes: the
    // write callback pauses the transfer and resumeTimer, a zero timer, lets
    // it go on in a later pass.
    qint64 sinceResume = 0;
    bool paused = false;
    QTimer resumeTimer;

    QElapsedTimer sinceProgress;
    QTimer progressTimer;
};
