#pragma once

#include <QString>

// What the player's status line reports, and why an open failed.
enum class PlaybackFailure {
    None,
    HostNotFound,   // the name does not resolve
    Refused,        // the host refused the connection
    NotFound,       // the server has no such file (HTTP 404 and the like)
    NotAStream,     // the answer is neither a playlist nor something the engine can play
    TimedOut,       // no answer within the bounds
    Interrupted,    // a stream that was playing stopped
    Forbidden,      // a playlist led to a scheme we do not open (file://, a local path, ...)
    TooLarge,       // a playlist larger than any real one
    Loop,           // playlists or redirects that lead back to themselves
    TooManyAddresses, // a playlist's addresses were tried up to the cap, none played
    Certificate,    // the server's certificate is not valid for it
    Other,
};

enum class PlaybackStage { Idle, Connecting, Buffering, Playing, Paused, Stopped, Failed, Reconnecting };

// The status line's Chinese text for a stage; `percent` is used while buffering.
QString playbackStatusText(PlaybackStage stage, int percent = 0, PlaybackFailure failure = PlaybackFailure::None);
QString playbackFailureText(PlaybackFailure failure);
