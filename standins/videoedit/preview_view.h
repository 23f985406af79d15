// The component's window: shows the latest preview picture at the window's size with its
// aspect kept (black bars around it), black before the first picture.
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace vedit {

// The latest decoded picture, written by the playback worker and read when painting.
class FrameStore {
public:
    // Copies a picture of 24-bit BGR pixels, top row first, rows packed.
    void Publish(const uint8_t* pixels, int width, int height);
    void Clear();
    // Draws the picture into the rectangle (0,0)-(width,height) of dc, keeping its aspect.
    void Paint(HDC dc, int width, int height) const;
    bool HasPicture() const;

private:
    mutable std::mutex m_lock;
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_rows; // rows padded to 4 bytes, as a DIB wants them
};

class PreviewView {
public:
    PreviewView() = default;
    ~PreviewView() { Destroy(); }
    PreviewView(const PreviewView&) = delete;
    PreviewView& operator=(const PreviewView&) = delete;

    // A visible child filling the host's client area. store must outlive the window.
    bool Create(HWND host, const FrameStore* store);
    void Destroy();
    HWND Handle() const { return m_hwnd; }
    // Paints now if the window can be seen; false if there was nothing to paint on.
    bool PaintNow();
    // Client size, or 0x0 without a window.
    void ClientSize(int& width, int& height) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};

} // namespace vedit
