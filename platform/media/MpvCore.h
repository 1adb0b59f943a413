#pragma once

#include <memory>

struct mpv_handle;

// The one owner of an engine core. Render contexts hold a shared reference, so the core always
// outlives every context drawn from it.
class MpvCore
{
public:
    struct Options
    {
        const char* audioOutput = nullptr; // engine default when null
    };

    static std::shared_ptr<MpvCore> create(const Options& options);
    ~MpvCore();

    mpv_handle* handle() const { return m_handle; }

    // Once a core of this process has found no audio device, every core plays to the null output:
    // without this the engine probes each of its outputs again on every load (~100 ms a switch).
    static void noAudioDeviceFound();
    static bool audioDeviceMissing();

    MpvCore(const MpvCore&) = delete;
    MpvCore& operator=(const MpvCore&) = delete;

private:
    explicit MpvCore(mpv_handle* handle) : m_handle(handle) {}
    mpv_handle* m_handle;
};
