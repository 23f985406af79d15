// The video-editing component.
#include "standins/videoedit/video_edit_component.h"

#include "standins/videoedit/codec_list_object.h"
#include "standins/videoedit/dispatch_args.h"
#include "standins/videoedit/video_edit_ids.h"

namespace vedit {
namespace {

const wchar_t kEventWindowClass[] = L"VarnelloVideoEditEvents";

// Worker reports, posted to the event window with the session in wParam.
enum : UINT {
    kMsgPreviewFrame = WM_APP + 0x41,
    kMsgPreviewEnd,
    kMsgConvertProgress,
    kMsgConvertDone,
};

// Without a window to fit, pictures are decoded no larger than this.
constexpr int kHeadlessDecodeWidth = 640;
constexpr int kHeadlessDecodeHeight = 480;

struct MemberName {
    const wchar_t* name;
    DISPID id;
};

const MemberName kMembers[] = {
    {L"SetVideoCodecIndex", dispid::SetVideoCodecIndex}, {L"GetVideoCodecs", dispid::GetVideoCodecs},
    {L"SetVideoCompression", dispid::SetVideoCompression}, {L"SetAudioCodecIndex", dispid::SetAudioCodecIndex},
    {L"GetAudioCodecs", dispid::GetAudioCodecs},         {L"SetAudioCompression", dispid::SetAudioCompression},
    {L"SetOutputHeight", dispid::SetOutputHeight},       {L"SetOutputWidth", dispid::SetOutputWidth},
    {L"SetColorDepth", dispid::SetColorDepth},           {L"SetOutputFormat", dispid::SetOutputFormat},
    {L"SetFrameRate", dispid::SetFrameRate},             {L"StartConvert", dispid::StartConvert},
    {L"GetDuration", dispid::GetDuration},               {L"PlayPreview", dispid::PlayPreview},
    {L"AddAudioClip", dispid::AddAudioClip},             {L"AddVideoClip", dispid::AddVideoClip},
    {L"ClearClips", dispid::ClearClips},                 {L"StopConvert", dispid::StopConvert},
    {L"StopPreview", dispid::StopPreview},
};

void SetBoolResult(VARIANT* result, bool value)
{
    if (result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

bool IsPut(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF | DISPATCH_METHOD)) != 0; }
bool IsCall(WORD flags) { return (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0; }

HWND CreateEventWindow(void* owner, WNDPROC windowProc)
{
    static const ATOM registered = [windowProc] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kEventWindowClass;
        return RegisterClassW(&wc);
    }();
    if (!registered)
        return nullptr;
    HWND hwnd = CreateWindowExW(0, kEventWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return hwnd;
}

} // namespace

VideoEditComponent* VideoEditComponent::Create(std::shared_ptr<MediaTools> tools)
{
    return new VideoEditComponent(std::move(tools));
}

VideoEditComponent::VideoEditComponent(std::shared_ptr<MediaTools> tools)
    : m_tools(std::move(tools)),
      m_events(static_cast<IConnectionPointContainer*>(this), kDiidVideoEditEvents),
      m_frames(std::make_shared<FrameStore>())
{
    m_eventWindow = CreateEventWindow(this, EventWindowProc);
}

VideoEditComponent::~VideoEditComponent()
{
    StopPreview();
    StopConvert();
    m_view.Destroy();
    if (m_eventWindow) {
        SetWindowLongPtrW(m_eventWindow, GWLP_USERDATA, 0);
        DestroyWindow(m_eventWindow);
    }
}

// --- IUnknown ------------------------------------------------------------------------------

HRESULT VideoEditComponent::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch)
        *object = static_cast<IDispatch*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_IObjectWithSite)
        *object = static_cast<IObjectWithSite*>(this);
    else if (riid == IID_IOleWindow)
        *object = static_cast<IOleWindow*>(this);
    else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
        *object = static_cast<IProvideClassInfo2*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG VideoEditComponent::Release()
{
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

// --- IDispatch -----------------------------------------------------------------------------

HRESULT VideoEditComponent::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT VideoEditComponent::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT VideoEditComponent::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids || count == 0)
        return E_POINTER;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    for (const MemberName& member : kMembers) {
        if (lstrcmpiW(names[0], member.name) == 0) {
            ids[0] = member.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME; // no named arguments
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT VideoEditComponent::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT* argErr)
{
    DispatchArgs args(params, argErr);
    if (result)
        VariantInit(result);
    // A host may release the component from inside one of its own events fired below.
    ComRef<IDispatch> keepAlive = ComRef<IDispatch>::Share(this);
    switch (member) {
    case dispid::SetVideoCodecIndex:
    case dispid::SetVideoCompression:
    case dispid::SetAudioCodecIndex:
    case dispid::SetAudioCompression:
    case dispid::SetOutputHeight:
    case dispid::SetOutputWidth:
    case dispid::SetColorDepth:
    case dispid::SetOutputFormat:
    case dispid::SetFrameRate:
        return IsPut(flags) ? PutProperty(member, args) : DISP_E_MEMBERNOTFOUND;
    case dispid::GetVideoCodecs:
        return IsCall(flags) ? CodecListResult(AvailableVideoCodecs(m_tools->Encoders()), result) : DISP_E_MEMBERNOTFOUND;
    case dispid::GetAudioCodecs:
        return IsCall(flags) ? CodecListResult(AvailableAudioCodecs(m_tools->Encoders()), result) : DISP_E_MEMBERNOTFOUND;
    case dispid::StartConvert: {
        std::wstring path;
        const HRESULT hr = IsCall(flags) ? args.Text(0, path) : DISP_E_MEMBERNOTFOUND;
        if (SUCCEEDED(hr))
            SetBoolResult(result, StartConvert(path));
        return hr;
    }
    case dispid::GetDuration: {
        std::wstring path;
        const HRESULT hr = IsCall(flags) ? args.Text(0, path) : DISP_E_MEMBERNOTFOUND;
        if (SUCCEEDED(hr) && result) {
            result->vt = VT_R8;
            result->dblVal = GetDuration(path);
        }
        return hr;
    }
    case dispid::PlayPreview:
        if (!IsCall(flags))
            return DISP_E_MEMBERNOTFOUND;
        SetBoolResult(result, PlayPreview());
        return S_OK;
    case dispid::AddAudioClip:
        return IsCall(flags) ? AddClip(m_audioClips, args, result) : DISP_E_MEMBERNOTFOUND;
    case dispid::AddVideoClip:
        return IsCall(flags) ? AddClip(m_videoClips, args, result) : DISP_E_MEMBERNOTFOUND;
    case dispid::ClearClips:
        if (!IsCall(flags))
            return DISP_E_MEMBERNOTFOUND;
        m_videoClips.clear();
        m_audioClips.clear();
        return S_OK;
    case dispid::StopConvert:
        if (!IsCall(flags))
            return DISP_E_MEMBERNOTFOUND;
        StopConvert();
        return S_OK;
    case dispid::StopPreview:
        if (!IsCall(flags))
            return DISP_E_MEMBERNOTFOUND;
        StopPreviewAnswered();
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT VideoEditComponent::PutProperty(DISPID member, const DispatchArgs& args)
{
    ScopedVariant v;
    VARTYPE type = VT_I2;
    if (member == dispid::SetVideoCompression || member == dispid::SetAudioCompression)
        type = VT_BOOL;
    else if (member == dispid::SetOutputFormat)
        type = VT_I4;
    else if (member == dispid::SetFrameRate)
        type = VT_R4;
    const HRESULT hr = args.PutValue(type, v.value);
    if (FAILED(hr))
        return hr;
    switch (member) {
    case dispid::SetVideoCodecIndex: m_settings.videoCodecIndex = v.value.iVal; break;
    case dispid::SetVideoCompression: m_settings.videoCompression = v.value.boolVal != VARIANT_FALSE; break;
    case dispid::SetAudioCodecIndex: m_settings.audioCodecIndex = v.value.iVal; break;
    case dispid::SetAudioCompression: m_settings.audioCompression = v.value.boolVal != VARIANT_FALSE; break;
    case dispid::SetOutputHeight: m_settings.height = v.value.iVal; break;
    case dispid::SetOutputWidth: m_settings.width = v.value.iVal; break;
    case dispid::SetColorDepth: m_settings.colorDepth = v.value.iVal; break;
    case dispid::SetOutputFormat: m_settings.format = v.value.lVal; break;
    case dispid::SetFrameRate: m_settings.framesPerSecond = v.value.fltVal; break;
    default: return DISP_E_MEMBERNOTFOUND;
    }
    return S_OK;
}

HRESULT VideoEditComponent::AddClip(std::vector<Clip>& list, const DispatchArgs& args, VARIANT* result)
{
    // (file, start, length) and, for a video clip, a flag whose value does not matter.
    Clip clip;
    std::wstring path;
    HRESULT hr = args.Text(0, path);
    if (SUCCEEDED(hr))
        hr = args.Number(1, clip.start);
    if (SUCCEEDED(hr))
        hr = args.Number(2, clip.length);
    if (FAILED(hr))
        return hr;
    clip.path = Utf8FromWide(path);
    const bool usable = !path.empty() && clip.start >= 0 && clip.length > 0;
    if (usable)
        list.push_back(clip);
    SetBoolResult(result, usable);
    return S_OK;
}

HRESULT VideoEditComponent::CodecListResult(const std::vector<CodecEntry>& codecs, VARIANT* result)
{
    if (!result)
        return S_OK;
    std::vector<std::string> names;
    for (const CodecEntry& codec : codecs)
        names.push_back(codec.displayName);
    result->vt = VT_DISPATCH;
    result->pdispVal = CodecListObject::Create(std::move(names));
    return S_OK;
}

// --- The work ------------------------------------------------------------------------------

double VideoEditComponent::GetDuration(const std::wstring& path)
{
    const MediaInfo info = m_tools->Inspect(path);
    return info.readable ? info.durationSeconds : 0.0;
}

std::vector<ResolvedClip> VideoEditComponent::Resolve(const std::vector<Clip>& clips)
{
    std::vector<ResolvedClip> resolved;
    for (const Clip& clip : clips)
        resolved.push_back(ResolvedClip{clip, m_tools->Inspect(WideFromUtf8(clip.path))});
    return resolved;
}

bool VideoEditComponent::PlayPreview()
{
    StopPreview();
    int windowWidth = 0, windowHeight = 0;
    m_view.ClientSize(windowWidth, windowHeight);
    if (windowWidth <= 0 || windowHeight <= 0) {
        windowWidth = kHeadlessDecodeWidth;
        windowHeight = kHeadlessDecodeHeight;
    }

    std::vector<PreviewVideoPart> video;
    for (ResolvedClip resolved : Resolve(m_videoClips)) {
        const double length = PlayableLength(resolved);
        if (!resolved.info.hasVideo || length <= 0)
            continue;
        resolved.info = m_tools->InspectPicture(WideFromUtf8(resolved.clip.path));
        const MediaInfo& info = resolved.info;
        Clip clip = resolved.clip;
        clip.length = length;
        PreviewVideoPart part;
        const PixelSize shape = DisplaySize(info.hasCrop ? info.cropWidth : info.width,
                                            info.hasCrop ? info.cropHeight : info.height, info.pixelAspectWidth,
                                            info.pixelAspectHeight);
        part.size = PreviewDecodeSize(shape.width, shape.height, windowWidth, windowHeight);
        part.rate = PreviewFrameRate(info);
        part.arguments = PreviewVideoArguments(clip, part.size, part.rate, info);
        video.push_back(std::move(part));
    }
    std::vector<PreviewAudioPart> audio;
    for (const ResolvedClip& resolved : Resolve(m_audioClips)) {
        const double length = PlayableLength(resolved);
        if (!resolved.info.hasAudio || length <= 0)
            continue;
        Clip clip = resolved.clip;
        clip.length = length;
        audio.push_back(PreviewAudioPart{
            PreviewAudioArguments(clip, PreviewPlayback::kSampleRate, PreviewPlayback::kChannels)});
    }

    // Even with nothing to play the playback runs and reports its end, so a host that
    // waits for a preview event after PlayPreview is never left waiting.
    const bool anything = !video.empty() || !audio.empty();
    m_previewSession = ++m_lastSession;
    m_previewFirstShown = false;
    PreviewNotify notify{m_eventWindow, kMsgPreviewFrame, kMsgPreviewEnd, m_previewSession};
    m_preview = std::make_unique<PreviewPlayback>(m_tools->Program(), notify, m_frames, std::move(video),
                                                  std::move(audio));
    m_preview->Start();
    return anything;
}

void VideoEditComponent::StopPreview()
{
    // The last picture stays in the window.
    m_previewSession = 0;
    if (m_preview) {
        m_preview->Stop();
        m_preview.reset();
    }
}

void VideoEditComponent::StopPreviewAnswered()
{
    // A host waits for one preview event after each PlayPreview (a frame preview counts as
    // pending until then); a playback stopped before its first picture still gives it.
    const bool unanswered = m_previewSession != 0 && !m_previewFirstShown;
    const double shown = m_preview ? m_preview->ShownSeconds() : 0.0;
    StopPreview();
    if (unanswered)
        m_events.Fire(dispid::OnPreviewEvent, {shown});
}

bool VideoEditComponent::StartConvert(const std::wstring& path)
{
    StopConvert();
    const std::set<std::string>& encoders = m_tools->Encoders();
    const ConvertCommand command =
        BuildConvertCommand(Resolve(m_videoClips), Resolve(m_audioClips), m_settings, AvailableVideoCodecs(encoders),
                            AvailableAudioCodecs(encoders), Utf8FromWide(path));
    if (!command.accepted)
        return false;
    // Writing has started only if the file can be made at all.
    {
        UniqueHandle probe(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            return false;
    }
    const WPARAM session = ++m_lastSession;
    auto job = std::make_unique<ConvertJob>(ConvertNotify{m_eventWindow, kMsgConvertProgress, kMsgConvertDone, session});
    if (!job->Start(m_tools->Program(), command.arguments, command.totalSeconds)) {
        DeleteFileW(path.c_str());
        return false;
    }
    m_convert = std::move(job);
    m_convertSession = session;
    return true;
}

void VideoEditComponent::StopConvert()
{
    m_convertSession = 0;
    if (m_convert) {
        m_convert->Stop();
        m_convert.reset();
    }
}

// --- Worker reports, on the user-interface thread ------------------------------------------

LRESULT CALLBACK VideoEditComponent::EventWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= kMsgPreviewFrame && msg <= kMsgConvertDone) {
        auto* self = reinterpret_cast<VideoEditComponent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            // Handlers may release the component; it goes only after this call.
            ComRef<IDispatch> keepAlive = ComRef<IDispatch>::Share(self);
            self->OnWorkerMessage(msg, wParam);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void VideoEditComponent::OnWorkerMessage(UINT msg, WPARAM session)
{
    // Reports of a playback or writing that has since been stopped or replaced are dropped.
    switch (msg) {
    case kMsgPreviewFrame:
        if (session != m_previewSession)
            return;
        m_view.PaintNow();
        if (!m_previewFirstShown) {
            m_previewFirstShown = true;
            m_events.Fire(dispid::OnPreviewEvent, {0.0});
        }
        return;
    case kMsgPreviewEnd: {
        if (session != m_previewSession)
            return;
        const double shown = m_preview ? m_preview->ShownSeconds() : 0.0;
        m_previewSession = 0;
        m_preview.reset(); // its worker has finished
        m_events.Fire(dispid::OnPreviewEvent, {shown});
        return;
    }
    case kMsgConvertProgress:
        if (session != m_convertSession || !m_convert)
            return;
        m_events.Fire(dispid::OnConvertProgress, {m_convert->Position(), m_convert->Total()});
        return;
    case kMsgConvertDone:
        if (session != m_convertSession)
            return;
        m_convertSession = 0;
        m_convert.reset(); // its worker has finished and the writer is gone
        m_events.Fire(dispid::OnConvertFinished, {});
        return;
    default:
        return;
    }
}

// --- Connection points, site and window ---------------------------------------------------

HRESULT VideoEditComponent::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    return CreateSinglePointEnumerator(&m_events, points);
}

HRESULT VideoEditComponent::FindConnectionPoint(REFIID riid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    // Hosts that know no events interface ask for plain IDispatch.
    if (riid != kDiidVideoEditEvents && riid != IID_IDispatch)
        return CONNECT_E_NOCONNECTION;
    *point = &m_events;
    m_events.AddRef();
    return S_OK;
}

HRESULT VideoEditComponent::SetSite(IUnknown* site)
{
    m_view.Destroy();
    m_site.Reset();
    if (!site)
        return S_OK;
    m_site = ComRef<IUnknown>::Share(site);
    ComRef<IOleWindow> window;
    HWND host = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(window.Receive()))) &&
        SUCCEEDED(window->GetWindow(&host)) && host)
        m_view.Create(host, m_frames.get());
    return S_OK;
}

HRESULT VideoEditComponent::GetSite(REFIID riid, void** site)
{
    if (!site)
        return E_POINTER;
    *site = nullptr;
    return m_site ? m_site->QueryInterface(riid, site) : E_FAIL;
}

HRESULT VideoEditComponent::GetWindow(HWND* hwnd)
{
    if (!hwnd)
        return E_POINTER;
    *hwnd = m_view.Handle();
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT VideoEditComponent::GetClassInfo(ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT VideoEditComponent::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = kDiidVideoEditEvents;
    return S_OK;
}

} // namespace vedit
