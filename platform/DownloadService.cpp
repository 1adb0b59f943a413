#include "DownloadService.h"

#include <QDir>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTemporaryFile>

#include <memory>

namespace {

// Bounds what the network layer holds for us between two reads, so a huge body never piles up.
constexpr qint64 ReadBufferSize = 256 * 1024;
constexpr qint64 ReadChunkSize = 64 * 1024;

bool isWebScheme(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

// One download: the chain of requests it takes through redirects, and its cache file.
class DownloadJob : public QObject
{
public:
    DownloadJob(DownloadService* service, const QString& tag, const QUrl& url, int options)
        : QObject(service), m_service(service), m_tag(tag), m_url(url), m_options(options)
    {
    }

    void begin()
    {
        if (!m_done)
            request(m_url);
    }

    // Stops everything without a report; the service forgets the job.
    void stop()
    {
        m_done = true;
        if (m_lookupId >= 0)
            QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
        dropReply();
        m_cache.reset(); // removes the partial cache file
    }

private:
    // Sends one report; false when the receiver stopped the job inside it.
    bool report(DownloadService::Status status, const QString& text, const QString& errorValue = {})
    {
        QPointer<DownloadJob> self(this);
        Q_EMIT m_service->progress(m_tag, status, text, m_bytesRead, m_bytesMax, errorValue);
        return self && !m_done;
    }

    void request(const QUrl& url)
    {
        m_url = url;
        m_headersDone = false;
        const QString host = url.host();
        if (QHostAddress literal; literal.setAddress(host)) {
            connectTo(literal.toString());
            return;
        }
        // Resolve first so the connecting report can name the peer; the network layer's own lookup
        // then hits the host cache.
        m_lookupId = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
            m_lookupId = -1;
            if (m_done)
                return;
            if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
                fail(info.errorString());
                return;
            }
            connectTo(info.addresses().constFirst().toString());
        });
    }

    void connectTo(const QString& address)
    {
        if (!report(DownloadService::Connecting, address))
            return;
        QNetworkRequest req(m_url);
        req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        // Bytes counted, bytes announced and bytes saved must be the same bytes: no transfer coding.
        req.setRawHeader("Accept-Encoding", "identity");
        if (m_options & DownloadService::GetNewestVersion) {
            req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
            req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
            req.setRawHeader("Cache-Control", "no-cache");
            req.setRawHeader("Pragma", "no-cache");
        }
        req.setTransferTimeout(DownloadService::TransferTimeoutMs);
        m_reply = m_service->m_network->get(req);
        m_reply->setReadBufferSize(ReadBufferSize);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] { onHeaders(); });
        connect(m_reply, &QNetworkReply::readyRead, this, [this] { onReadyRead(); });
        connect(m_reply, &QNetworkReply::finished, this, [this] { onFinished(); });
    }

    void onHeaders()
    {
        if (m_done || m_headersDone || !m_reply)
            return;
        m_headersDone = true;
        const int code = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        if (code >= 300 && code < 400) {
            const QByteArray location = m_reply->rawHeader("Location");
            if (location.isEmpty()) {
                fail(QStringLiteral("HTTP %1 %2").arg(code).arg(reason));
                return;
            }
            const QUrl target = m_url.resolved(QUrl::fromEncoded(location));
            dropReply();
            if (!report(DownloadService::Redirecting, target.toString()))
                return;
            if (++m_redirects > DownloadService::MaxRedirects) {
                fail(QStringLiteral("Too many redirects"));
                return;
            }
            // A web server must not be able to send us to a local file or another protocol.
            if (!target.isValid() || !isWebScheme(target) || target.host().isEmpty()) {
                fail(QStringLiteral("Redirected to an unsupported address: %1").arg(target.toString()));
                return;
            }
            request(target);
            return;
        }
        if (code >= 400) {
            fail(QStringLiteral("HTTP %1 %2").arg(code).arg(reason));
            return;
        }
        const QString mime = QString::fromLatin1(m_reply->rawHeader("Content-Type"));
        if (!mime.isEmpty() && !report(DownloadService::MimeTypeAvailable, mime))
            return;

        m_cache = std::make_unique<QTemporaryFile>(m_service->cacheFolder() + QStringLiteral("/lumivo-download-XXXXXX"));
        if (!m_cache->open()) {
            const QString why = m_cache->errorString();
            fail(QStringLiteral("Cannot create the cache file: %1").arg(why));
            return;
        }
        if (!report(DownloadService::CacheFileNameAvailable, m_cache->fileName()))
            return;
        bool known = false;
        const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        m_bytesMax = known && length > 0 ? length : 0;
        report(DownloadService::BeginDownloadData, m_url.toString());
    }

    // Moves what has arrived into the cache file; false when the job ended.
    bool drain()
    {
        if (m_chunk.isEmpty())
            m_chunk.resize(ReadChunkSize);
        while (m_reply && m_reply->bytesAvailable() > 0) {
            const qint64 n = m_reply->read(m_chunk.data(), m_chunk.size());
            if (n <= 0)
                break;
            if (m_cache->write(m_chunk.constData(), n) != n) {
                fail(QStringLiteral("Cannot write the cache file: %1").arg(m_cache->errorString()));
                return false;
            }
            m_bytesRead += n;
        }
        // What a report counts is on disk, not in a buffer of ours.
        if (m_cache && !m_cache->flush()) {
            fail(QStringLiteral("Cannot write the cache file: %1").arg(m_cache->errorString()));
            return false;
        }
        return !m_done;
    }

    // Headers first, then what has arrived goes to the cache file and is reported; false when the
    // job ended on the way or has no body to take yet.
    bool takeArrived()
    {
        if (!m_headersDone)
            onHeaders();
        if (m_done || !m_cache || !m_reply)
            return false;
        const qint64 before = m_bytesRead;
        if (!drain())
            return false;
        return m_bytesRead == before || report(DownloadService::DownloadingData, m_url.toString());
    }

    void onReadyRead()
    {
        if (!m_done)
            takeArrived();
    }

    void onFinished()
    {
        if (m_done || !m_reply)
            return;
        if (m_reply->error() != QNetworkReply::NoError) {
            fail(m_reply->errorString());
            return;
        }
        if (!takeArrived())
            return;
        // The network layer may end a body cut short by the server as if it were whole.
        if (m_bytesMax > 0 && m_bytesRead != m_bytesMax) {
            fail(QStringLiteral("The connection closed after %1 of %2 bytes").arg(m_bytesRead).arg(m_bytesMax));
            return;
        }
        dropReply();
        if (!report(DownloadService::EndDownloadData, m_url.toString()))
            return;
        m_cache->setAutoRemove(false);
        const QString path = m_cache->fileName();
        m_cache.reset();
        m_done = true;
        const qint64 bytes = m_bytesRead;
        DownloadService* service = m_service;
        const QString tag = m_tag;
        service->finishJob(tag); // forgets this job first, so the receiver may start the tag again
        Q_EMIT service->completed(tag, bytes, path);
    }

    void fail(const QString& description)
    {
        stop();
        DownloadService* service = m_service;
        const QString tag = m_tag;
        const qint64 read = m_bytesRead;
        const qint64 max = m_bytesMax;
        service->finishJob(tag);
        Q_EMIT service->progress(tag, DownloadService::Error, description, read, max, description);
    }

    void dropReply()
    {
        if (!m_reply)
            return;
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        // Deleting a reply aborts its transfer; deferred, because this may run inside one of the
        // reply's own signals, where an abort upsets the network layer's bookkeeping.
        reply->deleteLater();
    }

    DownloadService* m_service;
    QString m_tag;
    QUrl m_url;
    int m_options;
    int m_redirects = 0;
    int m_lookupId = -1;
    bool m_headersDone = false;
    bool m_done = false;
    qint64 m_bytesRead = 0;
    qint64 m_bytesMax = 0;
    QNetworkReply* m_reply = nullptr;
    std::unique_ptr<QTemporaryFile> m_cache;
    QByteArray m_chunk; // one buffer for every read
};

DownloadService::DownloadService(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    // No disk cache is ever installed: every download comes from the server.
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DownloadService::~DownloadService()
{
    // Replies belong to the network manager; drop them while it still exists.
    const auto jobs = m_jobs;
    m_jobs.clear();
    for (DownloadJob* job : jobs) {
        job->stop();
        delete job;
    }
}

QString DownloadService::cacheFolder() const { return m_cacheFolder.isEmpty() ? QDir::tempPath() : m_cacheFolder; }

bool DownloadService::start(const QString& url, const QString& tag, int options, StartError* error)
{
    auto refuse = [error](int number, const QString& description) {
        if (error)
            *error = StartError{number, description};
        return false;
    };
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.isRelative())
        return refuse(QNetworkReply::ProtocolInvalidOperationError, QStringLiteral("Invalid URL: %1").arg(url));
    if (!isWebScheme(parsed))
        return refuse(QNetworkReply::ProtocolUnknownError, QStringLiteral("Protocol \"%1\" is unknown").arg(parsed.scheme()));
    if (parsed.host().isEmpty())
        return refuse(QNetworkReply::ProtocolInvalidOperationError, QStringLiteral("Invalid URL: %1").arg(url));
    if (m_jobs.contains(tag))
        return refuse(QNetworkReply::OperationCanceledError, QStringLiteral("A download named %1 is already running").arg(tag));

    auto* job = new DownloadJob(this, tag, parsed, options);
    m_jobs.insert(tag, job);
    // Reports never arrive inside start(): the caller sets up its state after starting.
    QMetaObject::invokeMethod(job, [job] { job->begin(); }, Qt::QueuedConnection);
    return true;
}

void DownloadService::cancel(const QString& tag)
{
    DownloadJob* job = m_jobs.value(tag);
    if (!job)
        return;
    job->stop();
    finishJob(tag);
}

bool DownloadService::isRunning(const QString& tag) const { return m_jobs.contains(tag); }

void DownloadService::finishJob(const QString& tag)
{
    if (DownloadJob* job = m_jobs.take(tag))
        job->deleteLater();
}
