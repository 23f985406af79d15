// The video-editing component: an apartment-threaded COM object reached through IDispatch
// (no type library: a fixed table of DISPIDs), firing its events through one connection
// point, hosted in a window through IObjectWithSite. It keeps a clip list and output
// settings, and does its work through ffmpeg.exe: media lengths, preview playback in its
// window, and writing the clip list to AVI or MPEG-1. Workers report to a hidden message
// window, so every event reaches the host on the thread that created the component.
#pragma once
#include <ocidl.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "standins/videoedit/convert_job.h"
#include "standins/videoedit/event_connection.h"
#include "standins/videoedit/ffmpeg_commands.h"
#include "standins/videoedit/media_tools.h"
#include "standins/videoedit/preview_playback.h"
#include "standins/videoedit/preview_view.h"

namespace vedit {

class DispatchArgs;

class VideoEditComponent final : public IDispatch,
                                 public IConnectionPointContainer,
                                 public IObjectWithSite,
                                 public IOleWindow,
                                 public IProvideClassInfo2 {
public:
    // Returns the new object with one reference, owned by the caller.
    static VideoEditComponent* Create(std::shared_ptr<MediaTools> tools);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argErr) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;
    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** site) override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

private:
    explicit VideoEditComponent(std::shared_ptr<MediaTools> tools);
    ~VideoEditComponent();
    VideoEditComponent(const VideoEditComponent&) = delete;
    VideoEditComponent& operator=(const VideoEditComponent&) = delete;

    HRESULT PutProperty(DISPID member, const DispatchArgs& args);
    HRESULT AddClip(std::vector<Clip>& list, const DispatchArgs& args, VARIANT* result);
    HRESULT CodecListResult(const std::vector<CodecEntry>& codecs, VARIANT* result);

    double GetDuration(const std::wstring& path);
    bool PlayPreview();
    void StopPreview();
    // The host's StopPreview: also ends a preview that has not been reported yet.
    void StopPreviewAnswered();
    bool StartConvert(const std::wstring& path);
    void StopConvert();
    std::vector<ResolvedClip> Resolve(const std::vector<Clip>& clips);

    static LRESULT CALLBACK EventWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnWorkerMessage(UINT msg, WPARAM session);

    std::atomic<ULONG> m_refs{1};
    std::shared_ptr<MediaTools> m_tools;
    EventConnectionPoint m_events;
    HWND m_eventWindow = nullptr;

    ComRef<IUnknown> m_site;
    PreviewView m_view;
    std::shared_ptr<FrameStore> m_frames;

    std::vector<Clip> m_videoClips;
    std::vector<Clip> m_audioClips;
    OutputSettings m_settings;

    WPARAM m_lastSession = 0;
    std::unique_ptr<PreviewPlayback> m_preview;
    WPARAM m_previewSession = 0;      // 0: no playback running
    bool m_previewFirstShown = false;
    std::unique_ptr<ConvertJob> m_convert;
    WPARAM m_convertSession = 0;      // 0: no writing running
};

} // namespace vedit
