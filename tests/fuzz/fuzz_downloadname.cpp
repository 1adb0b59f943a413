// The download control names its file after the URL it was given, which comes from a page or a
// server's redirect: whatever the text, a name it accepts must land inside the save folder.
//
// Input: the first line is the save folder (a default one when empty), the rest the URL.

#include "DownloadFileName.h"
#include "ReplayDriver.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_downloadname: broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = text.indexOf(u'\n');
    QString folder = newline < 0 ? QString() : text.left(newline);
    const QString url = newline < 0 ? text : text.mid(newline + 1);
    if (folder.isEmpty() || folder.contains(QChar(0)))
        folder = QStringLiteral("/tmp/downloads");

    const QString part = downloadfilename::filePart(url);
    check(!part.contains(u'/') && !part.contains(u'\\'), "a file part with a separator");
    const QString saved = downloadfilename::saveFileName(folder, url);
    check(saved.isEmpty() == url.isEmpty(), "a save name for nothing, or none for a URL");
    if (downloadfilename::refusal(part).isEmpty()) {
        check(!part.isEmpty() && part != u"." && part != u".." && !part.contains(QChar(0)), "a dangerous part accepted");
        const QString joined = downloadfilename::join(folder, part);
        // The file sits directly in the folder: the same folder once both are made canonical.
        check(QDir::cleanPath(joined + QStringLiteral("/..")) == QDir::cleanPath(folder), "a name outside the folder");
    }
    return 0;
}

#ifndef LUMIVO_LIBFUZZER

int main(int argc, char** argv)
{
    return fuzzreplay::run({"fuzz_downloadname"}, argc, argv);
}

#endif
