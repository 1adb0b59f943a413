#pragma once

#include <QByteArray>
#include <QString>

// A live-TV-like test stream made by FFmpeg: H.264 (one key frame a second) with AAC sound in
// MPEG-TS, `seconds` long, from the lavfi video source `source` at `size`. Written to
// `dir`/stream.ts and returned; empty when FFmpeg cannot make it.
QByteArray makeTestStream(const QString& dir, int seconds, const QString& size = QStringLiteral("640x360"),
                          const QString& source = QStringLiteral("testsrc2"));
