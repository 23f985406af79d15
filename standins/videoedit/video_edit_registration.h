// Makes the video-editing component creatable by its CLSID inside this process: the program
// registers its class object at start-up, and the control container then creates it with
// CoCreateInstance like any installed control. COM must be initialised on the calling
// thread, which is the thread the component then lives on.
#pragma once
#include <windows.h>

#include <utility>

namespace vedit {

// Revokes the registration when it goes.
class VideoEditRegistration {
public:
    VideoEditRegistration() = default;
    explicit VideoEditRegistration(DWORD cookie) : m_cookie(cookie) {}
    ~VideoEditRegistration() { Revoke(); }
    VideoEditRegistration(const VideoEditRegistration&) = delete;
    VideoEditRegistration& operator=(const VideoEditRegistration&) = delete;
    VideoEditRegistration(VideoEditRegistration&& other) noexcept : m_cookie(std::exchange(other.m_cookie, 0)) {}
    VideoEditRegistration& operator=(VideoEditRegistration&& other) noexcept
    {
        if (this != &other) {
            Revoke();
            m_cookie = std::exchange(other.m_cookie, 0);
        }
        return *this;
    }

    bool Registered() const { return m_cookie != 0; }
    void Revoke()
    {
        if (m_cookie)
            CoRevokeClassObject(std::exchange(m_cookie, 0));
    }

private:
    DWORD m_cookie = 0;
};

// ffmpegPath: the ffmpeg.exe the component works through (ANSI); by default "ffmpeg.exe"
// in the "app" sub-folder of the program's directory.
VideoEditRegistration RegisterVideoEditComponent(const char* ffmpegPath = nullptr);

} // namespace vedit

using vedit::RegisterVideoEditComponent;
using vedit::VideoEditRegistration;
