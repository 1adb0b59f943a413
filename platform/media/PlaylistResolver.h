#pragma once

#include "PlaybackStatus.h"

#include <QObject>
#include <QUrl>

// Looks at an http(s) URL before the engine gets it: a playlist is fetched (bounded in size and
// time) and parsed into its candidate streams; anything else is handed on untouched.
class PlaylistResolver : public QObject
{
    Q_OBJECT
public:
    struct Outcome
    {
        enum class Type { Stream, Playlist, Failed } type = Type::Failed;
        QUrl url;                // the URL looked at
        QList<QUrl> candidates;  // for Playlist: the streams to try in order
        PlaybackFailure failure = PlaybackFailure::None;
        QString detail;          // for logs and tests
    };

    struct Limits
    {
        qint64 maxPlaylistBytes = 1 << 20;
        int timeoutMs = 10000;
        int maxRedirects = 8;
    };

    // Every resolve makes its own connections and closes them with the resolve.
    explicit PlaylistResolver(QObject* parent = nullptr);

    void setLimits(const Limits& limits) { m_limits = limits; }
    // Starts looking at `url`; a resolve already under way is cancelled without a signal.
    void resolve(const QUrl& url);
    void cancel();
    bool busy() const;

Q_SIGNALS:
    void finished(const PlaylistResolver::Outcome& outcome);

private:
    // Implementation state belongs to the implementation file: one per resolve, a child of this
    // object, so a destroyed resolver takes its request with it.
    struct State;
    friend struct State;
    void complete(const Outcome& outcome);

    Limits m_limits;
    State* m_state = nullptr;
};
