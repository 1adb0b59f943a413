#include "ChannelCatalogue.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void counts();
    void childCounts_data();
    void childCounts();
    void exactRows_data();
    void exactRows();
    void keysAreWellFormedAndUnique();
    void parentsPrecedeChildren();
};

void TestCatalogue::counts()
{
    const auto& all = ChannelCatalogue::records();
    QCOMPARE(all.size(), ChannelCatalogue::RecordCount);
    int top = 0, regions = 0, channels = 0;
    QSet<QString> parents;
    for (const auto& r : all)
        if (!r.parentKey.isEmpty())
            parents.insert(r.parentKey);
    for (const auto& r : all) {
        if (r.parentKey.isEmpty())
            ++top;
        else if (r.parentKey == u"difang")
            ++regions;
        if (!parents.contains(r.key))
            ++channels;
    }
    QCOMPARE(top, 5);
    QCOMPARE(regions, 27);
    QCOMPARE(channels, 556);
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all[i].order, i + 1);
}

void TestCatalogue::childCounts_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("order");
    QTest::addColumn<int>("children");
    const QList<std::tuple<const char*, int, int>> rows{
        {"zhongyang", 1, 24}, {"difang", 26, 27}, {"beijing", 27, 9}, {"zhongqing", 37, 8},
        {"guangdong", 46, 36}, {"guangxi", 83, 13}, {"hunan", 97, 11}, {"jiangxi", 109, 10},
        {"jiangsu", 120, 32}, {"sichuan", 153, 11}, {"zhejiang", 165, 44}, {"xiamen", 210, 5},
        {"nanjing", 216, 8}, {"shanghai", 225, 17}, {"hubei", 243, 19}, {"anhui", 263, 13},
        {"shandong", 277, 21}, {"shanxi", 299, 4}, {"henan", 304, 6}, {"hebei", 311, 17},
        {"fujian", 329, 1}, {"heilongjiang", 331, 5}, {"liaoning", 337, 17}, {"jilin", 355, 7},
        {"guizhou", 363, 3}, {"yunnan", 367, 4}, {"shanxis", 372, 4}, {"neimenggu", 377, 6},
        {"qita", 384, 3}, {"gangtai", 388, 64}, {"guowai", 453, 105}, {"shexiangtou", 559, 29},
    };
    for (const auto& [key, order, children] : rows)
        QTest::newRow(key) << QString::fromLatin1(key) << order << children;
}

void TestCatalogue::childCounts()
{
    QFETCH(QString, parent);
    QFETCH(int, order);
    QFETCH(int, children);
    const ChannelRecord* r = ChannelCatalogue::find(parent);
    QVERIFY(r);
    QCOMPARE(r->order, order);
    int n = 0;
    for (const auto& c : ChannelCatalogue::records())
        n += c.parentKey == parent ? 1 : 0;
    QCOMPARE(n, children);
}

void TestCatalogue::exactRows_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parent");
    const auto row = [](int order, const char* key, const char* caption, const char* parent) {
        QTest::addRow("%d %s", order, key) << order << QString::fromUtf8(key) << QString::fromUtf8(caption)
                                           << QString::fromUtf8(parent);
    };
    row(1, "zhongyang", "中央电视台", "");
    row(2, "yitao1", "CCTV-1综合", "zhongyang");
    row(17, "cctv-hd", "CCTV-高清", "zhongyang");
    row(19, "cctv_sjdl", "CCTV-世界地理", "zhongyang");
    row(36, "btv-ku", "北京卡酷动画", "beijing");
    row(70, "gdtvs22", "TVS-★", "guangdong");
    row(198, "090206lxxw", "兰溪电视台", "zhejiang");
    row(330, "dnws", "东南卫视", "fujian");
    row(385, "JoyLive", "天津卫视", "qita");
    row(398, "hy1", "华娱卫视①", "gangtai");
    row(421, "tvbshl", "IMTV网络电视", "gangtai");
    row(466, "cIubtv2", "韩国UBC频道", "guowai");
    row(509, "Reaearch", "英国Reaearch电视台", "guowai");
    row(515, "France", "法国 BFM TV", "guowai");
    row(529, "child", "俄罗斯Smile of a child电视台", "guowai");
    row(545, "Velevisa", ">西班牙Velevisa电视台", "guowai");
    row(559, "shexiangtou", "世界摄像头直播", "");
    row(560, "csRacheed", "美国.加利福尼亚.博尔德克里克.未知", "shexiangtou");
    row(567, "panorama_ktn_live", "奥地利.卡林西亚.湖光山色", "shexiangtou");
    row(588, "csharriesteenbruggen", "荷兰.未知地点.窗外", "shexiangtou");
}

void TestCatalogue::exactRows()
{
    QFETCH(int, order);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, parent);
    const ChannelRecord& r = ChannelCatalogue::records().at(order - 1);
    QCOMPARE(r.key, key);
    QCOMPARE(r.caption, caption);
    QCOMPARE(r.parentKey, parent);
    QCOMPARE(ChannelCatalogue::find(key), &r);
}

void TestCatalogue::keysAreWellFormedAndUnique()
{
    static const QRegularExpression keyForm(QStringLiteral("^[A-Za-z0-9_-]{2,20}$"));
    QSet<QString> folded;
    for (const auto& r : ChannelCatalogue::records()) {
        QVERIFY2(keyForm.match(r.key).hasMatch(), qPrintable(r.key));
        QVERIFY2(!folded.contains(r.key.toLower()), qPrintable("duplicate key " + r.key));
        folded.insert(r.key.toLower());
        QVERIFY2(r.caption.size() >= 3 && r.caption.size() <= 22, qPrintable(r.caption));
    }
    // Lookups are exact: a key that differs in letter case finds nothing.
    QVERIFY(ChannelCatalogue::find(QStringLiteral("cIubtv2")));
    QVERIFY(!ChannelCatalogue::find(QStringLiteral("clubtv2")));
    QVERIFY(!ChannelCatalogue::find(QStringLiteral("joylive")));
}

void TestCatalogue::parentsPrecedeChildren()
{
    QHash<QString, int> seen;
    QString lastParent;
    for (const auto& r : ChannelCatalogue::records()) {
        if (!r.parentKey.isEmpty()) {
            QVERIFY2(seen.contains(r.parentKey), qPrintable("orphan " + r.key));
            // Pre-order: a child follows its parent or a sibling, never a later group.
            const ChannelRecord& previous = ChannelCatalogue::records().at(r.order - 2);
            QVERIFY2(previous.key == r.parentKey || previous.parentKey == r.parentKey
                         || ChannelCatalogue::find(previous.parentKey)->parentKey == r.parentKey,
                     qPrintable(r.key));
        }
        seen.insert(r.key, r.order);
    }
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
