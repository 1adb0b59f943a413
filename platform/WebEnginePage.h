#pragma once

#include "WebPage.h"

class QWebEngineProfile;

// The one off-the-record profile every page shares: no cache, cookies or storage on disk.
QWebEngineProfile* sharedWebProfile();

std::unique_ptr<WebPage> makeWebEnginePage(QWidget* parent);
