#include "UrlDownload.h"

#include "FileErrors.h"
#include "ReplacingFile.h"
#include "ScriptTexts.h"

#include <QFileInfo>
#include <QUrl>

#include <curl/curl.h>

#include <mutex>

struct UrlDownload::State {
    QString url;
    QString target;
    Limits limits;
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    Result result;
};

namespace {

void initialiseCurlOnce()
{
    // curl_global_init is not thread-safe: done once, from the GUI thread,
    // before the first worker starts.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The file being written with what it may still take.
struct Sink {
    const QString &target;
    ReplacingFile &file;
    const UrlDownload::Limits &limits;
    qint64 written = 0;
    qint64 sinceCheck = 0;
    QString stopped; // why the transfer was stopped here
};

size_t writeToFile(char *data, size_t size, size_t count, void *userData)
{
    auto *sink = static_cast<Sink *>(userData);
    const qint64 bytes = qint64(size * count);
    if (sink->written + bytes > qint64(sink->limits.maxMegabytes) << 20) {
        sink->stopped = ScriptTexts::DownloadTooLarge(sink->limits.maxMegabytes);
        return 0;
    }
    if (sink->limits.freeSpace && (sink->sinceCheck == 0 || sink->sinceCheck + bytes > UrlDownload::CheckEveryBytes)) {
        // The reserve must hold until the next ask.
        const std::optional<DiskReserve::Space> space = sink->limits.freeSpace(sink->file.readablePath());
        if (space && !DiskReserve::allows(*space, bytes + UrlDownload::CheckEveryBytes)) {
            sink->stopped = FileErrors::reserveReached(DiskReserve::reserveFor(space->total)) + QLatin1Char('.');
            return 0;
        }
        sink->sinceCheck = 0;
    }
    if (!sink->file.write(QByteArrayView(data, bytes))) {
        sink->stopped = ScriptTexts::DownloadCannotWrite(sink->target, sink->file.errorDescription());
        return 0;
    }
    sink->written += bytes;
    sink->sinceCheck += bytes;
    return size * count;
}

int progress(void *userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<std::atomic<bool> *>(userData)->load() ? 1 : 0;
}

QString describe(CURLcode code, long httpStatus, const char *detail, const QString &target)
{
    switch (code) {
    case CURLE_HTTP_RETURNED_ERROR:
        return ScriptTexts::DownloadHttpError(httpStatus);
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ScriptTexts::DownloadHostNotFound;
    case CURLE_COULDNT_CONNECT:
        return ScriptTexts::DownloadNoConnection;
    case CURLE_OPERATION_TIMEDOUT:
        return ScriptTexts::DownloadTimeout;
    case CURLE_ABORTED_BY_CALLBACK:
        return ScriptTexts::DownloadCancelled;
    case CURLE_WRITE_ERROR:
        return ScriptTexts::DownloadCannotWrite(target);
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ScriptTexts::DownloadBadScheme;
    default:
        return ScriptTexts::DownloadOther(QString::fromUtf8(detail && *detail ? detail : curl_easy_strerror(code)));
    }
}

UrlDownload::Result transfer(UrlDownload::State &state)
{
    ReplacingFile file(state.target);
    if (!file.open())
        return {false, ScriptTexts::DownloadCannotWrite(state.target, file.errorDescription())};
    Sink sink{state.target, file, state.limits, 0, 0, QString()};

    CURL *curl = curl_easy_init();
    if (!curl)
        return {false, ScriptTexts::DownloadOther(QStringLiteral("curl"))};
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray url = state.url.toUtf8();
    struct curl_slist *headers = nullptr;
    // A fresh copy, not one a cache kept.
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(state.limits.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(state.limits.totalTimeoutMs));
    const long stallSeconds = std::max(1L, long((state.limits.stallTimeoutMs + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state.cancelled);

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);

    if (code != CURLE_OK) {
        file.discard();
        if (code == CURLE_WRITE_ERROR && !sink.stopped.isEmpty())
            return {false, sink.stopped};
        return {false, describe(code, status, errorText, state.target)};
    }
    if (!file.commit())
        return {false, ScriptTexts::DownloadCannotWrite(state.target, file.errorDescription())};
    return {true, QString()};
}

} // namespace

UrlDownload::UrlDownload(const QString &url, const QString &target, const Limits &limits)
    : m_state(std::make_shared<State>())
{
    m_state->url = url;
    m_state->target = target;
    m_state->limits = limits;
}

UrlDownload::~UrlDownload()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

bool UrlDownload::allowedUrl(const QString &url)
{
    const QUrl u(url, QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    return u.isValid() && !u.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")
            || scheme == QLatin1String("ftps"));
}

void UrlDownload::start()
{
    const auto finish = [this](Result r) {
        std::lock_guard lock(m_state->mutex);
        m_state->result = std::move(r);
        m_state->done = true;
    };
    if (!allowedUrl(m_state->url)) {
        finish({false, ScriptTexts::DownloadBadScheme});
        return;
    }
    if (m_state->target.isEmpty()) {
        finish({false, ScriptTexts::DownloadNoTarget});
        return;
    }
    initialiseCurlOnce();
    m_thread = std::thread([state = m_state] {
        Result r = transfer(*state);
        std::lock_guard lock(state->mutex);
        state->result = std::move(r);
        state->done = true;
    });
}

bool UrlDownload::done() const
{
    return m_state->done.load();
}

void UrlDownload::cancel()
{
    m_state->cancelled = true;
}

UrlDownload::Result UrlDownload::result() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->result;
}
