#include "PlaybackStatus.h"

QString playbackFailureText(PlaybackFailure failure)
{
    switch (failure) {
    case PlaybackFailure::None: return {};
    case PlaybackFailure::HostNotFound: return QStringLiteral("找不到服务器");
    case PlaybackFailure::Refused: return QStringLiteral("服务器拒绝连接");
    case PlaybackFailure::NotFound: return QStringLiteral("找不到该节目");
    case PlaybackFailure::NotAStream: return QStringLiteral("不是可播放的媒体流");
    case PlaybackFailure::TimedOut: return QStringLiteral("连接超时");
    case PlaybackFailure::Interrupted: return QStringLiteral("播放中断，连接已断开");
    case PlaybackFailure::Forbidden: return QStringLiteral("播放列表指向了不允许打开的地址");
    case PlaybackFailure::TooLarge: return QStringLiteral("播放列表过大");
    case PlaybackFailure::Loop: return QStringLiteral("播放列表循环引用");
    case PlaybackFailure::TooManyAddresses: return QStringLiteral("播放列表中的地址过多，已尝试的均无法播放");
    case PlaybackFailure::Certificate: return QStringLiteral("服务器证书无效，连接不安全");
    case PlaybackFailure::Other: return QStringLiteral("无法播放");
    }
    return {};
}

QString playbackStatusText(PlaybackStage stage, int percent, PlaybackFailure failure)
{
    switch (stage) {
    case PlaybackStage::Idle: return QStringLiteral("就绪");
    case PlaybackStage::Connecting: return QStringLiteral("正在连接…");
    case PlaybackStage::Buffering: return QStringLiteral("正在缓冲 %1%").arg(qBound(0, percent, 100));
    case PlaybackStage::Playing: return QStringLiteral("正在播放");
    case PlaybackStage::Paused: return QStringLiteral("已暂停");
    case PlaybackStage::Stopped: return QStringLiteral("已停止");
    case PlaybackStage::Failed: return QStringLiteral("错误：") + playbackFailureText(failure);
    case PlaybackStage::Reconnecting: return QStringLiteral("连接中断，正在重新连接…");
    }
    return {};
}
