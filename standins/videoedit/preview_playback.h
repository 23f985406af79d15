// One run of PlayPreview: worker threads decode the clips through ffmpeg.exe, hand each
// picture to the frame store at its time and post a message for it to the component's
// event window; sound goes to the wave output when the machine has one. Nothing here
// touches COM or the component's windows: the user-interface thread does that.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standins/videoedit/command_line.h"
#include "standins/videoedit/preview_geometry.h"
#include "standins/videoedit/preview_view.h"

namespace vedit {

struct PreviewVideoPart {
    std::vector<std::string> arguments; // ffmpeg.exe writing raw BGR pictures to stdout
    PixelSize size;
    Rational rate;
};

struct PreviewAudioPart {
    std::vector<std::string> arguments; // ffmpeg.exe writing 16-bit stereo at 44100 Hz to stdout
};

struct PreviewNotify {
    HWND window = nullptr;
    UINT frameMessage = 0; // wParam = session, after each picture is in the store
    UINT endMessage = 0;   // wParam = session, when everything has played
    WPARAM session = 0;
};

class PreviewPlayback {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    PreviewPlayback(std::wstring program, PreviewNotify notify, std::shared_ptr<FrameStore> store,
                    std::vector<PreviewVideoPart> video, std::vector<PreviewAudioPart> audio);
    ~PreviewPlayback() { Stop(); }
    PreviewPlayback(const PreviewPlayback&) = delete;
    PreviewPlayback& operator=(const PreviewPlayback&) = delete;

    void Start();
    // Ends the decoders and the sound at once and waits for the workers; no message is
    // posted after it returns.
    void Stop();
    // Seconds of pictures shown so far.
    double ShownSeconds() const { return m_shownSeconds.load(); }

private:
    void RunAll();
    void RunVideo();
    void RunAudio();
    // Registers a started decoder so that Stop can end it; false if stopping already.
    bool Track(HANDLE process);
    void Untrack(HANDLE process);

    std::wstring m_program;
    PreviewNotify m_notify;
    std::shared_ptr<FrameStore> m_store;
    std::vector<PreviewVideoPart> m_video;
    std::vector<PreviewAudioPart> m_audio;

    std::atomic<bool> m_stop{false};
    std::atomic<double> m_shownSeconds{0};
    std::mutex m_processLock;
    std::vector<HANDLE> m_processes;
    std::thread m_worker;
};

// True when the machine has a wave output to play sound on.
bool SoundOutputAvailable();

} // namespace vedit
