#include "ChannelCatalogue.h"
#include "LumivoBuildValues.h"
#include "StreamTable.h"

#include <QHash>
#include <QSet>
#include <QTest>
#include <QUrl>

#include <algorithm>

namespace {

QString contentServer()
{
    return QString::fromUtf8(buildvalues::ContentServer);
}

QSet<QString> parentKeys()
{
    QSet<QString> parents;
    for (const ChannelRecord& r : ChannelCatalogue::records())
        parents.insert(r.parentKey);
    return parents;
}

} // namespace

class TestStreamTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void counts();
    void regionDirectories_data();
    void regionDirectories();
    void codeExceptions_data();
    void codeExceptions();
    void examplePaths_data();
    void examplePaths();
    void keysWithoutEntry_data();
    void keysWithoutEntry();
    void categoriesAndRegionsHaveNoEntry();
    void entriesAreCatalogueLeavesInOrder();
    void sharedUrls();
    void directForms_data();
    void directForms();
};

void TestStreamTable::counts()
{
    const auto& all = StreamTable::entries();
    QCOMPARE(all.size(), StreamTable::EntryCount);
    QCOMPARE(StreamTable::EntryCount, 553);
    int content = 0, direct = 0;
    QSet<QString> keys;
    for (const StreamEntry& e : all) {
        QVERIFY2(!keys.contains(e.key), qPrintable("duplicate " + e.key));
        keys.insert(e.key);
        QCOMPARE(StreamTable::entry(e.key), &e);
        QCOMPARE(StreamTable::find(e.key), &e.url);
        if (e.isContent()) {
            ++content;
            QCOMPARE(e.url, contentServer() + e.contentPath());
        } else {
            ++direct;
            QVERIFY(e.code.isEmpty());
            QVERIFY(e.contentPath().isEmpty());
        }
    }
    QCOMPARE(content, 418);
    QCOMPARE(direct, 135);
}

void TestStreamTable::regionDirectories_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QStringList>("parents");
    QTest::addColumn<int>("entries");
    const QList<std::tuple<const char*, const char*, int>> rows{
        {"cctv", "zhongyang", 24}, {"bj", "beijing", 9}, {"cq", "zhongqing", 8}, {"gd", "guangdong", 36},
        {"gx", "guangxi", 13}, {"hn", "hunan", 11}, {"jx", "jiangxi", 10}, {"js", "jiangsu", 32},
        {"sc", "sichuan", 11}, {"zj", "zhejiang", 44}, {"fj", "xiamen fujian", 6}, {"njs", "nanjing", 8},
        {"sh", "shanghai", 17}, {"hbt", "hubei", 19}, {"ah", "anhui", 13}, {"sd", "shandong", 21},
        {"sxt", "shanxi", 4}, {"hnt", "henan", 6}, {"hb", "hebei", 17}, {"hlj", "heilongjiang", 5},
        {"ln", "liaoning", 17}, {"jl", "jilin", 7}, {"gz", "guizhou", 3}, {"yn", "yunnan", 4},
        {"sx", "shanxis", 4}, {"nmg", "neimenggu", 6}, {"qt", "qita", 3}, {"hk", "gangtai", 60},
    };
    QCOMPARE(rows.size(), 28);
    for (const auto& [region, parents, n] : rows)
        QTest::newRow(region) << QString::fromLatin1(region) << QString::fromLatin1(parents).split(u' ') << n;
}

void TestStreamTable::regionDirectories()
{
    QFETCH(QString, region);
    QFETCH(QStringList, parents);
    QFETCH(int, entries);
    for (const QString& parent : parents)
        QCOMPARE(StreamTable::regionDirectory(parent), region);
    int n = 0;
    for (const StreamEntry& e : StreamTable::entries()) {
        if (e.region != region)
            continue;
        ++n;
        // A playlist sits in the directory of the tree part its channel belongs to.
        QVERIFY2(parents.contains(ChannelCatalogue::find(e.key)->parentKey), qPrintable(e.key));
    }
    QCOMPARE(n, entries);
}

void TestStreamTable::codeExceptions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("code");
    const QList<std::pair<const char*, const char*>> groups{
        {"cctv", "yitao1 cctv1 ertao cctv2 santao1 cctv3 sitao1 cctv4 wutao1 cctv5 liutao cctv6 qitao cctv7 "
                 "batao cctv8 jiutao1 cctv9 shitao1 cctv10 shiyitao cctv11 shiertao1 cctv12 xinwen cctv13"},
        {"gd", "szws1 szws szgg gdszgg szty gdszty gdszdvsh gdszdv livesoms2 gddggg livesoms1 gddgxw gzzh gzzhpd "
               "gzxw gzxwpd gzjj gzjjpd gzse gzsepd gdtstv gdtsds gdfstv gdfsds gdzstv gdzsds"},
        {"gx", "lzxwpd gxlzxw nndstv gxnnds nnxwtv gxnnxw nnggtv gxnngg nndytv gxnndy gxwstv gxwspd"},
        {"hn", "yiyanggg hnyygg yiyangxw hnyyxw yiyangxz hnyyxz hnws1 hn_hnws1 xinwenlive hncsxw cszf hncszf"},
        {"jx", "jx2t jxds jx3t jxjs jx5t jxgg jx6t jxtv6 jx7t jxydds nc1t jxncxw nc2t jxncds"},
        {"js", "tzxw tzxwzh"},
        {"sc", "scwhly scwh scd4 scds lsdst sclsdst sdxw cdxw"},
        {"sh", "shdfws sh_dfws shdfdy sh_dfdy shdfyl sh_dfyl shdfse sh_dfse tnfbtv sh_jsdst"},
        {"fj", "dnws fjdnws"},
        {"ln", "lnxdm lnxdmpd"},
        {"qt", "JoyLive tjws"},
        {"hk", "fhzx1 ffzx1 gqxgfc tvbgq yzdst hk_atv yzdst1 hk_atv1 twsgtv tw_sgws"},
    };
    int n = 0;
    for (const auto& [region, pairs] : groups) {
        const QStringList words = QString::fromLatin1(pairs).split(u' ');
        for (qsizetype i = 0; i + 1 < words.size(); i += 2, ++n)
            QTest::newRow(qPrintable(words[i])) << words[i] << QString::fromLatin1(region) << words[i + 1];
    }
    QCOMPARE(n, 63);
}

void TestStreamTable::codeExceptions()
{
    QFETCH(QString, key);
    QFETCH(QString, region);
    QFETCH(QString, code);
    const StreamEntry* e = StreamTable::entry(key);
    QVERIFY(e);
    QCOMPARE(e->region, region);
    QCOMPARE(e->code, code);
    QCOMPARE(e->url, contentServer() + "/asx/" + region + u'/' + code + ".asx");

    // Every other content entry is named after its key, so the table above is the whole list.
    static const int renamed = [] {
        int n = 0;
        for (const StreamEntry& x : StreamTable::entries())
            n += x.isContent() && x.code != x.key ? 1 : 0;
        return n;
    }();
    QCOMPARE(renamed, 63);
}

void TestStreamTable::examplePaths_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("path");
    QTest::newRow("btv-1") << "btv-1" << "/asx/bj/btv-1.asx";
    QTest::newRow("yitao1") << "yitao1" << "/asx/cctv/cctv1.asx";
    QTest::newRow("dnws") << "dnws" << "/asx/fj/fjdnws.asx";
    QTest::newRow("xm1t shares fj") << "xm1t" << "/asx/fj/xm1t.asx";
    QTest::newRow("cctv-hd keeps its dash") << "cctv-hd" << "/asx/cctv/cctv-hd.asx";
    QTest::newRow("digit-first key") << "090206lxxw" << "/asx/zj/090206lxxw.asx";
    QTest::newRow("last hk entry") << "twhzws" << "/asx/hk/twhzws.asx";
}

void TestStreamTable::examplePaths()
{
    QFETCH(QString, key);
    QFETCH(QString, path);
    const QString* url = StreamTable::find(key);
    QVERIFY(url);
    QCOMPARE(*url, contentServer() + path);
}

void TestStreamTable::keysWithoutEntry_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("tvbshl") << "tvbshl";
    QTest::newRow("usxjdy") << "usxjdy";
    QTest::newRow("ajsat") << "ajsat";
    QTest::newRow("lower-case l") << "clubtv2";
    QTest::newRow("upper-case I first") << "CIubtv2";
    QTest::newRow("all upper") << "CIUBTV2";
    QTest::newRow("joylive") << "joylive";
    QTest::newRow("trailing space") << "cIubtv2 ";
    QTest::newRow("prefix") << "cIubtv";
    QTest::newRow("code, not key") << "cctv1";
    QTest::newRow("empty") << "";
}

void TestStreamTable::keysWithoutEntry()
{
    QFETCH(QString, key);
    QVERIFY(!StreamTable::find(key));
    QVERIFY(!StreamTable::entry(key));
    // The exact spellings next to the near misses do have entries.
    QVERIFY(StreamTable::find(QStringLiteral("cIubtv2")));
    QVERIFY(StreamTable::find(QStringLiteral("JoyLive")));
    QVERIFY(StreamTable::find(QStringLiteral("ajsat7")));
}

void TestStreamTable::categoriesAndRegionsHaveNoEntry()
{
    const QSet<QString> parents = parentKeys();
    int groups = 0;
    for (const ChannelRecord& r : ChannelCatalogue::records()) {
        if (!parents.contains(r.key))
            continue;
        ++groups;
        QVERIFY2(!StreamTable::find(r.key), qPrintable(r.key));
    }
    QCOMPARE(groups, 32);
    QVERIFY(StreamTable::regionDirectory(QStringLiteral("guowai")).isEmpty());
    QVERIFY(StreamTable::regionDirectory(QStringLiteral("shexiangtou")).isEmpty());
    QVERIFY(StreamTable::regionDirectory(QStringLiteral("difang")).isEmpty());
}

void TestStreamTable::entriesAreCatalogueLeavesInOrder()
{
    const QSet<QString> parents = parentKeys();
    int lastOrder = 0;
    for (const StreamEntry& e : StreamTable::entries()) {
        const ChannelRecord* r = ChannelCatalogue::find(e.key);
        QVERIFY2(r, qPrintable(e.key));
        QVERIFY2(!parents.contains(e.key), qPrintable(e.key));
        QVERIFY2(r->order > lastOrder, qPrintable(e.key));
        lastOrder = r->order;
    }
    // 556 channels: all but the three without a stream are in the table.
    QCOMPARE(StreamTable::EntryCount + 3, 556);
}

void TestStreamTable::sharedUrls()
{
    QHash<QString, QStringList> byUrl;
    for (const StreamEntry& e : StreamTable::entries())
        byUrl[e.url].push_back(e.key);
    if (StreamTable::hasPackagerDirectTable())
        QSKIP("the packager's direct URLs decide which channels share a stream");
    const QList<QStringList> pairs{
        {"hgkbc", "hgknn"}, {"usxjdst", "party"}, {"nasatv", "makeplaylist"},
        {"uspcmc", "uspcma"}, {"usscctv", "usseattle"},
    };
    QSet<QString> shared;
    for (const QStringList& pair : pairs) {
        QVERIFY(StreamTable::find(pair[0]));
        QCOMPARE(byUrl.value(*StreamTable::find(pair[0])), pair);
        shared.insert(*StreamTable::find(pair[0]));
    }
    for (auto it = byUrl.cbegin(); it != byUrl.cend(); ++it)
        QVERIFY2(it.value().size() == 1 || shared.contains(it.key()), qPrintable(it.value().join(u' ')));
}

void TestStreamTable::directForms_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("form");

    // Per category and scheme; ":form" marks a playlist, script, recorded file or query, the rest
    // are live streams.
    const QList<std::tuple<const char*, const char*, const char*>> groups{
        {"gangtai", "http", "hkyxxwt:asx hkyxjtt:asx hkyxcjt:asx"},
        {"guowai", "http",
         "hgsbs:asx hgkbc:asx hgknn:asx rbjptbs:asx jpfst:asx jpdjgw jpChannel:asx jpsstv:asx usxjdst "
         "nasatv:script ushtvpd uscbnnews usjctv:asx usmdldt usmesbds ushcgb wspftv35:script Bloomberg:asx "
         "Reaearch:asx yg3abn party church:asx els1tv dedwtv:asx dewmz nfsabc spptv ajsat7 albbbc"},
        {"guowai", "https", "hgjtv:asx"},
        {"guowai", "rtsp",
         "arirang cIubtv2 jpnhkbs1 jpyomiuri:wmv usnbc:asf SongwriterTV:wsx fgsspd fg24timee hlrtv Ibiza "
         "Velevisa Euronews"},
        {"guowai", "mms",
         "hgcts hgcbs encoder1 mkimbn200 vcont230k_3 hgwmkm hgsentv jpjal:wmv WORLDTV ustuby history usfox11 "
         "usarts usjjst uspcmc usvision usxnt16 uskosa usscctv Dunedin Woodworking ustct:query uspcma attvlive "
         "thvl1 thvl2 hntv1 hntv2 ynvnn ygbbc:wmv ClapTV France Inraci Dance fg24 Rock Groove fashion Toronto "
         "elsugra elsrbc elstbn child tgastv tgketv tgtpbs jpzds omjyyt xbyoc aslyapac flbuntv flbdzrh "
         "ydbroadcast Horas CeskaTV slova spcnh elsamtv11 Stroi usseattle Question:wmv"},
        {"shexiangtou", "mms",
         "csRacheed sloppys liveduvalstreet pandacam2 cscomroom csspag3 panorama_ktn_live kotel zbhzzc "
         "skybldg3 skybldg1 bvp5 csscarborovacuum twofriends holidayisle cowboybillsbullride cowboybillsstage "
         "oldtowntrolley greenparrot hogsbarcam hogsrawbarcam hogsstagecam marathon gorilla csharriesteenbruggen"},
        {"shexiangtou", "http", "makeplaylist:script kf6wax:script opera:asx kings:asx"},
    };
    QHash<QString, int> perScheme;
    int n = 0;
    for (const auto& [category, scheme, keys] : groups) {
        for (const QString& word : QString::fromLatin1(keys).split(u' ')) {
            const QString key = word.section(u':', 0, 0);
            const QString form = word.contains(u':') ? word.section(u':', 1) : QStringLiteral("live");
            QTest::newRow(qPrintable(key)) << key << QString::fromLatin1(category) << QString::fromLatin1(scheme)
                                           << form;
            ++perScheme[QString::fromLatin1(scheme)];
            ++n;
        }
    }
    QCOMPARE(n, 135);
    QCOMPARE(perScheme.value("mms"), 86);
    QCOMPARE(perScheme.value("http"), 36);
    QCOMPARE(perScheme.value("rtsp"), 12);
    QCOMPARE(perScheme.value("https"), 1);
}

void TestStreamTable::directForms()
{
    QFETCH(QString, key);
    QFETCH(QString, category);
    QFETCH(QString, scheme);
    QFETCH(QString, form);

    const StreamEntry* e = StreamTable::entry(key);
    QVERIFY(e);
    QVERIFY(!e->isContent());
    QCOMPARE(ChannelCatalogue::find(key)->parentKey, category);
    const QUrl url(e->url, QUrl::StrictMode);
    QVERIFY2(url.isValid() && !url.host().isEmpty(), qPrintable(e->url));
    static const QStringList networkSchemes{"http", "https", "rtsp", "mms"};
    QVERIFY2(networkSchemes.contains(url.scheme()), qPrintable(e->url));
    if (StreamTable::hasPackagerDirectTable())
        QSKIP("the packager's file chooses its own hosts and forms");

    QCOMPARE(url.scheme(), scheme);
    QVERIFY2(url.host().endsWith(u".invalid"), qPrintable(e->url));
    const QString path = url.path();
    static const QStringList fileSuffixes{".asx", ".wsx", ".wmv", ".asf", ".php", ".asp", ".dll"};
    const bool hasSuffix = std::any_of(fileSuffixes.cbegin(), fileSuffixes.cend(),
                                       [&](const QString& s) { return path.endsWith(s); });
    if (form == u"live" || form == u"query") {
        QVERIFY2(!hasSuffix, qPrintable(e->url));
        QCOMPARE(url.hasQuery(), form == u"query");
    } else if (form == u"script") {
        QVERIFY2(path.endsWith(u".php") || path.endsWith(u".asp") || path.endsWith(u".dll"), qPrintable(e->url));
        QVERIFY2(url.hasQuery(), qPrintable(e->url));
    } else {
        QVERIFY2(path.endsWith(u'.' + form), qPrintable(e->url));
        QVERIFY2(!url.hasQuery(), qPrintable(e->url));
    }
}

QTEST_APPLESS_MAIN(TestStreamTable)
#include "tst_streamtable.moc"
