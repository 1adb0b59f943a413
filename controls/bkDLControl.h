#pragma once

#include "UserControl.h"

#include <QList>
#include <QString>

class DownloadService;
class QEventLoop;

// Downloads one URL into a folder in the background, reports every stage as an event, and paints
// a progress bar across its surface in the fore colour.
//
// Every failure ends with DLError and then DLComplete(0); a cancelled download ends with DLCanceled
// alone. The file is written only once every byte has arrived, atomically: a failed save leaves
// any earlier file of that name as it was.
class bkDLControl : public UserControl
{
    Q_OBJECT
public:
    enum ErrorCode {
        StartFailed = 1,
        RedirectRefused = 2,
        ZeroBytes = 3,
        SaveFailed = 4,
        ServiceError = 99,
    };

    explicit bkDLControl(QWidget* parent = nullptr);
    // A running download is cancelled without any event.
    ~bkDLControl() override;

    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

    // Colours are 0x00BBGGRR; with the high bit set, the low bits name a system colour.
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 value);
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 value);
    // Its own flag: a control inside a disabled container is still Enabled.
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    void setEnabledFlag(bool value);
    QFont Font() const { return font(); }
    void setFontObject(const QFont& value);
    // 0 none, 1 fixed single.
    qint16 BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(qint16 value);

    QString FileURL() const { return m_fileUrl; }
    void setFileURL(const QString& value);
    QString SaveFilePath() const { return m_saveFolder; }
    void setSaveFilePath(const QString& value);
    QString SaveFileName() const { return m_saveFileName; }
    bool FailOnRedirect() const { return m_failOnRedirect; }
    void setFailOnRedirect(bool value);
    // Reads true only while redirects are followed at all.
    bool RenameOnRedirect() const { return m_renameOnRedirect && !m_failOnRedirect; }
    void setRenameOnRedirect(bool value);
    bool ShowProgress() const { return m_showProgress; }
    void setShowProgress(bool value);

    qint64 BytesRead() const { return m_bytesRead; }
    qint64 FileSize() const { return m_fileSize; }
    QString CacheFile() const { return m_cacheFile; }
    QString ConnectionAddress() const { return m_connectionAddress; }
    QString MIMEType() const { return m_mimeType; }
    QString RedirectFile() const { return m_redirectFile; }

    // Starts downloading FileURL into SaveFileName. False when a download is running, when the URL
    // or the folder is empty, or when the download cannot start (then DLError 1, DLComplete 0 and a
    // message box). With Wait, runs a local event loop until the download ends and returns whether
    // the file was saved; other events keep running meanwhile.
    bool BeginDownload(bool Wait = false);
    // Only while downloading: stops the download and raises DLCanceled.
    void CancelDownload();
    void Refresh();

    bool isDownloading() const { return m_downloading; }
    // Whether the last download was saved.
    bool isCompleted() const { return m_completed; }
    float progress() const { return m_progress; }

Q_SIGNALS:
    void Click();
    void DblClick();
    // X and Y in twips.
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    // Percent is the fraction 0 to 1; 0 when the size is unknown.
    void DLProgress(float Percent, qint64 BytesRead, qint64 TotalBytes);
    void DLCanceled();
    void DLError(int E, const QString& Error);
    // Bytes saved; 0 after an error.
    void DLComplete(qint64 Bytes);
    void DLConnected(const QString& ConnAddr);
    void DLRedirect(const QString& FileName);
    void DLCacheFile(const QString& FileName);
    void DLMIMEType(const QString& MIMEType);
    void DLFileSize(qint64 Bytes);
    void DLBeginDownload();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void onProgress(const QString& tag, int status, const QString& statusText, qint64 bytesRead, qint64 bytesMax,
                    const QString& errorValue);
    void onCompleted(const QString& tag, qint64 bytesRead, const QString& cacheFile);
    bool saveFrom(const QString& cacheFile, QString* error);
    void reportError(int code, const QString& text);
    void setIdle();
    // What the last download reported: size, bytes, address, cache file, redirect, type, result.
    void clearDownloadFigures();
    void deriveSaveFileName();
    void applyColors();

    DownloadService* m_service;
    QString m_fileUrl;
    QString m_saveFolder;
    QString m_saveFileName;
    QString m_saveFilePart; // the file part inside m_saveFileName, checked before saving
    QString m_tag;          // the name the running download was started under
    bool m_downloading = false;
    float m_progress = 0.0f;
    bool m_failOnRedirect = true;
    bool m_renameOnRedirect = true;
    bool m_showProgress = true;
    bool m_completed = false;
    qint64 m_fileSize = 0;
    QString m_connectionAddress;
    qint64 m_bytesRead = 0;
    QString m_cacheFile;
    QString m_redirectFile;
    QString m_mimeType;
    quint32 m_backColor;
    quint32 m_foreColor;
    qint16 m_borderStyle = 1;
    bool m_doubleClicked = false;
    QList<QEventLoop*> m_waitLoops;
};
