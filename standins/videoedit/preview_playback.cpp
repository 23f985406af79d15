// One run of PlayPreview.
#include "standins/videoedit/preview_playback.h"

#include <mmsystem.h>

#include <algorithm>

#include "standins/videoedit/child_process.h"

namespace vedit {
namespace {

class Clock {
public:
    Clock()
    {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_start);
    }
    double Seconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / m_frequency.QuadPart;
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

// A wave output device with a few buffers that are filled in turn.
class WaveOutput {
public:
    static constexpr int kBuffers = 4;
    static constexpr size_t kBufferBytes = PreviewPlayback::kSampleRate * PreviewPlayback::kChannels * 2 / 4;

    WaveOutput() : m_done(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~WaveOutput() { Close(); }
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    bool Open()
    {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = PreviewPlayback::kChannels;
        format.nSamplesPerSec = PreviewPlayback::kSampleRate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = format.nChannels * 2;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        if (!m_done || waveOutOpen(&m_device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(m_done.Get()), 0,
                                   CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            m_device = nullptr;
            return false;
        }
        for (int i = 0; i < kBuffers; ++i) {
            m_headers[i] = WAVEHDR{};
            m_headers[i].lpData = m_data[i];
            m_headers[i].dwBufferLength = kBufferBytes;
            waveOutPrepareHeader(m_device, &m_headers[i], sizeof(WAVEHDR));
            m_headers[i].dwFlags |= WHDR_DONE; // free to fill
        }
        return true;
    }

    // A buffer that is not playing, waiting for one if all are; nullptr when stop is set.
    WAVEHDR* FreeBuffer(const std::atomic<bool>& stop)
    {
        while (!stop) {
            for (WAVEHDR& header : m_headers)
                if (header.dwFlags & WHDR_DONE)
                    return &header;
            WaitForSingleObject(m_done.Get(), 50);
        }
        return nullptr;
    }

    void Play(WAVEHDR* header, size_t bytes)
    {
        header->dwBufferLength = static_cast<DWORD>(bytes);
        header->dwFlags &= ~WHDR_DONE;
        waveOutWrite(m_device, header, sizeof(WAVEHDR));
    }

    void WaitUntilPlayed(const std::atomic<bool>& stop)
    {
        for (;;) {
            if (stop)
                return;
            bool playing = false;
            for (const WAVEHDR& header : m_headers)
                playing = playing || !(header.dwFlags & WHDR_DONE);
            if (!playing)
                return;
            WaitForSingleObject(m_done.Get(), 50);
        }
    }

    void Close()
    {
        if (!m_device)
            return;
        waveOutReset(m_device);
        for (WAVEHDR& header : m_headers)
            waveOutUnprepareHeader(m_device, &header, sizeof(WAVEHDR));
        waveOutClose(m_device);
        m_device = nullptr;
    }

private:
    UniqueHandle m_done;
    HWAVEOUT m_device = nullptr;
    WAVEHDR m_headers[kBuffers]{};
    char m_data[kBuffers][kBufferBytes];
};

} // namespace

bool SoundOutputAvailable()
{
    return waveOutGetNumDevs() > 0;
}

PreviewPlayback::PreviewPlayback(std::wstring program, PreviewNotify notify, std::shared_ptr<FrameStore> store,
                                 std::vector<PreviewVideoPart> video, std::vector<PreviewAudioPart> audio)
    : m_program(std::move(program)),
      m_notify(notify),
      m_store(std::move(store)),
      m_video(std::move(video)),
      m_audio(std::move(audio))
{
}

void PreviewPlayback::Start()
{
    if (!m_worker.joinable())
        m_worker = std::thread([this] { RunAll(); });
}

void PreviewPlayback::Stop()
{
    m_stop = true;
    {
        std::lock_guard<std::mutex> guard(m_processLock);
        for (HANDLE process : m_processes)
            TerminateProcess(process, 1);
    }
    if (m_worker.joinable())
        m_worker.join();
}

bool PreviewPlayback::Track(HANDLE process)
{
    std::lock_guard<std::mutex> guard(m_processLock);
    if (m_stop)
        return false;
    m_processes.push_back(process);
    return true;
}

void PreviewPlayback::Untrack(HANDLE process)
{
    std::lock_guard<std::mutex> guard(m_processLock);
    m_processes.erase(std::remove(m_processes.begin(), m_processes.end(), process), m_processes.end());
}

void PreviewPlayback::RunAll()
{
    std::thread sound;
    if (!m_audio.empty() && SoundOutputAvailable())
        sound = std::thread([this] { RunAudio(); });
    RunVideo();
    if (sound.joinable())
        sound.join();
    if (!m_stop)
        PostMessageW(m_notify.window, m_notify.endMessage, m_notify.session, 0);
}

void PreviewPlayback::RunVideo()
{
    Clock clock;
    bool clockStarted = false;
    double due = 0; // when the next picture is to be shown, on the clock
    std::vector<uint8_t> picture;
    for (const PreviewVideoPart& part : m_video) {
        if (m_stop)
            return;
        ChildProcess decoder;
        if (!decoder.Start(m_program, part.arguments, CapturedStream::Stdout))
            continue;
        if (!Track(decoder.ProcessHandle()))
            return;
        const double frameSeconds = static_cast<double>(part.rate.denominator) / part.rate.numerator;
        picture.resize(static_cast<size_t>(part.size.width) * part.size.height * 3);
        while (!m_stop && decoder.ReadExact(picture.data(), picture.size())) {
            if (!clockStarted) {
                // Time starts with the first picture, not with the decoder's start-up.
                clock = Clock();
                clockStarted = true;
            }
            for (double wait = due - clock.Seconds(); wait > 0 && !m_stop; wait = due - clock.Seconds())
                Sleep(static_cast<DWORD>(std::min(wait * 1000.0, 20.0)) + 1);
            if (m_stop)
                break;
            m_store->Publish(picture.data(), part.size.width, part.size.height);
            PostMessageW(m_notify.window, m_notify.frameMessage, m_notify.session, 0);
            due += frameSeconds;
            m_shownSeconds = due;
        }
        Untrack(decoder.ProcessHandle());
    }
    // The last picture stays up for its own duration before playback counts as ended.
    for (double wait = due - clock.Seconds(); clockStarted && wait > 0 && !m_stop; wait = due - clock.Seconds())
        Sleep(static_cast<DWORD>(std::min(wait * 1000.0, 20.0)) + 1);
}

void PreviewPlayback::RunAudio()
{
    // The sample buffers are too large for a worker's stack.
    auto device = std::make_unique<WaveOutput>();
    WaveOutput& output = *device;
    if (!output.Open())
        return;
    for (const PreviewAudioPart& part : m_audio) {
        if (m_stop)
            break;
        ChildProcess decoder;
        if (!decoder.Start(m_program, part.arguments, CapturedStream::Stdout))
            continue;
        if (!Track(decoder.ProcessHandle()))
            break;
        while (WAVEHDR* buffer = output.FreeBuffer(m_stop)) {
            size_t filled = 0;
            while (filled < WaveOutput::kBufferBytes) {
                const size_t got = decoder.Read(buffer->lpData + filled, WaveOutput::kBufferBytes - filled);
                if (got == 0)
                    break;
                filled += got;
            }
            filled -= filled % 4; // whole sample frames only
            if (filled == 0 || m_stop)
                break;
            output.Play(buffer, filled);
        }
        Untrack(decoder.ProcessHandle());
    }
    output.WaitUntilPlayed(m_stop);
}

} // namespace vedit
