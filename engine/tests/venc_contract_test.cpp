// The encoder contract end to end: a task's command line from the shipped profile file, run
// by the engine's encoder runner, venc.exe and ffmpeg.exe on a real clip, its progress read
// by the engine's parser into the task.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/CommandLine.h"
#include "engine/ConversionState.h"
#include "engine/ConvertTask.h"
#include "engine/EncoderRunner.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"

namespace {

std::string AppDir() { return testpaths::DistDir() + "app"; }

std::string TempDir() { return testproc::TempSubdir("varnello_contract"); }

// The page's side, over a plain task array; counts the Progress cell repaints.
class TaskTarget : public ConversionTarget {
public:
    CTaskArray tasks;
    int nRepaints = 0;
    int GetTaskCount() const override { return tasks.GetCount(); }
    ConvertTask GetTask(int nIndex) const override { return tasks.GetAt(nIndex); }
    void SetTask(int nIndex, const ConvertTask& task) override { tasks.SetAt(nIndex, task); }
    void InvalidateCells(int, int, int nColumn, bool) override { nRepaints += nColumn == 4 ? 1 : 0; }
};

using testproc::RunHidden;

std::string Ffmpeg() { return "\"" + AppDir() + "\\ffmpeg.exe\" -hide_banner -v error "; }

class VencContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_clip = TempDir() + "contract.avi";
        ASSERT_EQ(RunHidden(Ffmpeg() + "-y -f lavfi -i testsrc=size=640x480:rate=25:duration=12 -f lavfi "
                                      "-i sine=duration=12 -c:v mpeg4 -q:v 4 -c:a mp2 -ac 2 \"" + m_clip + "\""),
                  0u);
        g_pConversionTarget = &m_target;
        g_bStopConvert = false;
    }
    void TearDown() override { g_pConversionTarget = nullptr; }

    // Runs task 0 as the conversion run does: command line, encoder, then "q" at the end.
    void Convert(const std::string& output)
    {
        DeleteFileA(output.c_str());
        const CString line = BuildCommandLine(m_target.tasks, 0, output.c_str(), AppDir().c_str());
        std::vector<char> writable(line.GetString(), line.GetString() + line.GetLength());
        writable.resize(writable.size() + 2048, '\0');
        g_nConvertIndex = 0;
        g_dwConvertStartTick = GetTickCount();
        RunEncoder(writable.data(), 0);
        EndEncoder();
    }

    std::string m_clip;
    TaskTarget m_target;
};

} // namespace

TEST_F(VencContract, TheParserReadsSizeTimeAndSpeedFromVenc)
{
    ConvertTask task = MakeNewTask(m_clip.c_str(), 12.0);
    task.dStartTime = 2.0;
    task.dEndTime = 10.0;
    m_target.tasks.Add(task);
    const std::string out = TempDir() + "contract.mp4";
    Convert(out);

    const ConvertTask done = m_target.tasks.GetAt(0);
    EXPECT_NEAR(done.dEncodedTime, 8.0, 0.1) << "the last time= is the trim length";
    EXPECT_GT(done.nOutputSizeKB, 300) << "640 kbit/s for 8 s";
    EXPECT_GT(done.dSpeed, 0.0);
    EXPECT_GE(m_target.nRepaints, 1) << "the Progress cell was never repainted";
    EXPECT_EQ(RunHidden(Ffmpeg() + "-i \"" + out + "\" -f null -"), 0u) << "the file does not decode";
}

TEST_F(VencContract, AnIntermediateSourceIsStoppedAtTheTrimmedLengthAndStillPlays)
{
    // The intermediate file holds only the trimmed range; the parser stops venc with "q" once
    // time= reaches the trimmed length, after closing the output pipe.
    ConvertTask task = MakeNewTask("C:\\elsewhere\\original.rm", 12.0);
    task.strIntermediatePath = m_clip.c_str();
    task.dStartTime = 3.0;
    task.dEndTime = 9.0;
    ASSERT_EQ(task.bNeedIntermediate, 1);
    m_target.tasks.Add(task);
    const std::string out = TempDir() + "intermediate.mp4";
    Convert(out);

    EXPECT_EQ(g_hChildStdoutRead, nullptr);
    EXPECT_EQ(g_hChildStdinWrite, nullptr);
    EXPECT_GE(m_target.tasks.GetAt(0).dEncodedTime, 6.0 - 0.5);
    // venc finishes the file after the q even though its reader has gone.
    bool playable = false;
    for (int attempt = 0; attempt < 50 && !playable; ++attempt) {
        Sleep(100);
        playable = RunHidden(Ffmpeg() + "-i \"" + out + "\" -f null -") == 0;
    }
    EXPECT_TRUE(playable);
}
