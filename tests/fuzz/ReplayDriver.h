#pragma once

// The plain build of a fuzz target: without libFuzzer, it runs the files named on its command
// line, or else every truncation of built-in seeds and a fixed series of mutations of them, so
// every compiler's CI run exercises a parser the same way. A target supplies its seeds, the tokens
// its format is made of, and the check of one input (LLVMFuzzerTestOneInput).

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzzreplay {

struct Target
{
    const char* name;
    QList<QByteArray> seeds;
    QList<QByteArray> tokens;
    int mutations = 20000;
    qsizetype maxSize = 64 * 1024;
};

int run(const Target& target, int argc, char** argv);

} // namespace fuzzreplay
