// Writes the content server's static tree into a folder, so any static web server can stand in
// for it: one ASX playlist per content-server channel, the ad pages and the portal page.

#include "ChannelCatalogue.h"
#include "StreamTable.h"
#include "TsvTable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "lumivo-content-tree: %s\n", qPrintable(message));
    std::exit(1);
}

QString xmlEscaped(const QString& text)
{
    QString out = text.toHtmlEscaped(); // & < > "
    out.replace(u'\'', QStringLiteral("&apos;"));
    return out;
}

void writeFile(const QString& path, const QString& text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        fail(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

QString asxPlaylist(const QString& caption, const QString& stream)
{
    const QString title = xmlEscaped(caption);
    return QStringLiteral("<asx version=\"3.0\">\n"
                          "  <title>%1</title>\n"
                          "  <entry>\n"
                          "    <title>%1</title>\n"
                          "    <ref href=\"%2\"/>\n"
                          "  </entry>\n"
                          "</asx>\n")
        .arg(title, xmlEscaped(stream));
}

QString page(const QString& title, const QString& heading, const QString& line, const QString& accent)
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>%1</title>
<style>
  html, body { margin: 0; height: 100%; }
  body { display: flex; align-items: center; justify-content: center; gap: 1em;
         font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif;
         background: linear-gradient(90deg, %4, #1d2733); color: #f4f6f8; }
  h1 { margin: 0; font-size: 20px; font-weight: 600; letter-spacing: 0.1em; }
  p { margin: 0; font-size: 13px; opacity: 0.85; }
</style>
</head>
<body>
  <h1>%2</h1>
  <p>%3</p>
</body>
</html>
)")
        .arg(title, heading, line, accent);
}

QString portalPage()
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>直播电视与电影</title>
<style>
  body { margin: 0; padding: 24px; font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif;
         background: #f3f5f8; color: #1d2733; }
  h1 { font-size: 22px; margin: 0 0 12px; }
  ul { list-style: none; padding: 0; display: flex; gap: 12px; flex-wrap: wrap; }
  li { background: #fff; border-radius: 6px; padding: 12px 18px; box-shadow: 0 1px 3px #0002; }
</style>
</head>
<body>
  <h1>直播电视与电影</h1>
  <p>本地演示门户：节目单整理中，敬请期待。</p>
  <ul><li>电视直播</li><li>热门电影</li><li>综艺娱乐</li><li>体育赛事</li></ul>
</body>
</html>
)");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the content server's static tree into OUTDIR: /asx/REGION/CODE.asx for every "
        "content-server channel, /ad/ad.html, /ad/fmad.html, /ad/cntvad.html and /3tv/index.html. "
        "Each playlist names the stream mapped to its channel key."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("OUTDIR"), QStringLiteral("folder to write the tree into"));
    const QCommandLineOption defaultOption(QStringLiteral("stream-default"),
                                           QStringLiteral("stream for every channel not mapped otherwise"),
                                           QStringLiteral("URL"));
    const QCommandLineOption streamOption(QStringLiteral("stream"),
                                          QStringLiteral("stream for one channel (repeatable)"),
                                          QStringLiteral("KEY=URL"));
    const QCommandLineOption streamsOption(QStringLiteral("streams"),
                                           QStringLiteral("TSV file of channel key TAB stream URL"),
                                           QStringLiteral("FILE"));
    parser.addOptions({defaultOption, streamOption, streamsOption});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        parser.showHelp(2);
    const QString outDir = positional.first();

    QHash<QString, QString> streams;
    const auto map = [&](const QString& key, const QString& url, const QString& where) {
        const StreamEntry* e = StreamTable::entry(key);
        if (!e || !e->isContent())
            fail(QStringLiteral("%1: '%2' is not a channel on the content server").arg(where, key));
        if (url.isEmpty() || std::any_of(url.cbegin(), url.cend(), [](QChar c) { return c.isSpace() || c < u' '; }))
            fail(QStringLiteral("%1: '%2': stream URL '%3' is empty or contains white space").arg(where, key, url));
        streams.insert(key, url);
    };
    if (parser.isSet(streamsOption)) {
        const QString path = parser.value(streamsOption);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        const QByteArray text = file.readAll();
        QString error;
        const auto rows = TsvTable::parse(std::string_view(text.constData(), size_t(text.size())), 2, &error);
        if (!error.isEmpty())
            fail(path + QStringLiteral(": ") + error);
        for (const auto& row : rows)
            map(row.fields[0], row.fields[1], path + u':' + QString::number(row.line));
    }
    for (const QString& value : parser.values(streamOption)) {
        const qsizetype eq = value.indexOf(u'=');
        if (eq <= 0)
            fail(QStringLiteral("--stream expects KEY=URL, got '%1'").arg(value));
        map(value.left(eq), value.mid(eq + 1), QStringLiteral("--stream"));
    }
    const QString fallback = parser.value(defaultOption);

    int playlists = 0;
    QStringList unmapped;
    for (const StreamEntry& e : StreamTable::entries()) {
        if (!e.isContent())
            continue;
        const QString stream = streams.value(e.key, fallback);
        if (stream.isEmpty()) {
            unmapped.push_back(e.key);
            continue;
        }
        writeFile(outDir + e.contentPath(), asxPlaylist(ChannelCatalogue::find(e.key)->caption, stream));
        ++playlists;
    }
    if (!unmapped.isEmpty())
        fail(QStringLiteral("%1 channels have no stream (first: %2); give --stream-default URL")
                 .arg(unmapped.size())
                 .arg(unmapped.first()));

    writeFile(outDir + QStringLiteral("/ad/ad.html"),
              page(QStringLiteral("Lumivo网络电视"), QStringLiteral("Lumivo网络电视"),
                   QStringLiteral("精彩直播，一点即看"), QStringLiteral("#2b5f9e")));
    writeFile(outDir + QStringLiteral("/ad/fmad.html"),
              page(QStringLiteral("Lumivo网络收音机"), QStringLiteral("Lumivo网络收音机"),
                   QStringLiteral("好声音，伴您每一刻"), QStringLiteral("#7a3f8f")));
    writeFile(outDir + QStringLiteral("/ad/cntvad.html"),
              page(QStringLiteral("网络电视频道"), QStringLiteral("网络电视频道"),
                   QStringLiteral("央视频道，随时收看"), QStringLiteral("#a33a2f")));
    writeFile(outDir + QStringLiteral("/3tv/index.html"), portalPage());

    std::printf("wrote %d playlists, 3 ad pages and the portal page to %s\n", playlists,
                qPrintable(QDir(outDir).absolutePath()));
    return 0;
}
