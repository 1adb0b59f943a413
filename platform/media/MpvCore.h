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

    MpvCore(const MpvCore&) = delete;
    MpvCore& operator=(const MpvCore&) = delete;

private:
    explicit MpvCore(mpv_handle* handle) : m_handle(handle) {}
    mpv_handle* m_handle;
};
