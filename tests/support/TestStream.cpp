#include "TestStream.h"

#include <QFile>
#include <QProcess>

QByteArray makeTestStream(const QString& dir, int seconds, const QString& size, const QString& source)
{
    const QString path = dir + QStringLiteral("/stream.ts");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                  QStringLiteral("%1=size=%2:rate=25:duration=%3").arg(source, size).arg(seconds), "-f", "lavfi", "-i",
                  QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-c:v", "libx264", "-preset",
                  "ultrafast", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac", "-f", "mpegts", path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
