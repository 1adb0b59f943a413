#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class DownloadJob;

// The platform's asynchronous URL download service, over QNetworkAccessManager.
//
// A download is named by a tag chosen by the caller. Every stage comes back as a status report on
// the GUI thread, in this order for one download:
//   Connecting (the peer address)            once per request
//   Redirecting (the absolute new URL)       then Connecting again for the new URL, unless the
//                                            receiver cancels the download inside the report
//   MimeTypeAvailable (the Content-Type)     only when the server names one
//   CacheFileNameAvailable (the cache path)
//   BeginDownloadData (bytes maximum)
//   DownloadingData (bytes read, maximum)    as data arrives
//   EndDownloadData (bytes read, maximum)
// then exactly one of: the completed() signal, or an Error report (after which nothing follows).
// Bytes maximum is 0 when the server announces no size.
//
// The body streams into a cache file, never into memory. On completion the cache file is handed
// to the receiver, who deletes it when done; after an error or a cancellation the service deletes
// it itself. Redirects are never followed behind the receiver's back: each one is reported first.
class DownloadService : public QObject
{
    Q_OBJECT
public:
    enum Status {
        Error = 0,
        Connecting = 2,
        Redirecting = 3,
        BeginDownloadData = 4,
        DownloadingData = 5,
        EndDownloadData = 6,
        MimeTypeAvailable = 13,
        CacheFileNameAvailable = 14,
    };

    enum Option {
        NoOptions = 0,
        // Fetch the newest version from the server, never a cached copy.
        GetNewestVersion = 16,
    };

    struct StartError
    {
        int number = 0;
        QString description;
    };

    explicit DownloadService(QObject* parent = nullptr);
    // Running downloads are cancelled without any report.
    ~DownloadService() override;

    // Starts reading url; reports begin after control returns to the event loop, never inside this
    // call. Returns false (and fills error) when the download cannot start: an invalid or relative
    // URL, a scheme other than http or https, or a tag that is already running.
    bool start(const QString& url, const QString& tag, int options = GetNewestVersion, StartError* error = nullptr);
    // Stops the download with this tag, if any; no report follows. Safe inside a report.
    void cancel(const QString& tag);
    bool isRunning(const QString& tag) const;

    // Folder of the cache files; the system's temporary folder when empty.
    void setCacheFolder(const QString& folder) { m_cacheFolder = folder; }
    QString cacheFolder() const;

    // Most redirects followed in one download before it fails.
    static constexpr int MaxRedirects = 20;
    // A transfer that receives nothing for this long fails.
    static constexpr int TransferTimeoutMs = 60000;

Q_SIGNALS:
    // errorValue describes the failure of an Error report and is empty otherwise.
    void progress(const QString& tag, int status, const QString& statusText, qint64 bytesRead, qint64 bytesMax,
                  const QString& errorValue);
    // The whole body is in cacheFile, which now belongs to the receiver.
    void completed(const QString& tag, qint64 bytesRead, const QString& cacheFile);

private:
    friend class DownloadJob;
    void finishJob(const QString& tag);

    QNetworkAccessManager* m_network;
    QHash<QString, DownloadJob*> m_jobs;
    QString m_cacheFolder;
};
