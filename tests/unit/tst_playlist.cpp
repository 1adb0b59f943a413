#include "Playlist.h"

#include <QTest>

using playlist::Kind;

Q_DECLARE_METATYPE(playlist::Kind)

namespace {

QByteArray utf16(const QString& text, bool bigEndian, bool bom = true)
{
    QByteArray out;
    if (bom)
        out += bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

QStringList strings(const QList<QUrl>& urls)
{
    QStringList out;
    for (const QUrl& url : urls)
        out += url.toString();
    return out;
}

const QUrl base(QStringLiteral("http://srv.example/asx/cctv/cctv1.asx"));

} // namespace

class TestPlaylist : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sniffByContent_data();
    void sniffByContent();
    void sniffPrefixWaitsOnlyWhileUndecided_data();
    void sniffPrefixWaitsOnlyWhileUndecided();
    void parseKeepsOrder_data();
    void parseKeepsOrder();
    void parseRefusesWhatIsNotANetworkStream_data();
    void parseRefusesWhatIsNotANetworkStream();
    void damagedInputGivesAnError_data();
    void damagedInputGivesAnError();
    void networkStreamSchemes_data();
    void networkStreamSchemes();
};

void TestPlaylist::sniffByContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Kind>("kind");
    QTest::newRow("asx") << QByteArray("<asx version=\"3.0\"><entry/></asx>") << Kind::Asx;
    QTest::newRow("upper case") << QByteArray("<ASX VERSION=3.0>") << Kind::Asx;
    QTest::newRow("bom, blank lines, declaration, comments")
        << QByteArray("\xEF\xBB\xBF \r\n\t<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- made by hand -->\n<!-- <html> -->\n<Asx>")
        << Kind::Asx;
    QTest::newRow("utf-16le with bom") << utf16(QStringLiteral("<?xml version=\"1.0\"?><asx version=\"3.0\">"), false) << Kind::Asx;
    QTest::newRow("utf-16be with bom") << utf16(QStringLiteral("\n<ASX>"), true) << Kind::Asx;
    QTest::newRow("utf-16le without bom") << utf16(QStringLiteral("<asx>"), false, false) << Kind::Asx;
    QTest::newRow("server-side form") << QByteArray("<?wsx version=\"1.0\"?>\r\n<smil>\r\n<seq>") << Kind::Wsx;
    QTest::newRow("server-side form, upper case") << QByteArray("<?WSX version='1.0'?><SMIL>") << Kind::Wsx;
    QTest::newRow("reference") << QByteArray("[Reference]\r\nRef1=http://a/b?MSWMExt=.asf\r\n") << Kind::Reference;
    QTest::newRow("reference, lower case, blank line first") << QByteArray("\r\n[reference]\nref1=mms://a/b") << Kind::Reference;
    QTest::newRow("name only starts like asx") << QByteArray("<asxml>") << Kind::NotPlaylist;
    QTest::newRow("html") << QByteArray("<!DOCTYPE html><html><body>") << Kind::NotPlaylist;
    QTest::newRow("other xml") << QByteArray("<?xml version=\"1.0\"?><MPD xmlns=\"urn:mpeg:dash\">") << Kind::NotPlaylist;
    QTest::newRow("m3u") << QByteArray("#EXTM3U\n#EXT-X-VERSION:3\n") << Kind::NotPlaylist;
    QTest::newRow("pls") << QByteArray("[playlist]\nFile1=http://a/b\n") << Kind::NotPlaylist;
    QTest::newRow("transport stream") << QByteArray("\x47\x40\x00\x10\x00\x00\xB0\x0D", 8) << Kind::NotPlaylist;
    QTest::newRow("empty") << QByteArray() << Kind::NotPlaylist;
    QTest::newRow("declaration cut off") << QByteArray("<?xml version=") << Kind::NotPlaylist;
}

void TestPlaylist::sniffByContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Kind, kind);
    QCOMPARE(playlist::sniff(bytes), kind);
}

void TestPlaylist::sniffPrefixWaitsOnlyWhileUndecided_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("decidedAt"); // length of the shortest prefix that decides
    QTest::addColumn<Kind>("kind");
    const QByteArray asx("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a -> b -->\n<asx version=\"3.0\">");
    QTest::newRow("asx decides once its name is complete") << asx << int(asx.indexOf("<asx") + 5) << Kind::Asx;
    const QByteArray ref("[Reference]\r\nRef1=http://a/");
    QTest::newRow("reference decides on its header") << ref << 11 << Kind::Reference;
    QTest::newRow("a stream decides at its first byte") << QByteArray("\x47\x40\x11\x10", 4) << 1 << Kind::NotPlaylist;
    QTest::newRow("m3u decides at its first byte") << QByteArray("#EXTM3U\n") << 1 << Kind::NotPlaylist;
    QTest::newRow("other root decides with its name") << QByteArray("<html>") << 6 << Kind::NotPlaylist;
    const QByteArray endless = "<!--" + QByteArray(playlist::sniffWindow, 'x');
    QTest::newRow("endless comment gives up at the window") << endless << int(playlist::sniffWindow) << Kind::NotPlaylist;
}

void TestPlaylist::sniffPrefixWaitsOnlyWhileUndecided()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, decidedAt);
    QFETCH(Kind, kind);
    // Every short prefix, and the ones around the verdict: enough to catch an early or late one.
    QList<int> lengths;
    for (int n = 0; n <= bytes.size(); ++n) {
        if (n < 128 || qAbs(n - decidedAt) < 4 || n == bytes.size())
            lengths.append(n);
    }
    for (int n : lengths) {
        const auto verdict = playlist::sniffPrefix(QByteArrayView(bytes).first(n));
        if (n < decidedAt)
            QVERIFY2(!verdict, qPrintable(QStringLiteral("decided early at %1 bytes").arg(n)));
        else
            QVERIFY2(verdict && *verdict == kind, qPrintable(QStringLiteral("wrong or no verdict at %1 bytes").arg(n)));
    }
}

void TestPlaylist::parseKeepsOrder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("candidates");
    QTest::newRow("entries, refs within entries, refs at the top, entryref")
        << QByteArray("<asx version=\"3.0\">\n"
                      "  <title>CCTV-1</title>\n"
                      "  <ref href=\"http://top/0\"/>\n"
                      "  <entry><ref href=\"mms://a/1\"/><ref href=\"http://a/2\"/></entry>\n"
                      "  <entryref href=\"http://b/more.asx\" clientbind=\"no\"/>\n"
                      "  <entry>\n    <moreinfo href=\"http://info/\"/><banner href=\"http://banner/b.gif\"/>\n"
                      "    <ref href=\"rtsp://c/3\"/>\n    <ref href=\"mmst://c/4\"/>\n  </entry>\n"
                      "</asx>")
        << QStringList{"http://top/0", "mms://a/1", "http://a/2", "http://b/more.asx", "rtsp://c/3", "mmst://c/4"};
    QTest::newRow("case, quotes and spacing")
        << QByteArray("<ASX><Entry><REF HREF='mms://a/1'/><ref Href=http://a/2 ><rEf hReF = \"http://a/3\" /></Entry>"
                      "<ENTRYREF HREF=http://a/4.asx></ASX>")
        << QStringList{"mms://a/1", "http://a/2", "http://a/3", "http://a/4.asx"};
    QTest::newRow("entities and bare ampersands")
        << QByteArray("<asx><ref href=\"http://a/s?x=1&amp;y=2&#38;z=3&#x26;w=4\"/><ref href=\"http://a/t?x=1&y=2\"/></asx>")
        << QStringList{"http://a/s?x=1&y=2&z=3&w=4", "http://a/t?x=1&y=2"};
    QTest::newRow("relative addresses against the playlist's own")
        << QByteArray("<asx><ref href=\"live.asf\"/><ref href=\"/root.asf\"/><ref href=\"../up.asf\"/><ref href=\"//other.example/x\"/></asx>")
        << QStringList{"http://srv.example/asx/cctv/live.asf", "http://srv.example/root.asf", "http://srv.example/asx/up.asf",
                       "http://other.example/x"};
    QTest::newRow("whitespace around the address")
        << QByteArray("<asx><ref href=\"\r\n   mms://a/1 \t\"/><ref href=\"   \"/></asx>") << QStringList{"mms://a/1"};
    QTest::newRow("duplicates: first one kept")
        << QByteArray("<asx><entry><ref href=\"http://a/1\"/><ref href=\"http://a/2\"/></entry><entry><ref href=\"http://a/1\"/></entry></asx>")
        << QStringList{"http://a/1", "http://a/2"};
    QTest::newRow("comments and cdata are not read")
        << QByteArray("<asx><!-- <ref href=\"http://old/\"/> --><abstract><![CDATA[<ref href=\"http://x/\">]]></abstract><ref href=\"http://a/1\"/></asx>")
        << QStringList{"http://a/1"};
    QTest::newRow("unclosed tag ends at the next one")
        << QByteArray("<asx><entry><ref href=\"http://a/1\"\n<ref href=\"http://a/2\"></entry></asx>") << QStringList{"http://a/1", "http://a/2"};
    QTest::newRow("utf-16 with bom")
        << utf16(QStringLiteral("<?xml version=\"1.0\"?>\r\n<ASX version=\"3.0\"><Entry><Ref href=\"mms://a/1\"/></Entry></ASX>"), false)
        << QStringList{"mms://a/1"};
    QTest::newRow("server-side form, nested")
        << QByteArray("<?wsx version=\"1.0\"?>\r\n<smil>\r\n <seq id=\"s\">\r\n  <media src=\"http://a/1\"/>\r\n"
                      "  <switch><media src=\"mms://a/2\"/><ref src=\"rtsp://a/3\"/></switch>\r\n"
                      "  <seq><MEDIA SRC=\"clip.wmv\"/></seq>\r\n </seq>\r\n</smil>")
        << QStringList{"http://a/1", "mms://a/2", "rtsp://a/3", "http://srv.example/asx/cctv/clip.wmv"};
    QTest::newRow("reference, CRLF, numbered out of order")
        << QByteArray("[Reference]\r\nRef2=mms://a/2\r\nRef1=http://a/1?MSWMExt=.asf\r\nBandwidth=300000\r\n"
                      "[Other]\r\nRef3=http://ignored/\r\n")
        << QStringList{"http://a/1?MSWMExt=.asf", "mms://a/2"};
    QTest::newRow("truncated: refs before the damage stand")
        << QByteArray("<asx><entry><ref href=\"http://a/1\"/></entry><entry><ref href=\"http://a/2") << QStringList{"http://a/1"};
}

void TestPlaylist::parseKeepsOrder()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, candidates);
    const playlist::Parsed parsed = playlist::parse(bytes, base);
    QVERIFY(parsed.kind != Kind::NotPlaylist);
    QCOMPARE(strings(parsed.candidates), candidates);
    QVERIFY(parsed.error.isEmpty());
}

void TestPlaylist::parseRefusesWhatIsNotANetworkStream_data()
{
    QTest::addColumn<QByteArray>("href");
    QTest::addColumn<QUrl>("base");
    const QUrl none;
    QTest::newRow("file url") << QByteArray("file:///etc/passwd") << base;
    QTest::newRow("local path, no base") << QByteArray("/etc/passwd") << none;
    QTest::newRow("local path against a local playlist") << QByteArray("/etc/passwd") << QUrl(QStringLiteral("file:///tmp/a.asx"));
    QTest::newRow("drive path") << QByteArray("C:\\x\\y.wmv") << base;
    QTest::newRow("drive path, forward slashes") << QByteArray("c:/x.wmv") << base;
    QTest::newRow("share") << QByteArray("\\\\server\\share\\x.wmv") << base;
    QTest::newRow("engine protocol lavf") << QByteArray("lavf://http://a/b") << base;
    QTest::newRow("engine protocol av") << QByteArray("av://v4l2:/dev/video0") << base;
    QTest::newRow("engine protocol memory") << QByteArray("memory://abc") << base;
    QTest::newRow("engine protocol edl") << QByteArray("edl://%10%/etc/passwd") << base;
    QTest::newRow("engine protocol ytdl") << QByteArray("ytdl://x") << base;
    QTest::newRow("engine protocol appending") << QByteArray("appending://http://a/b") << base;
    QTest::newRow("data") << QByteArray("data:video/mp2t;base64,AAAA") << base;
    QTest::newRow("ftp") << QByteArray("ftp://a/b") << base;
    QTest::newRow("no host") << QByteArray("http:///b") << base;
}

// Each forbidden address next to a good one: the good one stays, the other is dropped and named;
// alone, it leaves an error.
void TestPlaylist::parseRefusesWhatIsNotANetworkStream()
{
    QFETCH(QByteArray, href);
    QFETCH(QUrl, base);
    const playlist::Parsed mixed = playlist::parse("<asx><ref href=\"" + href + "\"/><ref href=\"http://ok/1\"/></asx>", base);
    QCOMPARE(strings(mixed.candidates), QStringList{"http://ok/1"});
    QCOMPARE(mixed.refused, QStringList{QString::fromUtf8(href)});

    const playlist::Parsed alone = playlist::parse("[Reference]\r\nRef1=" + href + "\r\n", base);
    QCOMPARE(alone.kind, Kind::Reference);
    QVERIFY(alone.candidates.isEmpty());
    QCOMPARE(alone.refused.size(), 1);
    QVERIFY(!alone.error.isEmpty());
}

void TestPlaylist::damagedInputGivesAnError_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x00\xFF\x47\x40\x11\x10\x00\x42\xF0\x25", 10);
    QTest::newRow("root only") << QByteArray("<asx");
    QTest::newRow("cut inside the first ref") << QByteArray("<asx version=\"3.0\"><entry><ref href=\"http://a/");
    QTest::newRow("cut inside a comment") << QByteArray("<asx><!-- <ref href=\"http://a/1\"/>");
    QTest::newRow("no refs") << QByteArray("<asx><entry><title>x</title></entry></asx>");
    QTest::newRow("reference header only") << QByteArray("[Reference]\r\n");
    QTest::newRow("html") << QByteArray("<html><body><ref href=\"http://a/1\"></body></html>");
}

void TestPlaylist::damagedInputGivesAnError()
{
    QFETCH(QByteArray, bytes);
    const playlist::Parsed parsed = playlist::parse(bytes, base);
    QVERIFY(parsed.candidates.isEmpty());
    QVERIFY(!parsed.error.isEmpty());
}

void TestPlaylist::networkStreamSchemes_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("http") << "http://a/b" << true;
    QTest::newRow("HTTPS") << "HTTPS://A/b" << true;
    QTest::newRow("rtsp") << "rtsp://a:554/b" << true;
    QTest::newRow("rtsps") << "rtsps://a/b" << true;
    QTest::newRow("mms") << "mms://a/b" << true;
    QTest::newRow("mmsh") << "mmsh://a/b" << true;
    QTest::newRow("MMST") << "MMST://a/b" << true;
    QTest::newRow("no host") << "mms:///b" << false;
    QTest::newRow("relative") << "//a/b" << false;
    QTest::newRow("no scheme") << "a/b" << false;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("rtmp") << "rtmp://a/b" << false;
    QTest::newRow("udp") << "udp://239.0.0.1:1234" << false;
    QTest::newRow("lavf") << "lavf://http://a/b" << false;
    QTest::newRow("empty") << "" << false;
}

void TestPlaylist::networkStreamSchemes()
{
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(playlist::isNetworkStreamUrl(QUrl(url)), allowed);
}

QTEST_GUILESS_MAIN(TestPlaylist)
#include "tst_playlist.moc"
