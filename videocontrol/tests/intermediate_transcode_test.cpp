// The intermediate step end to end: the program's own video-editing component behind the
// page's wrapper, a RealMedia task, the real ffmpeg.exe, the file checked with ffprobe, and
// the task's Progress cell as the list would draw it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/CellDisplayInfo.h"
#include "engine/ConversionState.h"
#include "engine/TaskCell.h"
#include "framework/OleEventSink.h"
#include "framework/Wnd.h"
#include "standins/videoedit/tests/component_harness.h"
#include "standins/videoedit/video_edit_ids.h"
#include "standins/videoedit/video_edit_registration.h"
#include "tests/support/test_paths.h"
#include "videocontrol/IntermediateTranscode.h"
#include "videocontrol/VideoEdit.h"

namespace {

constexpr UINT IDC_VIDEO_EDIT = 1053;

struct CellSnapshot {
    std::string text;
    int bar;
};

// The tasks as the page keeps them. A repaint asked for is answered at once with the cell
// the list would draw, from the task as it is then.
class TaskTable : public ConversionTarget {
public:
    std::vector<ConvertTask> tasks;
    std::vector<std::vector<int>> invalidated; // first row, last row, column, erase
    std::vector<CellSnapshot> cells;
    mutable int reads = 0; // how often the step looked at a task
    int GetTaskCount() const override { return static_cast<int>(tasks.size()); }
    ConvertTask GetTask(int nIndex) const override
    {
        ++reads;
        return tasks.at(nIndex);
    }
    void SetTask(int nIndex, const ConvertTask& task) override { tasks.at(nIndex) = task; }
    void InvalidateCells(int nFirstRow, int nLastRow, int nColumn, bool bErase) override
    {
        invalidated.push_back({nFirstRow, nLastRow, nColumn, bErase ? 1 : 0});
        CellDisplayInfo info;
        FillTaskCellInfo(tasks.at(nFirstRow), nFirstRow, nColumn, info);
        cells.push_back({static_cast<const char*>(info.strText), info.nProgressPos});
    }
};

// Stands in for the page: owns the wrapper and routes the control's events.
class CRunPage : public CWnd {
public:
    CVideoEdit m_videoEdit;
    TaskTable table;
    int nProgressEvents = 0;
    int nFinishedEvents = 0;

    void OnIntermediateProgress(double dPos, double dTotal)
    {
        ++nProgressEvents;
        ::OnIntermediateProgress(m_videoEdit, table, dPos, dTotal);
    }
    void OnIntermediateFinished()
    {
        ++nFinishedEvents;
        ::OnIntermediateFinished(m_videoEdit, table);
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CRunPage, CWnd)
    ON_EVENT(CRunPage, IDC_VIDEO_EDIT, 1, OnIntermediateFinished, VTS_NONE)
    ON_EVENT(CRunPage, IDC_VIDEO_EDIT, 2, OnIntermediateProgress, VTS_R8 VTS_R8)
END_EVENTSINK_MAP()

// A window message that asks for a stop, as the Stop button does while the step waits.
constexpr UINT WM_TEST_STOP = WM_APP + 7;
LRESULT CALLBACK StopWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TEST_STOP) {
        g_bStopConvert = true;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class IntermediateStep : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = harness::MakeScratch("videoedit_intermediate_media");
        s_programDir = harness::MakeScratch("videoedit_intermediate_program");
        const harness::NativeResult made = harness::RunNative(
            "cd '" + s_media.unixDir + "' && "
            "ffmpeg -v error -y -f lavfi -i testsrc=size=352x288:rate=25:duration=6 -f lavfi -i sine=duration=6 clip.rm && "
            // Long enough that the steps stopped after 1.5 and 2.5 s are still writing then: the
            // encoder built from Debian's sources transcodes 90 s in about 2.5 s. Ten seconds
            // repeated: the sound is copied, the pictures (which RealMedia's muxer cannot take
            // copied) encoded again, in half the time of the whole clip's encoding.
            "ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=10 -f lavfi -i sine=duration=10 piece.rm && "
            "ffmpeg -v error -y -stream_loop 39 -i piece.rm -c:v rv10 -c:a copy long.rm && rm piece.rm && "
            "cp /bin/true broken.rm");
        ASSERT_EQ(made.exitCode, 0) << made.output;
    }

    void SetUp() override
    {
        CoInitialize(nullptr);
        m_registration = RegisterVideoEditComponent((testpaths::DistDir() + "app\\ffmpeg.exe").c_str());
        WNDCLASSA wc{};
        wc.lpfnWndProc = StopWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "IntermediateTestPage";
        RegisterClassA(&wc);
        ASSERT_TRUE(m_page.CreateEx(0, "IntermediateTestPage", "page", WS_POPUP, RECT{0, 0, 400, 300}, nullptr, 0));
        ASSERT_TRUE(m_page.m_videoEdit.CreateControl(vedit::kClsidVideoEdit, WS_VISIBLE, RECT{0, 0, 320, 240}, &m_page,
                                                     IDC_VIDEO_EDIT));
        g_pConversionTarget = &m_page.table;
        g_bStopConvert = false;
        g_nConvertIndex = 0;
        m_programDir = s_programDir.winDir + "\\";
        // Start from an empty program directory.
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((m_programDir + "*.*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((m_programDir + found.cFileName).c_str());
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }

    void TearDown() override
    {
        g_pConversionTarget = nullptr;
        m_page.DestroyWindow();
        m_registration.Revoke();
        CoUninitialize();
    }

    ConvertTask RealMediaTask(const std::string& file, double dStart, double dEnd)
    {
        ConvertTask task;
        task.strSourcePath = s_media.Win(file).c_str();
        task.dStartTime = dStart;
        task.dEndTime = dEnd;
        task.strOutputName = "holiday";
        task.strTitle = "holiday";
        task.bNeedIntermediate = 1;
        return task;
    }

    static harness::Scratch s_media;
    static harness::Scratch s_programDir;
    std::string m_programDir;
    VideoEditRegistration m_registration;
    CRunPage m_page;
};

harness::Scratch IntermediateStep::s_media;
harness::Scratch IntermediateStep::s_programDir;

} // namespace

TEST_F(IntermediateStep, WritesTheTrimmedRangeToAnAviBesideTheProgram)
{
    m_page.table.tasks = {RealMediaTask("clip.rm", 1.0, 3.0)};
    // The step waits until the control reports the end; should it never come, a late stop
    // makes this test fail instead of hang.
    SetTimer(m_page.GetSafeHwnd(), 2, 90000, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        PostMessageA(hwnd, WM_TEST_STOP, 0, 0);
    });
    TranscodeToIntermediate(m_page.m_videoEdit, m_page.table, m_programDir.c_str(), 0);
    KillTimer(m_page.GetSafeHwnd(), 2);
    ASSERT_FALSE(g_bStopConvert) << "the control never reported the end";

    const ConvertTask& task = m_page.table.tasks[0];
    EXPECT_EQ(task.nPhase, 2);
    EXPECT_EQ(task.bIntermediateDone, 1);
    EXPECT_EQ(m_page.nFinishedEvents, 1);
    const std::string path = static_cast<const char*>(task.strIntermediatePath);
    // <program directory>holiday_NNNNN.avi, NNNNN from 10000 to 50000
    ASSERT_EQ(path.size(), m_programDir.size() + std::string("holiday_12345.avi").size()) << path;
    EXPECT_EQ(path.substr(0, m_programDir.size() + 8), m_programDir + "holiday_");
    const int number = std::atoi(path.substr(m_programDir.size() + 8, 5).c_str());
    EXPECT_GE(number, 10000);
    EXPECT_LE(number, 50000);
    EXPECT_EQ(path.substr(path.size() - 4), ".avi");
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    // The Progress cell fills the first half of its bar while the step runs.
    ASSERT_GE(m_page.nProgressEvents, 1);
    ASSERT_FALSE(m_page.table.cells.empty());
    for (const CellSnapshot& cell : m_page.table.cells) {
        EXPECT_NE(cell.text.find("%    Remain Time:"), std::string::npos) << cell.text;
        EXPECT_LE(cell.bar, 50);
    }
    EXPECT_EQ(m_page.table.cells.back().bar, 50) << m_page.table.cells.back().text;
    EXPECT_EQ(m_page.table.cells.back().text.rfind(" 50.00%", 0), 0u) << m_page.table.cells.back().text;
    EXPECT_NEAR(task.dIntermediatePercent, 100, 0.01);
    for (const std::vector<int>& call : m_page.table.invalidated)
        EXPECT_EQ(call, (std::vector<int>{0, 0, kColumnProgress, 0}));

    // AVI with MS MPEG-4 V3 and MP3 at 320x240 and 25 frames a second; the clip's third
    // argument was the end time, so the file holds from the start for that many seconds.
    const std::string unixPath = s_programDir.Unix(path.substr(m_programDir.size()));
    const auto fields = harness::Probe(unixPath);
    EXPECT_EQ(harness::ProbeValue(fields, "codec_name", 0), "msmpeg4v3");
    EXPECT_EQ(harness::ProbeValue(fields, "codec_name", 1), "mp3");
    EXPECT_EQ(harness::ProbeValue(fields, "width"), "320");
    EXPECT_EQ(harness::ProbeValue(fields, "height"), "240");
    EXPECT_EQ(harness::ProbeValue(fields, "r_frame_rate", 0), "25/1");
    EXPECT_NEAR(std::atof(harness::ProbeValue(fields, "duration").c_str()), 3.0, 0.1);
    EXPECT_EQ(harness::OwnFfmpegProcesses(), 0);
}

TEST_F(IntermediateStep, StopDeletesTheFileOnceTheNextProgressEventHasCome)
{
    m_page.table.tasks = {RealMediaTask("long.rm", 0.0, 400.0)};
    // The Stop click arrives while the step waits, after the writing has begun.
    SetTimer(m_page.GetSafeHwnd(), 1, 1500, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        PostMessageA(hwnd, WM_TEST_STOP, 0, 0);
    });
    TranscodeToIntermediate(m_page.m_videoEdit, m_page.table, m_programDir.c_str(), 0);
    ASSERT_TRUE(g_bStopConvert);
    const ConvertTask task = m_page.table.tasks[0];
    EXPECT_EQ(task.nPhase, 1);
    EXPECT_EQ(task.bIntermediateDone, 0);
    const std::string path = static_cast<const char*>(task.strIntermediatePath);
    ASSERT_FALSE(path.empty());

    // The wait ended without calling the control; the next progress event ends the writing.
    const int before = m_page.nProgressEvents;
    EXPECT_TRUE(harness::PumpUntil([&] { return m_page.nProgressEvents > before; }, 5000));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "the half-made file is gone";
    EXPECT_EQ(harness::OwnFfmpegProcesses(), 0);
    harness::PumpUntil([] { return false; }, 800);
    EXPECT_EQ(m_page.nFinishedEvents, 0);
}

TEST_F(IntermediateStep, WaitsWithoutTakingAProcessorFromTheTranscoding)
{
    m_page.table.tasks = {RealMediaTask("long.rm", 0.0, 400.0)};
    SetTimer(m_page.GetSafeHwnd(), 1, 2500, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        PostMessageA(hwnd, WM_TEST_STOP, 0, 0);
    });
    m_page.table.reads = 0;
    TranscodeToIntermediate(m_page.m_videoEdit, m_page.table, m_programDir.c_str(), 0);
    ASSERT_TRUE(g_bStopConvert);
    // Between two looks at the task the wait sleeps until a message comes or a short time has
    // passed; a loop that only polls looks at it thousands of times a second.
    EXPECT_LT(m_page.table.reads, 400) << "the wait looked at its task " << m_page.table.reads << " times in 2.5 s";
    harness::PumpUntil([&] { return harness::OwnFfmpegProcesses() == 0; }, 5000);
}

TEST_F(IntermediateStep, RefusedStartsLeaveNoFile)
{
    // The control cannot read the source.
    m_page.table.tasks = {RealMediaTask("broken.rm", 0.0, 2.0)};
    TranscodeToIntermediate(m_page.m_videoEdit, m_page.table, m_programDir.c_str(), 0);
    ConvertTask task = m_page.table.tasks[0];
    EXPECT_EQ(task.nPhase, 1);
    EXPECT_EQ(task.bIntermediateDone, 0);
    EXPECT_FALSE(task.strIntermediatePath.IsEmpty());
    EXPECT_EQ(GetFileAttributesA(task.strIntermediatePath), INVALID_FILE_ATTRIBUTES);

    // A directory and name too long for a path: refused before the control is asked.
    const std::string longName(250, 'n');
    m_page.table.tasks = {RealMediaTask("clip.rm", 0.0, 2.0)};
    m_page.table.tasks[0].strOutputName = longName.c_str();
    TranscodeToIntermediate(m_page.m_videoEdit, m_page.table, m_programDir.c_str(), 0);
    task = m_page.table.tasks[0];
    EXPECT_EQ(task.nPhase, 1);
    EXPECT_EQ(task.bIntermediateDone, 0);
    EXPECT_TRUE(task.strIntermediatePath.IsEmpty());
    EXPECT_EQ(harness::OwnFfmpegProcesses(), 0);
    EXPECT_EQ(m_page.nProgressEvents, 0);
}
