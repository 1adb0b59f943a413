// Writes the content server's static tree into a folder, so any static web server can stand in
// for it: one ASX playlist per content-server channel, the ad pages and the portal page, and
// stand-ins for the outside pages the web windows frame (used when a build points at them).

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

// The portal window shows this page shifted up by 96 and left by 29 pixels: the site bar on top
// is meant to fall outside the window.
QString portalPage()
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>直播电视与电影</title>
<style>
  body { margin: 0; font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif;
         background: #f3f5f8; color: #1d2733; }
  header { height: 100px; box-sizing: border-box; padding: 36px 40px 0; background: #1d2733;
           color: #c9d3dd; font-size: 13px; }
  main { padding: 20px 40px 40px 48px; }
  h1 { font-size: 22px; margin: 0 0 4px; }
  .sub { margin: 0 0 18px; font-size: 13px; color: #5a6470; }
  h2 { font-size: 15px; margin: 22px 0 10px; padding-left: 8px; border-left: 4px solid #c0392b; }
  .row { display: flex; gap: 14px; flex-wrap: wrap; }
  .card { width: 150px; border-radius: 6px; overflow: hidden; background: #fff;
          box-shadow: 0 1px 3px #0002; font-size: 13px; }
  .poster { height: 84px; display: flex; align-items: flex-end; padding: 6px 8px; color: #fff;
            font-weight: 600; box-sizing: border-box; }
  .card p { margin: 6px 8px 8px; color: #5a6470; font-size: 12px; }
  .a { background: linear-gradient(135deg, #c0392b, #8e44ad); }
  .b { background: linear-gradient(135deg, #2980b9, #16a085); }
  .c { background: linear-gradient(135deg, #d35400, #f1c40f); }
  .d { background: linear-gradient(135deg, #2c3e50, #3498db); }
  .e { background: linear-gradient(135deg, #27ae60, #2c3e50); }
</style>
</head>
<body>
  <header>首页 · 电视直播 · 电影 · 电视剧 · 综艺 · 体育</header>
  <main>
    <h1>直播电视与电影</h1>
    <p class="sub">本地演示门户：每日更新的直播与影视推荐</p>
    <h2>电视直播</h2>
    <div class="row">
      <div class="card"><div class="poster a">CCTV-1 综合</div><p>正在直播</p></div>
      <div class="card"><div class="poster b">CCTV-5 体育</div><p>赛事直播</p></div>
      <div class="card"><div class="poster c">湖南卫视</div><p>综艺晚会</p></div>
      <div class="card"><div class="poster d">东方卫视</div><p>新闻资讯</p></div>
      <div class="card"><div class="poster e">CCTV-9 纪录</div><p>自然人文</p></div>
    </div>
    <h2>热门电影</h2>
    <div class="row">
      <div class="card"><div class="poster d">星际远航</div><p>科幻 · 2小时</p></div>
      <div class="card"><div class="poster c">江湖故事</div><p>武侠 · 1小时50分</p></div>
      <div class="card"><div class="poster a">城市之光</div><p>剧情 · 1小时40分</p></div>
      <div class="card"><div class="poster e">山河之间</div><p>纪录 · 1小时30分</p></div>
      <div class="card"><div class="poster b">海上日出</div><p>爱情 · 1小时45分</p></div>
    </div>
  </main>
</body>
</html>
)");
}

// The web windows' ad panel is a tall strip about 130 pixels wide whose first 11 pixels on the left
// and 16 at the top are cut off by the window: everything stays inside a padded column.
QString sidePanelAd()
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>网络电视频道</title>
<style>
  html, body { margin: 0; height: 100%; }
  body { padding: 24px 8px 12px 18px; box-sizing: border-box; overflow: hidden;
         font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; color: #fff;
         background: linear-gradient(180deg, #a33a2f, #5c1f1a 70%, #1d2733); }
  h1 { margin: 0 0 4px; font-size: 17px; letter-spacing: 0.08em; }
  p { margin: 0 0 14px; font-size: 12px; opacity: 0.85; }
  ul { list-style: none; margin: 0; padding: 0; }
  li { margin: 0 0 8px; padding: 6px 8px; border-radius: 4px; font-size: 12px;
       background: #ffffff22; border-left: 3px solid #ffd479; }
</style>
</head>
<body>
  <h1>央视直播</h1>
  <p>高清频道，随时收看</p>
  <ul><li>CCTV-1 综合</li><li>CCTV-5 体育</li><li>CCTV-6 电影</li><li>卫视频道</li><li>城市频道</li></ul>
</body>
</html>
)");
}

// Stand-ins for the outside pages the web windows frame, for a demo or test build whose build
// values point at this server. Each says plainly what it stands for.
// `top` and `left` keep the content clear of what the window cuts off or covers.
QString standInPage(const QString& title, const QString& heading, const QString& body, const QString& accent,
                    const QString& top, const QString& left)
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>%1</title>
<style>
  html, body { margin: 0; height: 100%; }
  body { box-sizing: border-box; padding: %5 40px 40px %6; min-height: 100%;
         font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; color: #1d2733;
         background: linear-gradient(135deg, #f6f8fb, %4); }
  h1 { margin: 0 0 10px; font-size: 24px; }
  .card { max-width: 560px; padding: 18px 22px; border-radius: 8px; background: #fff;
          box-shadow: 0 2px 8px #0002; font-size: 14px; line-height: 1.7; }
  .note { margin-top: 14px; font-size: 12px; color: #5a6470; }
</style>
</head>
<body>
  <h1>%2</h1>
  <div class="card">%3</div>
  <div class="note">本地演示页面：代替外部网站，供离线演示与测试使用。</div>
</body>
</html>
)")
        .arg(title, heading, body, accent, top, left);
}

// The web-TV player page: shows the channel its query names in a player-sized box.
QString webTvPlayerPage()
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>网络电视播放器</title>
<style>
  html, body { margin: 0; height: 100%; background: #10151c; }
  body { font-family: "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; color: #e8edf2; }
  #player { position: relative; margin: 0 auto; box-sizing: border-box; border: 1px solid #2c3a4a;
            background: radial-gradient(circle at 50% 40%, #24405e, #0b1017 75%); }
  #screen { position: absolute; inset: 0; display: flex; flex-direction: column;
            align-items: center; justify-content: center; gap: 10px; }
  #name { font-size: 22px; font-weight: 600; letter-spacing: 0.05em; }
  #value { font-family: monospace; font-size: 13px; color: #9fb4c8; }
  .bars { display: flex; gap: 4px; height: 28px; align-items: flex-end; }
  .bars span { width: 6px; background: #5fb3ff; animation: pulse 1s ease-in-out infinite; }
  .bars span:nth-child(2) { animation-delay: 0.15s; } .bars span:nth-child(3) { animation-delay: 0.3s; }
  .bars span:nth-child(4) { animation-delay: 0.45s; } .bars span:nth-child(5) { animation-delay: 0.6s; }
  @keyframes pulse { 0%, 100% { height: 6px; } 50% { height: 28px; } }
  #bar { position: absolute; left: 0; right: 0; bottom: 0; height: 30px; display: flex;
         align-items: center; padding: 0 10px; gap: 10px; font-size: 12px; background: #0008; }
  #live { color: #fff; background: #d33; padding: 1px 6px; border-radius: 3px; }
</style>
</head>
<body>
  <div id="player">
    <div id="screen">
      <div id="name">直播频道</div>
      <div id="value"></div>
      <div class="bars"><span></span><span></span><span></span><span></span><span></span></div>
    </div>
    <div id="bar"><span id="live">直播</span><span id="type"></span></div>
  </div>
<script>
  const q = new URLSearchParams(location.search);
  const player = document.getElementById("player");
  player.style.width = (parseInt(q.get("width"), 10) || 550) + "px";
  player.style.height = (parseInt(q.get("height"), 10) || 480) + "px";
  const channel = q.get("channel") || "";
  document.getElementById("value").textContent = channel || "（未指定频道）";
  const id = channel.split("://")[1] || "";
  const short = id.replace(/^cctv_p2p(264)?_/, "").replace(/^hd/, "");
  if (short) document.getElementById("name").textContent = short.toUpperCase();
  document.getElementById("type").textContent = "传输方式：" + (q.get("type") || "—");
</script>
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
        "content-server channel, /ad/ad.html, /ad/fmad.html, /ad/cntvad.html, /3tv/index.html, and "
        "stand-ins for the outside pages: /cctv/cctvplayer.html, /chat/, /music/ and /live/. "
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
    writeFile(outDir + QStringLiteral("/ad/cntvad.html"), sidePanelAd());
    writeFile(outDir + QStringLiteral("/3tv/index.html"), portalPage());

    // Stand-ins for the outside pages: a build pointed at this server frames them instead.
    writeFile(outDir + QStringLiteral("/cctv/cctvplayer.html"), webTvPlayerPage());
    writeFile(outDir + QStringLiteral("/chat/index.html"),
              standInPage(QStringLiteral("聊天室"), QStringLiteral("Lumivo聊天室"),
                          QStringLiteral("<b>大厅</b> · 在线 128 人<br>小明：今晚的球赛谁看了？<br>"
                                         "阿花：CCTV-5 高清直播，很流畅！<br>老王：求推荐好看的电视剧"),
                          QStringLiteral("#d6e6f7"), QStringLiteral("24px"), QStringLiteral("24px")));
    writeFile(outDir + QStringLiteral("/music/index.html"),
              standInPage(QStringLiteral("音乐盒"), QStringLiteral("网络音乐盒"),
                          QStringLiteral("<b>正在播放</b>：演示曲目 · 本地音乐<br>▶ 上一首 · 暂停 · 下一首<br>"
                                         "播放列表：流行 · 经典 · 轻音乐"),
                          QStringLiteral("#e3f2e1"), QStringLiteral("104px"), QStringLiteral("64px")));
    writeFile(outDir + QStringLiteral("/live/index.html"),
              standInPage(QStringLiteral("易视直播"), QStringLiteral("易视直播"),
                          QStringLiteral("<b>热门直播</b><br>体育赛事 · 综艺晚会 · 新闻频道 · 纪录片<br>"
                                         "选择一个频道开始观看"),
                          QStringLiteral("#f7e6d6"), QStringLiteral("144px"), QStringLiteral("256px")));

    std::printf("wrote %d playlists, 3 ad pages, the portal page and 4 stand-in pages to %s\n", playlists,
                qPrintable(QDir(outDir).absolutePath()));
    return 0;
}
