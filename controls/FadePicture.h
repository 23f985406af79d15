// CFadePicture: a static control that fades a bitmap in from transparent to opaque on a
// worker thread, then paints it normally.
#pragma once

#include <atomic>
#include <memory>

#include "common/UniqueHandle.h"
#include "framework/Static.h"
#include "framework/DC.h"
#include "framework/WinApp.h"

class CFadePicture : public CStatic {
public:
    // Alpha goes 0, 5, ... 255: 52 steps.
    static constexpr int kAlphaStep = 5;
    static constexpr int kStepCount = 255 / kAlphaStep + 1;

    CFadePicture() = default;
    ~CFadePicture() override;

    // Loads bitmap nBitmapId and starts fading it in, pausing nDelayMs after each step.
    // FALSE when the bitmap cannot be loaded (nothing starts then).
    BOOL StartFade(UINT nBitmapId, int nDelayMs);
    // Shows the bitmap of this display scale from now on (96 until told otherwise) and
    // takes its size; a fade still running is cut short and the picture shown whole.
    void SetDpi(int dpi);

    bool IsFadeDone() const { return m_bFadeDone.load() != 0; }
    // The worker thread, while one is running or not yet joined (for tests).
    bool HasFadeThread() const { return m_pThread != nullptr; }

protected:
    void OnPaint();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    static UINT FadeThreadProc(LPVOID pParam);
    void RunFade();
    // Asks a running fade to stop and waits for its thread, still serving the messages it
    // sends this thread meanwhile (its resize would otherwise wait for us forever).
    void StopFadeThread();

    std::atomic<int> m_bFadeDone{0};
    int m_nBitmapId = 0;
    int m_nDelayMs = 100;
    int m_nDpi = 96;
    CBitmap m_bitmap;

    std::unique_ptr<CWinThread> m_pThread;
    UniqueHandle m_hStopEvent;
};
