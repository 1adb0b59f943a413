// Response heads and chunked bodies come from any server: whatever the bytes, reading them must
// end, stay within its limits, not crash, and give the same answer however the bytes are split
// between reads.
//
// Built two ways: as a libFuzzer target (LUMIVO_LIBFUZZER, clang only) and as a plain replay
// program (ReplayDriver).

#include "HttpWire.h"
#include "ReplayDriver.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_httpwire: broken: %s\n", what);
        std::abort();
    }
}

void checkHead(QByteArrayView bytes)
{
    // Small limits, so the fuzzer reaches them.
    httpwire::HeadLimits limits;
    limits.maxBytes = 2048;
    limits.maxFields = 8;
    limits.maxLineBytes = 256;
    const httpwire::HeadParse parsed = httpwire::parseHead(bytes, limits);
    if (parsed.status != httpwire::HeadStatus::Complete)
        return;
    check(parsed.consumed > 0 && parsed.consumed <= bytes.size() && parsed.consumed <= limits.maxBytes, "consumed out of range");
    check(parsed.head.status >= 200 && parsed.head.status <= 599, "a final status outside 200-599");
    check(parsed.head.fields.size() <= limits.maxFields, "more fields than the limit");
    // The head ends where it ends, whatever follows it.
    const httpwire::HeadParse alone = httpwire::parseHead(bytes.first(parsed.consumed), limits);
    check(alone.status == httpwire::HeadStatus::Complete && alone.consumed == parsed.consumed
              && alone.head.fields == parsed.head.fields,
          "the head read differently without what follows it");
    const httpwire::Framing framing = httpwire::framing(parsed.head);
    check(framing.kind != httpwire::Framing::Kind::Length || framing.length >= 0, "a negative length");
    (void)httpwire::contentCoding(parsed.head);
}

void checkChunks(QByteArrayView bytes)
{
    using Status = httpwire::ChunkDecoder::Status;
    // All at once, with room for everything.
    httpwire::ChunkDecoder whole;
    QByteArray wholeOut;
    qsizetype used = 0;
    const Status wholeStatus = whole.feed(bytes, &used, &wholeOut, std::numeric_limits<qint64>::max());
    check(used <= bytes.size(), "whole: consumed more than given");
    check(wholeOut.size() <= bytes.size(), "whole: more body than input");

    // A byte at a time, with room for three bytes a call, as a slow socket and a slow reader give it.
    httpwire::ChunkDecoder split;
    QByteArray splitOut, pending;
    Status splitStatus = Status::More;
    for (qsizetype i = 0; i < bytes.size() && splitStatus == Status::More; ++i) {
        pending += bytes[i];
        while (true) {
            qsizetype n = 0;
            const qsizetype before = splitOut.size();
            splitStatus = split.feed(pending, &n, &splitOut, 3);
            check(n <= pending.size(), "split: consumed more than given");
            check(splitOut.size() - before <= 3, "split: more body than room");
            pending.remove(0, n);
            if (splitStatus != Status::More || (n == 0 && splitOut.size() == before))
                break;
        }
    }
    check(splitStatus == wholeStatus, "whole and split disagree on how the body ends");
    check(splitOut == wholeOut, "whole and split disagree on the body");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkHead(bytes);
    checkChunks(bytes);
    return 0;
}

#ifndef LUMIVO_LIBFUZZER

int main(int argc, char** argv)
{
    return fuzzreplay::run({"fuzz_httpwire"}, argc, argv);
}

#endif
