#include "Playlist.h"

#include <QSet>
#include <QStringView>

#include <algorithm>
#include <utility>

// Real playlists are hand-written or produced by old server scripts: bare '&', unquoted
// attributes, mixed case, unclosed tags, UTF-16 with a BOM. A strict XML reader rejects many of
// them, so this is a small forgiving scanner over the decoded text. Every loop below advances by
// at least one character per step, so no input can make it spin.
namespace playlist {
namespace {

QString decode(QByteArrayView bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    auto utf16 = [&](qsizetype skip, bool bigEndian) {
        const qsizetype units = (n - skip) / 2;
        QString text(units, Qt::Uninitialized);
        for (qsizetype i = 0; i < units; ++i) {
            const unsigned char hi = b[skip + 2 * i + (bigEndian ? 0 : 1)];
            const unsigned char lo = b[skip + 2 * i + (bigEndian ? 1 : 0)];
            text[i] = QChar(char16_t((hi << 8) | lo));
        }
        return text;
    };
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return QString::fromUtf8(bytes.sliced(3));
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return utf16(2, false);
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return utf16(2, true);
    // UTF-16 saved without a BOM still starts with an ASCII '<' or '[' next to a zero byte.
    if (n >= 2 && b[1] == 0 && (b[0] == '<' || b[0] == '['))
        return utf16(0, false);
    if (n >= 2 && b[0] == 0 && (b[1] == '<' || b[1] == '['))
        return utf16(0, true);
    return QString::fromUtf8(bytes);
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v' || c == QChar(0xA0)
        || c == QChar(0xFEFF);
}

// Characters that end a tag or attribute name.
bool endsName(QChar c)
{
    return isSpace(c) || c == u'>' || c == u'<' || c == u'/' || c == u'=' || c == u'"' || c == u'\'';
}

bool startsWithCi(QStringView s, qsizetype at, QStringView word)
{
    return s.size() - at >= word.size() && s.sliced(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// `s` from `at` is a proper prefix of `word`: more bytes may still complete it.
bool isPartialOf(QStringView s, qsizetype at, QStringView word)
{
    const qsizetype rest = s.size() - at;
    return rest < word.size() && word.first(rest).compare(s.sliced(at), Qt::CaseInsensitive) == 0;
}

struct Head
{
    enum class State { NeedMore, Reference, Root, Other } state = State::NeedMore;
    QString root;
    bool doctypeHtml = false;
};

// Skips BOM-decoded whitespace, XML declarations and processing instructions, comments and
// doctypes, and names what comes first: the "[Reference]" header, the root element, or other.
Head scanHead(QStringView s)
{
    Head head;
    qsizetype i = 0;
    const qsizetype n = s.size();
    for (;;) {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i == n)
            return head;
        if (s[i] == u'[') {
            static constexpr QStringView header = u"[reference]";
            if (startsWithCi(s, i, header))
                head.state = Head::State::Reference;
            else if (!isPartialOf(s, i, header))
                head.state = Head::State::Other;
            return head;
        }
        if (s[i] != u'<') {
            head.state = Head::State::Other;
            return head;
        }
        if (i + 1 == n || isPartialOf(s, i, u"<!--"))
            return head;
        if (s[i + 1] == u'?') {
            const qsizetype end = s.indexOf(u"?>", i + 2);
            if (end < 0)
                return head;
            i = end + 2;
            continue;
        }
        if (startsWithCi(s, i, u"<!--")) {
            const qsizetype end = s.indexOf(u"-->", i + 4);
            if (end < 0)
                return head;
            i = end + 3;
            continue;
        }
        if (s[i + 1] == u'!') {
            const qsizetype end = s.indexOf(u'>', i + 2);
            if (end < 0)
                return head;
            const QStringView decl = s.sliced(i + 2, end - i - 2);
            if (decl.startsWith(u"doctype", Qt::CaseInsensitive) && decl.contains(u"html", Qt::CaseInsensitive))
                head.doctypeHtml = true;
            i = end + 1;
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && !endsName(s[j]))
            ++j;
        if (j == n)
            return head; // the name may go on
        head.root = s.sliced(i + 1, j - i - 1).toString();
        head.state = head.root.isEmpty() ? Head::State::Other : Head::State::Root;
        return head;
    }
}

Kind kindOf(const Head& head)
{
    if (head.state == Head::State::Reference)
        return Kind::Reference;
    if (head.state != Head::State::Root)
        return Kind::NotPlaylist;
    if (head.root.compare(u"asx", Qt::CaseInsensitive) == 0)
        return Kind::Asx;
    // The server-side form: a wsx processing instruction and a smil document.
    if (head.root.compare(u"smil", Qt::CaseInsensitive) == 0)
        return Kind::Wsx;
    return Kind::NotPlaylist;
}

QString decodeEntities(QStringView v)
{
    if (!v.contains(u'&'))
        return v.toString();
    QString out;
    out.reserve(v.size());
    qsizetype i = 0;
    while (i < v.size()) {
        if (v[i] != u'&') {
            out += v[i++];
            continue;
        }
        // Entity names are short: look no further, so a run of bare '&' stays linear.
        const qsizetype window = std::min<qsizetype>(10, v.size() - i - 1);
        const qsizetype found = v.sliced(i + 1, window).indexOf(u';');
        const qsizetype semi = found < 0 ? -1 : i + 1 + found;
        // A bare '&' (common in query strings) stays as it is.
        if (semi < 0) {
            out += v[i++];
            continue;
        }
        const QStringView name = v.sliced(i + 1, semi - i - 1);
        char32_t code = 0;
        if (name == u"amp")
            code = '&';
        else if (name == u"lt")
            code = '<';
        else if (name == u"gt")
            code = '>';
        else if (name == u"quot")
            code = '"';
        else if (name == u"apos")
            code = '\'';
        else if (name.size() > 1 && name[0] == u'#') {
            bool ok = false;
            const uint value = (name[1] == u'x' || name[1] == u'X') ? name.sliced(2).toUInt(&ok, 16) : name.sliced(1).toUInt(&ok, 10);
            if (ok && value > 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF))
                code = value;
        }
        if (code == 0) {
            out += v[i++];
            continue;
        }
        const char32_t one[] = {code};
        out += QString::fromUcs4(one, 1);
        i = semi + 1;
    }
    return out;
}

struct Element
{
    QStringView name;
    QList<std::pair<QStringView, QStringView>> attributes; // values still raw
};

// Walks the start tags of the document in order. Stops at the first construct cut off by the end
// of the input: what came before it stands, the damaged tag does not.
template<typename Visit>
void scanElements(QStringView s, Visit&& visit)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = s.indexOf(u'<', i);
        if (lt < 0)
            return;
        auto skipTo = [&](QStringView terminator, qsizetype from) {
            const qsizetype end = s.indexOf(terminator, from);
            if (end < 0)
                return false;
            i = end + terminator.size();
            return true;
        };
        if (startsWithCi(s, lt, u"<!--")) {
            if (!skipTo(u"-->", lt + 4))
                return;
            continue;
        }
        if (startsWithCi(s, lt, u"<![CDATA[")) {
            if (!skipTo(u"]]>", lt + 9))
                return;
            continue;
        }
        if (lt + 1 < n && s[lt + 1] == u'?') {
            if (!skipTo(u"?>", lt + 2))
                return;
            continue;
        }
        if (lt + 1 < n && (s[lt + 1] == u'!' || s[lt + 1] == u'/')) {
            if (!skipTo(u">", lt + 2))
                return;
            continue;
        }
        qsizetype j = lt + 1;
        while (j < n && !endsName(s[j]))
            ++j;
        if (j == lt + 1) { // "<" followed by no name: plain text
            i = lt + 1;
            continue;
        }
        Element element;
        element.name = s.sliced(lt + 1, j - lt - 1);
        bool closed = false;
        while (j < n) {
            const QChar c = s[j];
            if (isSpace(c) || c == u'/') {
                ++j;
                continue;
            }
            if (c == u'>') {
                ++j;
                closed = true;
                break;
            }
            if (c == u'<') { // an unclosed tag: take it as ending here
                closed = true;
                break;
            }
            qsizetype k = j;
            while (k < n && !endsName(s[k]))
                ++k;
            if (k == j) { // a stray quote or '=': skip it
                ++j;
                continue;
            }
            const QStringView attrName = s.sliced(j, k - j);
            j = k;
            while (j < n && isSpace(s[j]))
                ++j;
            QStringView value;
            if (j < n && s[j] == u'=') {
                ++j;
                while (j < n && isSpace(s[j]))
                    ++j;
                if (j == n)
                    break;
                if (s[j] == u'"' || s[j] == u'\'') {
                    const qsizetype close = s.indexOf(s[j], j + 1);
                    if (close < 0) {
                        j = n;
                        break;
                    }
                    value = s.sliced(j + 1, close - j - 1);
                    j = close + 1;
                } else {
                    qsizetype e = j;
                    while (e < n && !isSpace(s[e]) && s[e] != u'>' && s[e] != u'<')
                        ++e;
                    value = s.sliced(j, e - j);
                    j = e;
                }
            }
            element.attributes.append({attrName, value});
        }
        if (!closed)
            return;
        visit(element);
        i = j;
    }
}

QStringView attribute(const Element& element, QStringView name)
{
    for (const auto& [key, value] : element.attributes) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

// A Windows drive path or a share: local, whatever a URL parser makes of it.
bool isWindowsPath(QStringView v)
{
    if (v.startsWith(u"\\\\"))
        return true;
    return v.size() >= 3 && v[0].isLetter() && v[0].unicode() < 128 && v[1] == u':' && (v[2] == u'\\' || v[2] == u'/');
}

class Collector
{
public:
    Collector(Parsed& parsed, const QUrl& base) : m_parsed(parsed), m_base(base) {}

    void add(QStringView raw)
    {
        const QString written = decodeEntities(raw).trimmed();
        if (written.isEmpty())
            return;
        QUrl url;
        if (!isWindowsPath(written)) {
            url = QUrl(written, QUrl::TolerantMode);
            if (url.isValid() && url.isRelative() && m_base.isValid())
                url = m_base.resolved(url);
        }
        if (!isNetworkStreamUrl(url)) {
            m_parsed.refused.append(written);
            return;
        }
        if (!m_seen.contains(url)) {
            m_seen.insert(url);
            m_parsed.candidates.append(url);
        }
    }

private:
    Parsed& m_parsed;
    QUrl m_base;
    QSet<QUrl> m_seen; // a playlist near the size limit may hold tens of thousands of refs
};

void parseMarkup(QStringView text, Collector& collector)
{
    scanElements(text, [&](const Element& element) {
        const QStringView name = element.name;
        QStringView target;
        if (name.compare(u"ref", Qt::CaseInsensitive) == 0) {
            target = attribute(element, u"href");
            if (target.isNull())
                target = attribute(element, u"src");
        } else if (name.compare(u"entryref", Qt::CaseInsensitive) == 0) {
            target = attribute(element, u"href");
        } else if (name.compare(u"media", Qt::CaseInsensitive) == 0) {
            target = attribute(element, u"src");
        }
        if (!target.isNull())
            collector.add(target);
    });
}

void parseReference(QStringView text, Collector& collector)
{
    QList<std::pair<qulonglong, QStringView>> refs;
    bool inSection = false;
    for (QStringView line : text.tokenize(u'\n')) {
        line = line.trimmed(); // also drops the '\r' of CRLF files
        if (line.startsWith(u'[')) {
            inSection = line.compare(u"[reference]", Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inSection || eq < 0)
            continue;
        const QStringView key = line.first(eq).trimmed();
        if (!key.startsWith(u"ref", Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const qulonglong number = key.sliced(3).toULongLong(&ok);
        if (!ok)
            continue;
        QStringView value = line.sliced(eq + 1).trimmed();
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
            value = value.sliced(1, value.size() - 2);
        refs.append({number, value});
    }
    // Ref1, Ref2, ... by number; the order of the lines only breaks ties.
    std::stable_sort(refs.begin(), refs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& ref : refs)
        collector.add(ref.second);
}

} // namespace

Kind sniff(QByteArrayView head)
{
    return kindOf(scanHead(decode(head.first(std::min(head.size(), sniffWindow)))));
}

std::optional<Kind> sniffPrefix(QByteArrayView head)
{
    if (head.size() >= sniffWindow)
        return sniff(head);
    // The first bytes of a byte order mark say nothing yet.
    if (head.size() < 3 && QByteArrayView("\xEF\xBB\xBF").startsWith(head))
        return std::nullopt;
    if (head.size() == 1 && (head[0] == '\xFF' || head[0] == '\xFE'))
        return std::nullopt;
    const Head scanned = scanHead(decode(head));
    if (scanned.state == Head::State::NeedMore)
        return std::nullopt;
    return kindOf(scanned);
}

bool looksLikeHtml(QByteArrayView head)
{
    const Head scanned = scanHead(decode(head.first(std::min(head.size(), sniffWindow))));
    return scanned.doctypeHtml
        || (scanned.state == Head::State::Root && scanned.root.compare(u"html", Qt::CaseInsensitive) == 0);
}

Parsed parse(QByteArrayView bytes, const QUrl& base)
{
    Parsed parsed;
    parsed.kind = sniff(bytes);
    if (parsed.kind == Kind::NotPlaylist) {
        parsed.error = QStringLiteral("not a playlist");
        return parsed;
    }
    const QString text = decode(bytes);
    Collector collector(parsed, base);
    if (parsed.kind == Kind::Reference)
        parseReference(text, collector);
    else
        parseMarkup(text, collector);
    if (parsed.candidates.isEmpty()) {
        parsed.error = parsed.refused.isEmpty()
            ? QStringLiteral("the playlist names no stream")
            : QStringLiteral("the playlist leads only to addresses that are not network streams: ")
                + parsed.refused.join(QStringLiteral(", "));
    }
    return parsed;
}

bool isNetworkStreamUrl(const QUrl& url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    static const QStringList schemes = {
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("rtsp"), QStringLiteral("rtsps"),
        QStringLiteral("mms"),  QStringLiteral("mmsh"),  QStringLiteral("mmst"),
    };
    return schemes.contains(url.scheme(), Qt::CaseInsensitive);
}

} // namespace playlist
