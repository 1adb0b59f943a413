#include "DownloadFileName.h"

#include <algorithm>

namespace downloadfilename {

QString filePart(const QString& url)
{
    const qsizetype cut = std::max(url.lastIndexOf(QLatin1Char('/')), url.lastIndexOf(QLatin1Char('\\')));
    return url.mid(cut + 1);
}

QString join(const QString& folder, const QString& filePart)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + filePart;
    return folder + QLatin1Char('/') + filePart;
}

QString saveFileName(const QString& folder, const QString& url)
{
    if (folder.isEmpty() || url.isEmpty())
        return {};
    return join(folder, filePart(url));
}

QString refusal(const QString& part)
{
    if (part.isEmpty())
        return QStringLiteral("The URL names no file");
    if (part == QLatin1String(".") || part == QLatin1String(".."))
        return QStringLiteral("The file name \"%1\" names no file inside the folder").arg(part);
    if (part.contains(QLatin1Char('/')) || part.contains(QLatin1Char('\\')) || part.contains(QChar(0)))
        return QStringLiteral("The file name \"%1\" is not a plain file name").arg(part);
    return {};
}

} // namespace downloadfilename
