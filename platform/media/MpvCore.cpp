#include "MpvCore.h"

#include <QFileInfo>
#include <QString>

#include <mpv/client.h>

#include <atomic>
#include <clocale>
#include <stdexcept>
#include <unistd.h>

namespace {

// Nothing read from or written to disk, no scripts, no downloader, no key bindings of its own,
// and a bounded wait on every network open.
const char* const kOptions[][2] = {
    {"config", "no"},
    {"terminal", "no"},
    {"load-scripts", "no"},
    {"ytdl", "no"},
    {"input-default-bindings", "no"},
    {"input-builtin-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"osc", "no"},
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"save-position-on-quit", "no"},
    {"resume-playback", "no"},
    {"cache-on-disk", "no"},
    {"stop-screensaver", "no"},
    {"osd-level", "0"},
    {"idle", "yes"},
    {"vo", "libmpv"},
    {"video-timing-offset", "0"},
    {"network-timeout", "10"},
    {"demuxer-lavf-o", "timeout=5000000"},
    {"user-agent", "Lumivo/5.5"},
    {"audio-client-name", "Lumivo"},
    // https streams are checked like any other https answer (the engine's default is not to).
    {"tls-verify", "yes"},
};

// The system's bundle of trusted authorities, where the distributions put it.
const char* systemCaBundle()
{
    for (const char* path : {"/etc/ssl/certs/ca-certificates.crt", "/etc/pki/tls/certs/ca-bundle.crt",
                             "/etc/ssl/ca-bundle.pem", "/etc/ssl/cert.pem"})
        if (::access(path, R_OK) == 0)
            return path;
    return nullptr;
}

std::atomic<bool> g_noAudioDevice{false};

// The sound server's client library makes its runtime folder when it looks for a server, also
// when none runs (and the engine's other fallbacks reach it too). Where no server socket is there
// to find, the engine looks only at the outputs that need no such server, so a machine without
// one keeps nothing behind.
const char* audioOutputsWithoutAbsentServer()
{
    static const bool serverThere = [] {
        if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            return true;
        QString folder = qEnvironmentVariable("PULSE_RUNTIME_PATH");
        if (folder.isEmpty() && !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            folder = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse");
        return !folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/native"));
    }();
    return serverThere ? nullptr : "pipewire,alsa";
}

} // namespace

void MpvCore::noAudioDeviceFound() { g_noAudioDevice = true; }
bool MpvCore::audioDeviceMissing() { return g_noAudioDevice; }

std::shared_ptr<MpvCore> MpvCore::create(const Options& options)
{
    // The engine parses numbers with C conventions whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* h = mpv_create();
    if (!h)
        throw std::runtime_error("playback engine: cannot create a core");
    for (const auto& [name, value] : kOptions)
        mpv_set_option_string(h, name, value);
    if (const char* bundle = systemCaBundle())
        mpv_set_option_string(h, "tls-ca-file", bundle);
    if (options.audioOutput)
        mpv_set_option_string(h, "ao", options.audioOutput);
    else if (audioDeviceMissing())
        mpv_set_option_string(h, "ao", "null");
    else if (const char* outputs = audioOutputsWithoutAbsentServer())
        mpv_set_option_string(h, "ao", outputs);
    mpv_request_log_messages(h, "warn");
    if (mpv_initialize(h) < 0) {
        mpv_terminate_destroy(h);
        throw std::runtime_error("playback engine: cannot start a core");
    }
    return std::shared_ptr<MpvCore>(new MpvCore(h));
}

MpvCore::~MpvCore() { mpv_terminate_destroy(m_handle); }
