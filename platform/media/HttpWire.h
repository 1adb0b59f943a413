#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

// The bytes of an HTTP/1.x response, read as pure functions: no socket, no state beyond what the
// caller holds, every read bounded. HttpFetch is the socket glue around them.
namespace httpwire {

struct HeadLimits
{
    qsizetype maxBytes = 16 * 1024;    // status lines and header lines together, interim heads included
    int maxFields = 100;               // header lines of one head
    qsizetype maxLineBytes = 8 * 1024; // one line, line end included
};

struct Head
{
    int status = 0;
    int minorVersion = 0; // HTTP/1.<minor>; an "ICY" status line counts as 1.0
    QList<QPair<QByteArray, QByteArray>> fields; // names as sent, values without surrounding blanks

    // The first field of that name (any letter case); empty when there is none.
    QByteArray value(QByteArrayView name) const;
    // Every value of that name, comma lists split, blanks trimmed, empty items dropped.
    QList<QByteArray> values(QByteArrayView name) const;
};

enum class HeadStatus {
    Incomplete, // more bytes needed; what is there is within the limits
    Complete,
    TooLarge,   // a limit was crossed before the head ended
    Malformed,
};

struct HeadParse
{
    HeadStatus status = HeadStatus::Incomplete;
    qsizetype consumed = 0; // for Complete: the bytes of every head read, interim ones included
    Head head;              // for Complete: the final head
};

// Reads the response head at the start of `bytes`, passing over interim (1xx) heads. Line ends may
// be CRLF or a bare LF. Looks at no more than limits.maxBytes (+1 to see the limit crossed).
HeadParse parseHead(QByteArrayView bytes, const HeadLimits& limits = {});

struct Framing
{
    enum class Kind {
        NoBody,     // 1xx, 204, 304
        Length,     // Content-Length
        Chunked,
        UntilClose, // the body ends with the connection
        Malformed,  // Content-Length that is not one plain number
        Unsupported // a transfer coding other than chunked
    } kind = Kind::UntilClose;
    qint64 length = 0; // for Length
};

// How the body of a response to a GET with this head is delimited.
Framing framing(const Head& head);

// The content coding of the body when it is not plain ("gzip", "br", ...); empty when plain.
QByteArray contentCoding(const Head& head);

// Takes a chunked body apart, a piece at a time. Sizes are checked for overflow and garbage; a
// broken framing ends the body where it broke (the caller keeps what came before).
class ChunkDecoder
{
public:
    enum class Status { More, Done, Broken };

    static constexpr qsizetype maxSizeLineBytes = 4 * 1024; // size, extensions and line end

    // Reads from `in`, appending no more than `room` body bytes to `out`. `consumed` says how many
    // bytes of `in` were used; the rest (a line not yet whole, or data beyond `room`) must be given
    // again, followed by the bytes that come after it.
    Status feed(QByteArrayView in, qsizetype* consumed, QByteArray* out, qint64 room);
    Status status() const { return m_status; }

private:
    enum class Part { Size, Data, DataEnd };
    Part m_part = Part::Size;
    Status m_status = Status::More;
    qint64 m_left = 0; // bytes of the current chunk not yet read
};

} // namespace httpwire
