// Registers the video-editing component's class object for this process.
#include "standins/videoedit/video_edit_registration.h"

#include <memory>
#include <string>

#include "framework/ComObject.h"
#include "standins/videoedit/media_tools.h"
#include "standins/videoedit/video_edit_component.h"
#include "standins/videoedit/video_edit_ids.h"
#include "standins/videoedit/win_util.h"

namespace vedit {
namespace {

class VideoEditFactory final : public ComObject<IClassFactory> {
public:
    explicit VideoEditFactory(std::shared_ptr<MediaTools> tools) : m_tools(std::move(tools)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        VideoEditComponent* component = VideoEditComponent::Create(m_tools);
        const HRESULT hr = component->QueryInterface(riid, object);
        component->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<MediaTools> m_tools; // one memory of file facts for every instance
};

std::wstring WideFromAnsi(const char* text)
{
    const int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (chars <= 1)
        return std::wstring();
    std::wstring result(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &result[0], chars);
    result.resize(static_cast<size_t>(chars) - 1);
    return result;
}

} // namespace

VideoEditRegistration RegisterVideoEditComponent(const char* ffmpegPath)
{
    std::wstring program = ffmpegPath && *ffmpegPath ? WideFromAnsi(ffmpegPath) : ModuleDirectory() + L"app\\ffmpeg.exe";
    ComRef<IClassFactory> factory = ComRef<IClassFactory>::Adopt(new VideoEditFactory(std::make_shared<MediaTools>(program)));
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(kClsidVideoEdit, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        return VideoEditRegistration();
    return VideoEditRegistration(cookie);
}

} // namespace vedit
