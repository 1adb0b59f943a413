#include "bkDLControl.h"

#include "ColorValue.h"

#include "DownloadFileName.h"
#include "DownloadService.h"
#include "HostServices.h"
#include "MouseMasks.h"
#include "Units.h"

#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>

namespace {

constexpr quint32 DefaultBackColor = 0x8000000f; // system button face
constexpr quint32 DefaultForeColor = 0x80000012; // system button text
constexpr qint64 CopyChunkSize = 1024 * 1024;

float twips(qreal pixels) { return units::twipsFromPixels(float(pixels)); }

} // namespace

bkDLControl::bkDLControl(QWidget* parent)
    : UserControl(parent), m_service(new DownloadService(this)), m_backColor(DefaultBackColor), m_foreColor(DefaultForeColor)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_service, &DownloadService::progress, this, &bkDLControl::onProgress);
    connect(m_service, &DownloadService::completed, this, &bkDLControl::onCompleted);
}

bkDLControl::~bkDLControl()
{
    m_service->disconnect(this);
    if (m_downloading)
        m_service->cancel(m_tag);
    // A host waiting inside BeginDownload(true) must not wait for a control that is gone.
    for (QEventLoop* loop : std::as_const(m_waitLoops))
        loop->quit();
}

void bkDLControl::InitProperties()
{
    setFont(Ambient().Font);
    m_fileUrl.clear();
    m_saveFolder.clear();
    m_failOnRedirect = true;
    m_renameOnRedirect = true;
    m_showProgress = true;
    clearDownloadFigures();
    deriveSaveFileName();
}

void bkDLControl::clearDownloadFigures()
{
    m_fileSize = 0;
    m_bytesRead = 0;
    m_connectionAddress.clear();
    m_cacheFile.clear();
    m_redirectFile.clear();
    m_mimeType.clear();
    m_completed = false;
}

void bkDLControl::ReadProperties(const PropertyBag& bag)
{
    m_backColor = bag.ReadProperty(QStringLiteral("BackColor"), DefaultBackColor).toUInt();
    m_foreColor = bag.ReadProperty(QStringLiteral("ForeColor"), DefaultForeColor).toUInt();
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setFont(bag.ReadProperty(QStringLiteral("Font"), Ambient().Font).value<QFont>());
    m_borderStyle = qint16(bag.ReadProperty(QStringLiteral("BorderStyle"), 1).toInt());
    m_fileUrl = bag.ReadProperty(QStringLiteral("FileURL"), QString()).toString();
    m_saveFolder = bag.ReadProperty(QStringLiteral("SaveFilePath"), QString()).toString();
    m_failOnRedirect = bag.ReadProperty(QStringLiteral("FailOnRedirect"), true).toBool();
    m_renameOnRedirect = bag.ReadProperty(QStringLiteral("RenameOnRedirect"), true).toBool();
    m_showProgress = bag.ReadProperty(QStringLiteral("ShowProgress"), true).toBool();
    deriveSaveFileName();
    update();
}

void bkDLControl::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, DefaultBackColor);
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, DefaultForeColor);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Font"), font(), Ambient().Font);
    bag.WriteProperty(QStringLiteral("BorderStyle"), int(m_borderStyle), 1);
    bag.WriteProperty(QStringLiteral("FileURL"), m_fileUrl, QString());
    bag.WriteProperty(QStringLiteral("SaveFilePath"), m_saveFolder, QString());
    bag.WriteProperty(QStringLiteral("FailOnRedirect"), m_failOnRedirect, true);
    // The stored flag, not the combined value the getter reads.
    bag.WriteProperty(QStringLiteral("RenameOnRedirect"), m_renameOnRedirect, true);
    bag.WriteProperty(QStringLiteral("ShowProgress"), m_showProgress, true);
}

void bkDLControl::setBackColor(quint32 value)
{
    m_backColor = value;
    update();
    Q_EMIT PropertyChanged(QStringLiteral("BackColor"));
}

void bkDLControl::setForeColor(quint32 value)
{
    m_foreColor = value;
    update();
    Q_EMIT PropertyChanged(QStringLiteral("ForeColor"));
}

void bkDLControl::setEnabledFlag(bool value)
{
    setEnabled(value);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

void bkDLControl::setFontObject(const QFont& value)
{
    setFont(value);
    Q_EMIT PropertyChanged(QStringLiteral("Font"));
}

void bkDLControl::setBorderStyle(qint16 value)
{
    m_borderStyle = value;
    update();
    Q_EMIT PropertyChanged(QStringLiteral("BorderStyle"));
}

void bkDLControl::setFileURL(const QString& value)
{
    m_fileUrl = value;
    deriveSaveFileName();
    Q_EMIT PropertyChanged(QStringLiteral("FileURL"));
}

void bkDLControl::setSaveFilePath(const QString& value)
{
    m_saveFolder = value;
    deriveSaveFileName();
    Q_EMIT PropertyChanged(QStringLiteral("SaveFilePath"));
}

void bkDLControl::setFailOnRedirect(bool value)
{
    m_failOnRedirect = value;
    Q_EMIT PropertyChanged(QStringLiteral("FailOnRedirect"));
}

void bkDLControl::setRenameOnRedirect(bool value)
{
    m_renameOnRedirect = value;
    Q_EMIT PropertyChanged(QStringLiteral("RenameOnRedirect"));
}

void bkDLControl::setShowProgress(bool value)
{
    m_showProgress = value;
    Q_EMIT PropertyChanged(QStringLiteral("ShowProgress"));
}

void bkDLControl::deriveSaveFileName()
{
    m_saveFileName = downloadfilename::saveFileName(m_saveFolder, m_fileUrl);
    m_saveFilePart = downloadfilename::filePart(m_fileUrl);
}

bool bkDLControl::BeginDownload(bool Wait)
{
    if (m_downloading)
        return false;
    if (m_saveFolder.isEmpty() || m_fileUrl.isEmpty())
        return false;

    DownloadService::StartError error;
    if (!m_service->start(m_fileUrl, m_saveFileName, DownloadService::GetNewestVersion, &error)) {
        reportError(StartFailed, error.description);
        const QString number = QString::number(error.number);
        HostServices::current().messageBox(number + QStringLiteral("Error: ") + QStringLiteral("\r\n") + error.description,
                                           HostServices::Icon::Critical,
                                           QStringLiteral("bkDLControl Internal Error: ") + number);
        return false;
    }
    m_tag = m_saveFileName;
    m_downloading = true;
    clearDownloadFigures();
    if (!Wait)
        return true;

    // Not a blocking wait: the loop runs every other event, this download's reports included.
    QPointer<bkDLControl> self(this);
    QEventLoop loop;
    m_waitLoops.append(&loop);
    while (self && m_downloading)
        loop.exec();
    if (!self)
        return false;
    m_waitLoops.removeOne(&loop);
    return m_completed;
}

void bkDLControl::CancelDownload()
{
    if (!m_downloading)
        return;
    m_service->cancel(m_tag);
    m_progress = 0.0f;
    update();
    setIdle();
    Q_EMIT DLCanceled();
}

void bkDLControl::Refresh() { repaint(); }

void bkDLControl::onProgress(const QString& tag, int status, const QString& statusText, qint64 bytesRead,
                             qint64 bytesMax, const QString& errorValue)
{
    if (!m_downloading || tag != m_tag)
        return;
    QPointer<bkDLControl> self(this);
    switch (status) {
    case DownloadService::Error:
        reportError(ServiceError, errorValue);
        break;
    case DownloadService::Connecting:
        m_connectionAddress = statusText;
        Q_EMIT DLConnected(statusText);
        break;
    case DownloadService::Redirecting:
        m_redirectFile = statusText;
        if (m_failOnRedirect) {
            m_service->cancel(m_tag);
            reportError(RedirectRefused, QStringLiteral("Redirected to ") + statusText);
        } else {
            Q_EMIT DLRedirect(statusText);
        }
        break;
    case DownloadService::BeginDownloadData:
        m_fileSize = bytesMax;
        Q_EMIT DLFileSize(m_fileSize);
        if (self)
            Q_EMIT DLBeginDownload();
        break;
    case DownloadService::DownloadingData:
    case DownloadService::EndDownloadData:
        m_progress = bytesMax < 1 ? 0.0f : float(bytesRead) / float(bytesMax);
        m_bytesRead = bytesRead;
        Q_EMIT DLProgress(m_progress, m_bytesRead, bytesMax);
        break;
    case DownloadService::MimeTypeAvailable:
        m_mimeType = statusText;
        Q_EMIT DLMIMEType(statusText);
        break;
    case DownloadService::CacheFileNameAvailable:
        m_cacheFile = statusText;
        Q_EMIT DLCacheFile(statusText);
        break;
    default:
        break;
    }
    if (self)
        update();
}

void bkDLControl::onCompleted(const QString& tag, qint64 bytesRead, const QString& cacheFile)
{
    if (!m_downloading || tag != m_tag) {
        QFile::remove(cacheFile); // nobody is waiting for it
        return;
    }
    // The cache copy is ours now: it goes on every path out of here.
    if (bytesRead == 0) {
        QFile::remove(cacheFile);
        reportError(ZeroBytes, QStringLiteral("Zero bytes retrieved"));
        return;
    }
    if (!m_redirectFile.isEmpty() && m_renameOnRedirect) {
        m_saveFilePart = downloadfilename::filePart(m_redirectFile);
        m_saveFileName = downloadfilename::join(m_saveFolder, m_saveFilePart);
    }
    QString why = downloadfilename::refusal(m_saveFilePart);
    if (!why.isEmpty() || !saveFrom(cacheFile, &why)) {
        QFile::remove(cacheFile);
        reportError(SaveFailed, why + QStringLiteral(" [") + m_saveFileName + QStringLiteral("]"));
        return;
    }
    m_completed = true;
    QPointer<bkDLControl> self(this);
    Q_EMIT DLComplete(bytesRead);
    QFile cache(cacheFile);
    if (!cache.remove()) {
        if (!self)
            return;
        reportError(SaveFailed, cache.errorString() + QStringLiteral(" [") + m_saveFileName + QStringLiteral("]"));
        return;
    }
    if (self)
        setIdle();
}

// Copies the cache file over the save file name through a temporary file in the same folder, so
// the target is replaced only once every byte is written; memory stays at one chunk.
bool bkDLControl::saveFrom(const QString& cacheFile, QString* error)
{
    QFile in(cacheFile);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    QSaveFile out(m_saveFileName);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(CopyChunkSize);
        if (chunk.isEmpty()) {
            *error = in.errorString();
            out.cancelWriting();
            return false;
        }
        if (out.write(chunk) != chunk.size()) {
            *error = out.errorString();
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

void bkDLControl::reportError(int code, const QString& text)
{
    m_progress = 0.0f;
    update();
    setIdle();
    QPointer<bkDLControl> self(this);
    Q_EMIT DLError(code, text);
    if (self)
        Q_EMIT DLComplete(0);
}

void bkDLControl::setIdle()
{
    m_downloading = false;
    for (QEventLoop* loop : std::as_const(m_waitLoops))
        loop->quit();
}

void bkDLControl::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.fillRect(rect(), colorvalue::toColor(m_backColor, palette()));
    const QRect inside = m_borderStyle == 1 ? rect().adjusted(1, 1, -1, -1) : rect();
    if (m_showProgress && m_progress > 0.0f) {
        const int width = qRound(inside.width() * std::min(m_progress, 1.0f));
        painter.fillRect(QRect(inside.topLeft(), QSize(width, inside.height())), colorvalue::toColor(m_foreColor, palette()));
    }
    if (m_borderStyle == 1) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void bkDLControl::mousePressEvent(QMouseEvent* event)
{
    m_doubleClicked = false;
    Q_EMIT MouseDown(qint16(mousemasks::buttonMask(event->button())), qint16(mousemasks::shiftMask(event->modifiers())),
                     twips(event->position().x()), twips(event->position().y()));
}

void bkDLControl::mouseReleaseEvent(QMouseEvent* event)
{
    QPointer<bkDLControl> self(this);
    Q_EMIT MouseUp(qint16(mousemasks::buttonMask(event->button())), qint16(mousemasks::shiftMask(event->modifiers())),
                   twips(event->position().x()), twips(event->position().y()));
    if (!self)
        return;
    // The release that ends a double click raises no second Click.
    const bool click = !m_doubleClicked && rect().contains(event->position().toPoint());
    m_doubleClicked = false;
    if (click)
        Q_EMIT Click();
}

void bkDLControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    Q_UNUSED(event);
    m_doubleClicked = true;
    Q_EMIT DblClick();
}

void bkDLControl::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT MouseMove(qint16(mousemasks::buttonMask(event->buttons())), qint16(mousemasks::shiftMask(event->modifiers())),
                     twips(event->position().x()), twips(event->position().y()));
}
