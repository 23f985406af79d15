// CVideoEdit as the page uses it: the program's own component created by CLSID in a host
// window of the page, calls through the wrapper, events through the page's event sink map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/OleEventSink.h"
#include "framework/Wnd.h"
#include "standins/videoedit/tests/component_harness.h"
#include "standins/videoedit/video_edit_ids.h"
#include "standins/videoedit/video_edit_registration.h"
#include "tests/support/test_paths.h"
#include "videocontrol/VideoEdit.h"

namespace {

constexpr UINT IDC_VIDEO_EDIT = 1053;

class CPageLike : public CWnd {
public:
    CVideoEdit m_videoEdit;
    std::vector<std::string> log;

    void OnPreviewEvent(double) { log.push_back("preview"); }
    size_t Count(const std::string& what) const
    {
        size_t n = 0;
        for (const std::string& entry : log)
            n += entry == what;
        return n;
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CPageLike, CWnd)
    ON_EVENT(CPageLike, IDC_VIDEO_EDIT, 4, OnPreviewEvent, VTS_R8)
END_EVENTSINK_MAP()

std::vector<std::string> Names(LPDISPATCH pList)
{
    std::vector<std::string> names;
    CCodecList list(pList);
    for (short i = 0; i < list.GetCount(); ++i)
        names.push_back(static_cast<const char*>(list.Item(i)));
    return names;
}

class VideoEditWrapper : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = harness::MakeScratch("videoedit_wrapper_media");
        const harness::NativeResult made = harness::RunNative(
            "cd '" + s_media.unixDir + "' && ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=6 "
            "-f lavfi -i sine=duration=6 clip.rm");
        ASSERT_EQ(made.exitCode, 0) << made.output;
    }

    void SetUp() override
    {
        CoInitialize(nullptr);
        m_registration = RegisterVideoEditComponent((testpaths::DistDir() + "app\\ffmpeg.exe").c_str());
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VideoEditWrapperTestPage";
        RegisterClassA(&wc);
        ASSERT_TRUE(m_page.CreateEx(0, "VideoEditWrapperTestPage", "page", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300},
                                    nullptr, 0));
        ASSERT_TRUE(m_page.m_videoEdit.CreateControl(vedit::kClsidVideoEdit, WS_VISIBLE, RECT{10, 10, 330, 250}, &m_page,
                                                     IDC_VIDEO_EDIT));
    }

    void TearDown() override
    {
        m_page.DestroyWindow();
        m_registration.Revoke();
        CoUninitialize();
    }

    static harness::Scratch s_media;
    VideoEditRegistration m_registration;
    CPageLike m_page;
};

harness::Scratch VideoEditWrapper::s_media;

} // namespace

// Writing through the wrapper, with progress and end reaching a sink map, is covered by the
// intermediate step's tests.
TEST_F(VideoEditWrapper, CallsAndEventsGoThroughThePagesWrapperAndSinkMap)
{
    CVideoEdit& edit = m_page.m_videoEdit;
    const std::string clip = s_media.Win("clip.rm");
    EXPECT_NEAR(edit.GetDuration(clip.c_str()), 6.0, 0.1);

    const std::vector<std::string> video = Names(edit.GetVideoCodecs());
    const std::vector<std::string> audio = Names(edit.GetAudioCodecs());
    ASSERT_FALSE(video.empty());
    EXPECT_EQ(video[0], "Microsoft MPEG-4 Video Codec V3");
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio[0], "MPEG Layer-3");

    // A frame preview: the page hears of the first picture.
    edit.ClearClips();
    edit.SetColorDepth(24);
    EXPECT_TRUE(edit.AddVideoClip(clip.c_str(), 2.0, 3.0, 0));
    edit.PlayPreview();
    EXPECT_TRUE(harness::PumpUntil([&] { return m_page.Count("preview") >= 1; }, 10000));
    edit.StopPreview();
}

TEST_F(VideoEditWrapper, TheControlsWindowFillsItsHostAndFollowsIt)
{
    HWND host = m_page.m_videoEdit.GetSafeHwnd();
    ASSERT_TRUE(IsWindow(host));
    HWND view = GetWindow(host, GW_CHILD);
    ASSERT_TRUE(IsWindow(view));
    RECT rc{};
    GetClientRect(view, &rc);
    EXPECT_EQ(rc.right, 320);
    EXPECT_EQ(rc.bottom, 240);
    m_page.m_videoEdit.MoveWindow(0, 0, 200, 100);
    GetClientRect(view, &rc);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 100);
}
