#pragma once

#include <QString>

// Where the download control saves a URL: the file part of the URL joined to the save folder.
namespace downloadfilename {

// The text after the last "/" or "\" of the URL (the whole text if it has neither), unchanged:
// a query string stays part of the name.
QString filePart(const QString& url);

// The folder and a file part with exactly one separator between them.
QString join(const QString& folder, const QString& filePart);

// Empty when the folder or the URL is empty, otherwise join(folder, filePart(url)).
QString saveFileName(const QString& folder, const QString& url);

// Why a file part cannot be saved inside the folder; empty when it can. A part that is empty,
// "." or "..", or holds a separator or a NUL would write the folder itself or outside it.
QString refusal(const QString& filePart);

} // namespace downloadfilename
