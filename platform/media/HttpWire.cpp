#include "HttpWire.h"

#include <algorithm>
#include <limits>

namespace httpwire {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// "HTTP/1.x NNN reason" or, from old radio servers, "ICY NNN reason". 0 when neither.
int parseStatusLine(QByteArrayView line, int* minorVersion)
{
    qsizetype at = 0;
    if (line.startsWith("HTTP/1.") && line.size() > 8 && isDigit(line[7]) && line[8] == ' ') {
        *minorVersion = line[7] - '0';
        at = 9;
    } else if (line.startsWith("ICY ")) {
        *minorVersion = 0;
        at = 4;
    } else {
        return 0;
    }
    if (line.size() < at + 3 || !isDigit(line[at]) || !isDigit(line[at + 1]) || !isDigit(line[at + 2]))
        return 0;
    if (line.size() > at + 3 && line[at + 3] != ' ')
        return 0;
    const int status = (line[at] - '0') * 100 + (line[at + 1] - '0') * 10 + (line[at + 2] - '0');
    return status >= 100 && status <= 599 ? status : 0;
}

} // namespace

QByteArray Head::value(QByteArrayView name) const
{
    for (const auto& [fieldName, fieldValue] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0)
            return fieldValue;
    }
    return {};
}

QList<QByteArray> Head::values(QByteArrayView name) const
{
    QList<QByteArray> out;
    for (const auto& [fieldName, fieldValue] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (const QByteArray& item : fieldValue.split(',')) {
            const QByteArray trimmed = item.trimmed();
            if (!trimmed.isEmpty())
                out.append(trimmed);
        }
    }
    return out;
}

HeadParse parseHead(QByteArrayView bytes, const HeadLimits& limits)
{
    HeadParse out;
    // Lines must end inside the budget; whatever lies beyond it is not looked at.
    const QByteArrayView window = bytes.first(std::min(bytes.size(), limits.maxBytes));
    qsizetype pos = 0;
    Head head;
    bool inHead = false; // the status line of the current head has been read
    while (true) {
        const qsizetype end = window.indexOf('\n', pos);
        if (end < 0) {
            const bool overBudget = bytes.size() > limits.maxBytes || window.size() - pos >= limits.maxLineBytes;
            out.status = overBudget ? HeadStatus::TooLarge : HeadStatus::Incomplete;
            return out;
        }
        if (end - pos + 1 > limits.maxLineBytes) {
            out.status = HeadStatus::TooLarge;
            return out;
        }
        QByteArrayView line = window.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        // A bare CR or a NUL inside a line is how requests get smuggled past other readers.
        if (line.contains('\r') || line.contains('\0')) {
            out.status = HeadStatus::Malformed;
            return out;
        }
        if (!inHead) {
            head = Head();
            head.status = parseStatusLine(line, &head.minorVersion);
            if (head.status == 0) {
                out.status = HeadStatus::Malformed;
                return out;
            }
            inHead = true;
            continue;
        }
        if (line.isEmpty()) {
            // A GET never asks to switch protocols; other 1xx heads come before the real one.
            if (head.status == 101) {
                out.status = HeadStatus::Malformed;
                return out;
            }
            if (head.status < 200) {
                inHead = false;
                continue;
            }
            out.status = HeadStatus::Complete;
            out.consumed = pos;
            out.head = std::move(head);
            return out;
        }
        if (isBlank(line.front())) {
            // A folded line continues the value before it.
            if (head.fields.isEmpty()) {
                out.status = HeadStatus::Malformed;
                return out;
            }
            QByteArray& value = head.fields.last().second;
            const QByteArrayView more = trimmedBlanks(line);
            if (!more.isEmpty())
                value += (value.isEmpty() ? QByteArray() : QByteArray(" ")) + more.toByteArray();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !std::all_of(line.begin(), line.begin() + colon, isTokenChar)) {
            out.status = HeadStatus::Malformed;
            return out;
        }
        if (head.fields.size() >= limits.maxFields) {
            out.status = HeadStatus::TooLarge;
            return out;
        }
        head.fields.append(qMakePair(line.first(colon).toByteArray(), trimmedBlanks(line.sliced(colon + 1)).toByteArray()));
    }
}

Framing framing(const Head& head)
{
    Framing out;
    if (head.status < 200 || head.status == 204 || head.status == 304) {
        out.kind = Framing::Kind::NoBody;
        return out;
    }
    QList<QByteArray> codings;
    for (const QByteArray& coding : head.values("Transfer-Encoding")) {
        if (coding.toLower() != "identity")
            codings.append(coding.toLower());
    }
    if (!codings.isEmpty()) {
        // The length of a chunked body is in the chunks: a Content-Length beside it is ignored.
        out.kind = codings == QList<QByteArray>{"chunked"} ? Framing::Kind::Chunked : Framing::Kind::Unsupported;
        return out;
    }
    const QList<QByteArray> lengths = head.values("Content-Length");
    if (lengths.isEmpty())
        return out; // until close
    // Repeats of one number are harmless; two different numbers mean two readers could disagree.
    const QByteArray& first = lengths.first();
    const bool plain = first.size() <= 18 && std::all_of(first.begin(), first.end(), isDigit);
    if (!plain || std::any_of(lengths.begin(), lengths.end(), [&first](const QByteArray& l) { return l != first; })) {
        out.kind = Framing::Kind::Malformed;
        return out;
    }
    out.kind = Framing::Kind::Length;
    out.length = first.toLongLong();
    return out;
}

QByteArray contentCoding(const Head& head)
{
    QList<QByteArray> codings;
    for (const QByteArray& coding : head.values("Content-Encoding")) {
        if (coding.toLower() != "identity")
            codings.append(coding);
    }
    return codings.join(", ");
}

ChunkDecoder::Status ChunkDecoder::feed(QByteArrayView in, qsizetype* consumed, QByteArray* out, qint64 room)
{
    qsizetype pos = 0;
    qint64 written = 0;
    while (m_status == Status::More) {
        if (m_part == Part::Size) {
            const qsizetype end = in.indexOf('\n', pos);
            if (end < 0) {
                if (in.size() - pos >= maxSizeLineBytes)
                    m_status = Status::Broken;
                break;
            }
            if (end - pos + 1 > maxSizeLineBytes) {
                m_status = Status::Broken;
                break;
            }
            QByteArrayView line = in.sliced(pos, end - pos);
            if (line.endsWith('\r'))
                line.chop(1);
            qint64 size = 0;
            qsizetype at = 0;
            for (; at < line.size(); ++at) {
                const char c = line[at];
                int digit;
                if (isDigit(c))
                    digit = c - '0';
                else if (c >= 'a' && c <= 'f')
                    digit = c - 'a' + 10;
                else if (c >= 'A' && c <= 'F')
                    digit = c - 'A' + 10;
                else
                    break;
                if (size > (std::numeric_limits<qint64>::max() >> 4)) {
                    m_status = Status::Broken; // no real chunk is that large
                    break;
                }
                size = size * 16 + digit;
            }
            if (m_status != Status::More)
                break;
            // Extensions after ';' mean nothing to us; anything else after the size is garbage.
            const QByteArrayView rest = trimmedBlanks(line.sliced(at));
            if (at == 0 || (!rest.isEmpty() && rest.front() != ';') || rest.contains('\r')) {
                m_status = Status::Broken;
                break;
            }
            pos = end + 1;
            if (size == 0) {
                // The last chunk. Trailers are not read: the connection ends with this response.
                m_status = Status::Done;
                break;
            }
            m_left = size;
            m_part = Part::Data;
        } else if (m_part == Part::Data) {
            const qint64 n = std::min({m_left, qint64(in.size() - pos), room - written});
            if (n <= 0)
                break;
            out->append(in.sliced(pos, qsizetype(n)));
            pos += qsizetype(n);
            written += n;
            m_left -= n;
            if (m_left == 0)
                m_part = Part::DataEnd;
        } else {
            if (pos >= in.size())
                break;
            if (in[pos] == '\n') {
                pos += 1;
            } else if (in[pos] == '\r') {
                if (pos + 1 >= in.size())
                    break;
                if (in[pos + 1] != '\n') {
                    m_status = Status::Broken;
                    break;
                }
                pos += 2;
            } else {
                m_status = Status::Broken;
                break;
            }
            m_part = Part::Size;
        }
    }
    *consumed = pos;
    return m_status;
}

} // namespace httpwire
