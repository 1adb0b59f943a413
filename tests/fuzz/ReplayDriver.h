#pragma once

// The plain build of a fuzz target: without libFuzzer, it runs the files named on its command
// line, or else every truncation of the target's seed corpus and a fixed series of mutations of
// them, so every compiler's CI run exercises a parser the same way. A target supplies the check of
// one input (LLVMFuzzerTestOneInput); its seeds are the files of corpus/<short name>/ and the
// tokens its format is made of are in <short name>.dict, in libFuzzer's dictionary format, so a
// libFuzzer campaign starts from the same data.

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzzreplay {

struct Target
{
    const char* name;      // e.g. "fuzz_playlist"; the data is found under its short name
    int mutations = 20000;
    qsizetype maxSize = 64 * 1024;
};

int run(const Target& target, int argc, char** argv);

// The entries of a libFuzzer dictionary: one "quoted" token per line, \\, \" and \xNN escapes,
// # comments. Malformed lines are skipped.
QList<QByteArray> parseDictionary(const QByteArray& text);

} // namespace fuzzreplay
