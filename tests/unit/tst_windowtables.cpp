#include "LumivoBuildValues.h"
#include "MenuTable.h"
#include "RadioStationTable.h"
#include "WebTvChannelTable.h"

#include <QHash>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace {

// Rows under `menu` at any depth that are items, using the menu paths the tables compute.
int itemsUnder(const MenuTable& table, const QString& menu)
{
    int n = 0;
    for (const MenuRow& r : table.rows())
        n += !r.isMenu && table.menuPath(r).split(u'/').contains(menu) ? 1 : 0;
    return n;
}

int directEntries(const MenuTable& table, const QString& menu)
{
    int n = 0;
    for (const MenuRow& r : table.rows())
        n += r.parentKey == menu ? 1 : 0;
    return n;
}

// The row at `index` is `key` with `caption`, under the menus of `path` (whose last key is its parent).
void compareRow(const MenuTable& table, int index, const QString& key, const QString& caption, const QString& path)
{
    QVERIFY(index < table.rows().size());
    const MenuRow& r = table.rows().at(index);
    QCOMPARE(r.key, key);
    QCOMPARE(r.caption, caption);
    QCOMPARE(table.menuPath(r), path);
    QCOMPARE(r.parentKey, path.section(u'/', -1));
    QCOMPARE(table.row(key), &r);
}

QString radioForm(const QUrl& url)
{
    const QString path = url.path();
    if (url.scheme() == u"mms")
        return path.isEmpty() || path == u"/" ? QStringLiteral("mms root") : QStringLiteral("mms path");
    if (url.scheme() != u"http")
        return url.scheme();
    for (const char* suffix : {".asx", ".php", ".swf"})
        if (path.endsWith(QLatin1String(suffix)))
            return QLatin1String(suffix + 1) + (url.hasQuery() ? QStringLiteral("?") : QString());
    return path.section(u'/', -1).contains(u'.') ? QStringLiteral("other file") : QStringLiteral("http plain");
}

} // namespace

class TestWindowTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void radioCounts();
    void radioMenus_data();
    void radioMenus();
    void radioRows_data();
    void radioRows();
    void radioKeysWithoutUrl_data();
    void radioKeysWithoutUrl();
    void radioUrlForms_data();
    void radioUrlForms();
    void radioHosts();
    void radioSharedPairs();

    void webTvCounts();
    void webTvMenus_data();
    void webTvMenus();
    void webTvRows_data();
    void webTvRows();
    void webTvSchemes();
    void firstChannel();
    void playerPageUrl_data();
    void playerPageUrl();

    void valueForms_data();
    void valueForms();
    void checks_data();
    void checks();
};

void TestWindowTables::radioMenus_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("entries");  // rows directly under it, sub-menus included
    QTest::addColumn<int>("stations"); // at any depth
    const QList<std::tuple<const char*, const char*, const char*, int, int>> menus{
        {"gn", "国内电台", "", 11, 206},      {"zy", "中央", "gn", 14, 14},        {"bj", "北京", "gn", 17, 17},
        {"sh", "上海", "gn", 6, 6},           {"tddtbhzs0", "天津", "gn", 10, 10}, {"cq", "重庆", "gn", 6, 6},
        {"gd", "广东", "gn", 19, 42},         {"gzt", "广州", "gd", 15, 15},       {"sz", "深圳", "gd", 5, 5},
        {"fs", "佛山", "gd", 6, 6},           {"gx", "广西", "gn", 19, 19},        {"hn", "湖南", "gn", 10, 10},
        {"sc", "四川", "gn", 19, 19},         {"zj", "浙江", "gn", 35, 40},        {"zjhz", "湖州", "zj", 4, 4},
        {"zjtz", "台州", "zj", 3, 3},         {"ah", "安徽", "gn", 20, 23},        {"ahwl", "安徽网络", "ah", 4, 4},
        {"gat", "港澳台电台", "", 17, 17},    {"gwdt", "国外电台", "", 4, 4},
    };
    for (const auto& [key, caption, parent, entries, stations] : menus)
        QTest::newRow(key) << QString::fromLatin1(key) << QString::fromUtf8(caption) << QString::fromLatin1(parent)
                           << entries << stations;
}

void TestWindowTables::radioCounts()
{
    // radioMenus lists all 20 sub-menus; the rest are the stations.
    const MenuTable& table = RadioStationTable::table();
    int menuRows = 0, stations = 0, withUrl = 0;
    QStringList titles;
    for (const MenuRow& r : table.rows()) {
        menuRows += r.isMenu ? 1 : 0;
        stations += r.isMenu ? 0 : 1;
        withUrl += RadioStationTable::find(r.key) ? 1 : 0;
        if (r.parentKey.isEmpty())
            titles << r.key;
    }
    QCOMPARE(table.rows().size(), 247);
    QCOMPARE(menuRows, 20);
    QCOMPARE(stations, RadioStationTable::StationCount);
    QCOMPARE(stations, 227);
    QCOMPARE(withUrl, RadioStationTable::EntryCount);
    QCOMPARE(withUrl, 226);
    QCOMPARE(titles, QStringList({"gn", "gat", "gwdt"}));
}

void TestWindowTables::radioMenus()
{
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, parent);
    QFETCH(int, entries);
    QFETCH(int, stations);
    const MenuTable& table = RadioStationTable::table();
    const MenuRow* r = table.row(key);
    QVERIFY(r);
    QVERIFY(r->isMenu);
    QCOMPARE(r->caption, caption);
    QCOMPARE(r->parentKey, parent);
    QVERIFY(!RadioStationTable::find(key));
    QCOMPARE(directEntries(table, key), entries);
    QCOMPARE(itemsUnder(table, key), stations);
}

void TestWindowTables::radioRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("path");
    const auto row = [](int index, const char* key, const char* caption, const char* path) {
        QTest::addRow("%d %s", index, key) << index << QString::fromLatin1(key) << QString::fromUtf8(caption)
                                           << QString::fromLatin1(path);
    };
    row(0, "gn", "国内电台", "");
    row(1, "zy", "中央", "gn");
    row(2, "cctvxwpdyp", "CCTV新闻频道(音频)", "gn/zy");
    row(12, "gjdtnb919", "国际电台Nairobi 91.9", "gn/zy");
    row(33, "qmyyt7", "青檬音乐台", "gn/bj");
    row(41, "tddtbhzs0", "天津", "gn");
    row(70, "gzxwdt7", "广州新闻电台", "gn/gd/gzt");
    row(74, "gzqsn88", "广州青少年广播-飞扬88", "gn/gd/gzt");
    row(124, "lbgzzs", "来宾桂中之声 ", "gn/gx");
    row(137, "scxwgb1061", "四川新闻广播(FM106.1)", "gn/sc");
    row(174, "hzjtjjgb2", "湖州交通经济广播", "gn/zj/zjhz");
    row(193, "zydt982", "诸暨电台（FM98.2）", "gn/zj");
    row(224, "gat", "港澳台电台", "");
    row(231, "twtblxyydt", "台北流行音乐电台", "gat");
    row(246, "hgkbsyypd", "韩国KBS音乐频道", "gwdt");
}

void TestWindowTables::radioRows()
{
    QFETCH(int, index);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, path);
    compareRow(RadioStationTable::table(), index, key, caption, path);
}

void TestWindowTables::radioKeysWithoutUrl_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("inMenu");
    QTest::newRow("station without address") << "twtblxyydt" << true;
    QTest::newRow("menu-bar title") << "gn" << true;
    QTest::newRow("sub-menu") << "gzt" << true;
    QTest::newRow("sub-menu with a digit") << "tddtbhzs0" << true;
    QTest::newRow("window's own item") << "zxh" << false;
    QTest::newRow("help menu") << "bz" << false;
    QTest::newRow("letter case") << "TWTBLXYYDT" << false;
    QTest::newRow("trailing space") << "qmyyt7 " << false;
    QTest::newRow("empty") << "" << false;
}

void TestWindowTables::radioKeysWithoutUrl()
{
    QFETCH(QString, key);
    QFETCH(bool, inMenu);
    QVERIFY(!RadioStationTable::find(key));
    QCOMPARE(RadioStationTable::table().row(key) != nullptr, inMenu);
    QVERIFY(RadioStationTable::find(QStringLiteral("qmyyt7")));
}

void TestWindowTables::radioUrlForms_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("count");
    QTest::newRow("mms path") << "mms path" << 192;
    QTest::newRow("mms root") << "mms root" << 21;
    QTest::newRow("asx") << "asx" << 8;
    QTest::newRow("php") << "php" << 1;
    QTest::newRow("http plain") << "http plain" << 3;
    QTest::newRow("swf with query") << "swf?" << 1;
}

void TestWindowTables::radioUrlForms()
{
    QFETCH(QString, form);
    QFETCH(int, count);
    if (RadioStationTable::hasPackagerTable())
        QSKIP("the packager's file chooses its own URL forms");
    QHash<QString, int> forms;
    for (const MenuRow& r : RadioStationTable::table().rows()) {
        if (r.value.isEmpty())
            continue;
        const QUrl url(r.value, QUrl::StrictMode);
        QVERIFY2(url.isValid() && !url.host().isEmpty(), qPrintable(r.value));
        const QString f = radioForm(url);
        ++forms[f];
        // A streaming server's root is reached by host and port.
        if (f == u"mms root")
            QVERIFY2(url.port() > 0, qPrintable(r.value));
    }
    QCOMPARE(forms.value(form), count);
    int all = 0;
    for (int n : std::as_const(forms))
        all += n;
    QCOMPARE(all, 226);
}

void TestWindowTables::radioHosts()
{
    if (RadioStationTable::hasPackagerTable())
        QSKIP("the packager's file names real hosts");
    static const QRegularExpression documentationRange(
        QStringLiteral(R"(^(192\.0\.2|198\.51\.100|203\.0\.113)\.\d{1,3}$)"));
    static const QRegularExpression numeric(QStringLiteral(R"(^[0-9.]+$)"));
    int numericHosts = 0, ports = 0;
    for (const MenuRow& r : RadioStationTable::table().rows()) {
        if (r.value.isEmpty())
            continue;
        const QUrl url(r.value);
        const QString host = url.host();
        if (numeric.match(host).hasMatch()) {
            ++numericHosts;
            QVERIFY2(documentationRange.match(host).hasMatch(), qPrintable(r.value));
        } else {
            QVERIFY2(host.endsWith(u".invalid"), qPrintable(r.value));
        }
        ports += url.port() != -1 ? 1 : 0;
    }
    QCOMPARE(numericHosts, 111);
    QCOMPARE(ports, 39);
}

void TestWindowTables::radioSharedPairs()
{
    if (RadioStationTable::hasPackagerTable())
        QSKIP("the packager's addresses decide which stations share a stream");
    QHash<QString, QStringList> byUrl;
    for (const MenuRow& r : RadioStationTable::table().rows())
        if (!r.value.isEmpty())
            byUrl[r.value] << r.key;
    QList<QStringList> shared;
    for (const QStringList& keys : std::as_const(byUrl))
        if (keys.size() > 1)
            shared << keys;
    std::sort(shared.begin(), shared.end());
    QCOMPARE(shared, QList<QStringList>({{"gjdtxwpd0", "cngjdtwl9"}, {"gxdwgbdt", "gxhbwzs"}}));
}

void TestWindowTables::webTvMenus_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("entries");
    const QList<std::tuple<const char*, const char*, int>> menus{
        {"cntv", "CNTV电视直播", 36}, {"cctv", "中央标准频道", 26}, {"cctvgq", "中央高清频道", 33},
        {"bj", "北京", 9},            {"sh", "上海", 2},            {"hnhn", "湖南", 2},
        {"js", "江苏", 8},            {"sd", "山东", 3},            {"xj", "新疆", 6},
        {"hb", "河北", 2},            {"sc", "四川", 3},            {"lnln", "辽宁", 3},
        {"hlj", "黑龙江", 2},         {"xm", "厦门", 3},            {"gd", "广东", 9},
        {"zj", "浙江", 2},            {"jxt", "江西", 2},           {"sxsx", "陕西", 2},
    };
    for (const auto& [key, caption, entries] : menus)
        QTest::newRow(key) << QString::fromLatin1(key) << QString::fromUtf8(caption) << entries;
}

void TestWindowTables::webTvCounts()
{
    // webTvMenus lists all 18 menus; every other row is a channel with a value.
    const MenuTable& table = WebTvChannelTable::table();
    int menuRows = 0, channels = 0;
    for (const MenuRow& r : table.rows()) {
        menuRows += r.isMenu ? 1 : 0;
        if (!r.isMenu) {
            ++channels;
            QCOMPARE(WebTvChannelTable::find(r.key), &r.value);
        }
    }
    QCOMPARE(table.rows().size(), 154);
    QCOMPARE(menuRows, 18);
    QCOMPARE(channels, WebTvChannelTable::EntryCount);
    QCOMPARE(channels, 136);
    QCOMPARE(itemsUnder(table, QStringLiteral("cntv")), 136);
}

void TestWindowTables::webTvMenus()
{
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(int, entries);
    const MenuRow* r = WebTvChannelTable::table().row(key);
    QVERIFY(r);
    QVERIFY(r->isMenu);
    QCOMPARE(r->caption, caption);
    QCOMPARE(r->parentKey, key == u"cntv" ? QString() : QStringLiteral("cntv"));
    QVERIFY(r->value.isEmpty());
    QVERIFY(!WebTvChannelTable::find(key));
    QCOMPARE(directEntries(WebTvChannelTable::table(), key), entries);
}

void TestWindowTables::webTvRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value");
    const auto row = [](int index, const char* key, const char* caption, const char* path, const char* value) {
        QTest::addRow("%d %s", index, key) << index << QString::fromLatin1(key) << QString::fromUtf8(caption)
                                           << QString::fromLatin1(path) << QString::fromLatin1(value);
    };
    row(0, "cntv", "CNTV电视直播", "", "");
    row(1, "cctv", "中央标准频道", "cntv", "");
    row(2, "cctv1", "CCTV-1(综合)", "cntv/cctv", "pa://cctv_p2p_cctv1");
    row(4, "CCTV3", "CCTV-3(综艺)", "cntv/cctv", "pa://cctv_p2p_cctv3");
    row(9, "cntvtyt", "CNTV体育台", "cntv/cctv", "pa://cctv_p2p264_sports");
    row(61, "cctvsjdl", "CCTV-世界地理频道", "cntv/cctvgq", "pb://cctv_p2p_hdshijiedili");
    row(75, "tjws", "天津卫视", "cntv", "pl://cctv_p2p_hdtianjin");
    row(100, "sxws3", "山西卫视", "cntv", "pl://cctv_p2p_hdshan-xi");
    row(131, "gdfsxwzhpd", "佛山新闻综合频道", "cntv/gd", "pb://cctv_p2p_foshan");
    row(151, "sxxwzhpd", "陕西新闻综合频道", "cntv/sxsx", "pa://cctv_p2p_xianyang");
    row(153, "whjypd", "武汉教育频道", "cntv", "pa://cctv_p2p_wuhanjiaoyu");
}

void TestWindowTables::webTvRows()
{
    QFETCH(int, index);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, path);
    QFETCH(QString, value);
    compareRow(WebTvChannelTable::table(), index, key, caption, path);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(WebTvChannelTable::table().rows().at(index).value, value);
    // Keys are exact: the one upper-case key has no lower-case twin.
    QVERIFY(!WebTvChannelTable::find(QStringLiteral("cctv3")));
}

void TestWindowTables::webTvSchemes()
{
    QHash<QString, int> schemes;
    QStringList otherIds;
    for (const MenuRow& r : WebTvChannelTable::table().rows()) {
        if (r.isMenu)
            continue;
        ++schemes[r.value.section(QStringLiteral("://"), 0, 0)];
        if (!r.value.section(QStringLiteral("://"), 1).startsWith(u"cctv_p2p_"))
            otherIds << r.value;
    }
    QCOMPARE(schemes.value("pl"), 66);
    QCOMPARE(schemes.value("pa"), 52);
    QCOMPARE(schemes.value("pb"), 18);
    QCOMPARE(schemes.size(), 3);
    QCOMPARE(otherIds, QStringList{"pa://cctv_p2p264_sports"});
}

void TestWindowTables::firstChannel()
{
    const MenuRow* r = WebTvChannelTable::table().row(QString::fromLatin1(WebTvChannelTable::FirstChannelKey));
    QVERIFY(r);
    QCOMPARE(r->caption, QStringLiteral("CCTV-1(综合)"));
    QCOMPARE(r->value, QStringLiteral("pa://cctv_p2p_cctv1"));
}

void TestWindowTables::playerPageUrl_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("query");
    QTest::newRow("hyphen") << "pl://cctv_p2p_hdshan-xi"
                            << "width=550&height=480&channel=pl://cctv_p2p_hdshan-xi&type=p2p";
    QTest::newRow("digits in id") << "pa://cctv_p2p264_sports"
                                  << "width=550&height=480&channel=pa://cctv_p2p264_sports&type=p2p";
}

void TestWindowTables::playerPageUrl()
{
    QFETCH(QString, value);
    QFETCH(QString, query);
    QCOMPARE(WebTvChannelTable::playerPageUrl(value),
             QString::fromUtf8(buildvalues::WebTvPageServer) + "/cctv/cctvplayer.html?" + query);
}

void TestWindowTables::valueForms_data()
{
    QTest::addColumn<bool>("channel"); // channel value, else station URL
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    const auto url = [](const char* name, const char* value, bool valid) {
        QTest::newRow(name) << false << QString::fromLatin1(value) << valid;
    };
    url("mms path", "mms://192.0.2.1/live04", true);
    url("mms root with port", "mms://radio.example.invalid:1755", true);
    url("mms root slash", "mms://radio.example.invalid:1755/", true);
    url("swf with query", "http://h.example.invalid/p.swf?file=a&b=1", true);
    url("https, rtsp", "rtsp://h.example.invalid/a", true);
    url("no host", "mms://:1755/live", false);
    url("port not numeric", "mms://h.example.invalid:x/live", false);
    url("white space", "mms://h.example.invalid/a b", false);
    url("other scheme", "ftp://h.example.invalid/a", false);
    url("upper-case scheme", "MMS://h.example.invalid/a", false);
    url("no scheme", "h.example.invalid/a", false);
    const auto channel = [](const char* name, const char* value, bool valid) {
        QTest::newRow(name) << true << QString::fromLatin1(value) << valid;
    };
    channel("pl with hyphen", "pl://cctv_p2p_hdshan-xi", true);
    channel("pb", "pb://cctv_p2p_foshan", true);
    channel("unknown scheme", "pc://cctv_p2p_cctv1", false);
    channel("no id", "pa://", false);
    channel("one slash", "pa:/cctv_p2p_cctv1", false);
    channel("query delimiter", "pa://cctv1&type=x", false);
    channel("fragment", "pa://cctv1#x", false);
    channel("space", "pa://cctv 1", false);
}

void TestWindowTables::valueForms()
{
    QFETCH(bool, channel);
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QCOMPARE(channel ? WebTvChannelTable::isChannelValue(value) : RadioStationTable::isStationUrl(value), valid);
}

void TestWindowTables::checks_data()
{
    // A radio-style table (menu, then a separate key -> URL table) or a web-TV-style one (values in
    // a fourth column), and the fault its first use reports; empty when it builds.
    QTest::addColumn<bool>("webTv");
    QTest::addColumn<QByteArray>("menu");
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<QString>("error");
    const auto radio = [](const char* name, const char* menu, const char* values, const char* error) {
        QTest::newRow(name) << false << QByteArray(menu) << QByteArray(values) << QString::fromLatin1(error);
    };
    const auto webTv = [](const char* name, const char* menu, const char* error) {
        QTest::newRow(name) << true << QByteArray(menu) << QByteArray() << QString::fromLatin1(error);
    };
    // a > b > c, a > d
    const char* menu = "# comment\na\tA\t\nb\tB\ta\nc\tC\tb\nd\tD\ta\n";
    radio("radio ok", menu, "c\tmms://h.example.invalid/x\n", "");
    radio("key twice", "a\tA\t\nb\tB\ta\na\tC\t\n", "", "m line 3: key 'a' occurs twice");
    radio("parent after child", "b\tB\ta\na\tA\t\n", "", "m line 1: parent 'a' of 'b' is not an earlier row");
    radio("unknown parent", "a\tA\t\nb\tB\tx\n", "", "m line 2: parent 'x' of 'b' is not an earlier row");
    radio("key form", "a b\tA\t\n", "", "m line 1: key 'a b' is not letters");
    radio("blank caption", "a\t \t\n", "", "m line 1: 'a' has no caption");
    radio("missing column", "a\tA\n", "", "m line 1: 2 fields, expected 3");
    radio("value for a sub-menu", menu, "b\tmms://h.example.invalid/x\n", "v line 1: 'b' is not an item of m");
    radio("value for an unknown key", menu, "x\tmms://h.example.invalid/x\n", "v line 1: 'x' is not an item of m");
    radio("value twice", menu, "c\tmms://h/x\nd\tmms://h/y\nc\tmms://h/z\n", "v line 3: key 'c' occurs twice");
    radio("bad URL", menu, "c\tmms://:1755/x\n", "v line 1: 'c': value 'mms://:1755/x' is not");
    radio("values missing a column", menu, "c\n", "v line 1: 1 fields, expected 2");
    webTv("web-TV ok", "a\tA\t\t\nb\tB\ta\t\nc\tC\tb\tpl://cctv_p2p_a-b\nd\tD\ta\tpb://d\n", "");
    webTv("sub-menu with a value", "m\tM\t\tpl://x\nc\tC\tm\tpl://y\n", "m line 1: 'm' holds entries but has a value");
    webTv("bad channel value", "m\tM\t\t\nc\tC\tm\tpl://x&type=y\n", "m line 2: 'c': value 'pl://x&type=y' is not");
}

void TestWindowTables::checks()
{
    QFETCH(bool, webTv);
    QFETCH(QByteArray, menu);
    QFETCH(QByteArray, values);
    QFETCH(QString, error);
    const std::string_view menuText(menu.constData(), size_t(menu.size()));
    const std::string_view valuesText(values.constData(), size_t(values.size()));
    const MenuTable::Source source = webTv
        ? MenuTable::Source{"m", menuText, true, nullptr, {}, WebTvChannelTable::isChannelValue, "a channel value"}
        : MenuTable::Source{"m", menuText, false, "v", valuesText, RadioStationTable::isStationUrl, "a URL"};
    try {
        const MenuTable table(source);
        QVERIFY2(error.isEmpty(), qPrintable("built despite: " + error));
        const MenuRow* c = table.row(QStringLiteral("c"));
        QVERIFY(c && !c->isMenu);
        QCOMPARE(table.menuPath(*c), QStringLiteral("a/b"));
        QVERIFY(table.row(QStringLiteral("b"))->isMenu);
        QVERIFY(!table.value(QStringLiteral("b")));
        QVERIFY(table.value(QStringLiteral("c")));
        if (!webTv)
            QVERIFY(!table.value(QStringLiteral("d")));
    } catch (const std::logic_error& e) {
        QVERIFY2(!error.isEmpty(), e.what());
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(error), e.what());
    }
}

QTEST_APPLESS_MAIN(TestWindowTables)
#include "tst_windowtables.moc"
