// The run's queue with real child processes and no window: the scripted encoder writes its
// output file, exits with the code it is told, and stops on "q". The order of starts, the
// limit, each end judged on its own, names reserved across tasks at once, and Stop.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ConversionQueue.h"
#include "tests/support/shell_folder_redirect.h"

namespace {

std::string TestBinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    const std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The page's part: the tasks, and a record of what the queue asked and told.
class RecordingPage : public ConversionTarget, public RunEvents {
public:
    std::vector<ConvertTask> tasks;
    std::map<int, std::string> scripts;  // the script encoder's arguments after FILE, by task
    std::vector<int> started;            // in the order of the encoders' starts
    std::vector<std::string> outputs;    // the path reserved for each task
    std::vector<std::pair<int, TaskResult>> ended;
    int underWay = 0;
    int mostUnderWay = 0;
    ConversionQueue* queue = nullptr;
    int stopWhenUnderWay = 0; // Stop as soon as this many encoders are reading

    int GetTaskCount() const override { return static_cast<int>(tasks.size()); }
    ConvertTask GetTask(int nIndex) const override { return tasks[static_cast<size_t>(nIndex)]; }
    void SetTask(int nIndex, const ConvertTask& task) override { tasks[static_cast<size_t>(nIndex)] = task; }
    void InvalidateCells(int nFirstRow, int nLastRow, int nColumn, bool) override
    {
        EXPECT_EQ(nFirstRow, nLastRow);
        EXPECT_EQ(nColumn, 4);
        if (stopWhenUnderWay > 0 && underWay >= stopWhenUnderWay && queue)
            queue->Stop();
    }

    // A RealMedia task's step, when stepUntilEnded is set, lasts until that many other tasks
    // have ended; otherwise there is none to wait for.
    size_t stepUntilEnded = 0;
    bool StartIntermediateStep(int) override { return stepUntilEnded > 0; }
    std::string IntermediateStepFault(int) override { return std::string(); }
    void EndIntermediateStep(int) override {}
    CString EncoderCommandLine(int nIndex, const std::string& strOutputPath) override
    {
        started.push_back(nIndex);
        outputs[static_cast<size_t>(nIndex)] = strOutputPath;
        mostUnderWay = std::max(mostUnderWay, ++underWay);
        const std::string line =
            "\"" + TestBinDir() + "script_encoder.exe\" work \"" + strOutputPath + "\" " + scripts[nIndex];
        return CString(line.c_str());
    }
    void RemoveRunFile(const std::string& strPath) override { DeleteFileA(strPath.c_str()); }
    void TaskEnded(int nIndex, TaskResult result, const std::string&) override
    {
        ended.emplace_back(nIndex, result);
        if (stepUntilEnded > 0 && ended.size() == stepUntilEnded)
            for (ConvertTask& task : tasks)
                task.bIntermediateDone = task.bNeedIntermediate;
        if (result != TaskResult::Failed || !outputs[static_cast<size_t>(nIndex)].empty())
            --underWay;
    }
};

class ConversionQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof(temp), temp);
        m_dir = std::string(temp) + "queue_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(m_dir.c_str(), nullptr);
        m_out = m_dir + "\\out";
        CreateDirectoryA(m_out.c_str(), nullptr);
        m_localAppData = std::make_unique<testpaths::ShellFolderRedirect>("Local AppData", m_dir);
        g_bStopConvert = false;
        m_page.queue = &m_queue;
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA found{};
        for (const std::string& folder : {m_out, m_dir + "\\Varnello"}) {
            const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do
                    DeleteFileA((folder + "\\" + found.cFileName).c_str());
                while (FindNextFileA(search, &found));
                FindClose(search);
            }
            RemoveDirectoryA(folder.c_str());
        }
        m_localAppData.reset();
        RemoveDirectoryA(m_dir.c_str());
        g_bStopConvert = false;
    }

    // A task named NAME whose encoder works for MS and exits with CODE.
    void AddTask(const std::string& name, int ms, int code)
    {
        ConvertTask task;
        task.strSourcePath = (name + ".avi").c_str();
        task.strOutputName = name.c_str();
        task.dEndTime = 10.0;
        m_page.scripts[static_cast<int>(m_page.tasks.size())] = std::to_string(ms) + " " + std::to_string(code);
        m_page.tasks.push_back(task);
        m_page.outputs.emplace_back();
    }
    void Run(int nAtOnce)
    {
        RunSettings settings;
        settings.strOutputFolder = m_out;
        settings.nTasksAtOnce = nAtOnce;
        m_queue.Run(settings);
    }
    std::string LogText() const { return ReadWholeFile(m_dir + "\\Varnello\\log.txt"); }

    RecordingPage m_page;
    ConversionQueue m_queue{m_page, m_page};
    std::string m_dir;
    std::string m_out;
    std::unique_ptr<testpaths::ShellFolderRedirect> m_localAppData;
};

} // namespace

TEST_F(ConversionQueueTest, StartsInListOrderAndNeverMoreThanTheLimitAtOnce)
{
    // Ends out of order (the second task is quickest): the third still starts third.
    for (const int ms : {900, 200, 500, 300, 200})
        AddTask("clip" + std::to_string(ms) + "_" + std::to_string(m_page.tasks.size()), ms, 0);
    Run(2);
    EXPECT_EQ(m_page.started, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(m_page.mostUnderWay, 2);
    ASSERT_EQ(m_page.ended.size(), 5u);
    EXPECT_EQ(m_page.ended[0].first, 1) << "news of each task as it ends, not in list order";
    for (size_t i = 0; i < m_page.tasks.size(); ++i) {
        EXPECT_EQ(m_page.tasks[i].bFinished, 1) << i;
        EXPECT_EQ(ReadWholeFile(m_page.outputs[i]), "converted") << i;
        EXPECT_GT(m_page.tasks[i].dEncodedTime, 0.0) << "each row its own progress: " << i;
    }
    EXPECT_EQ(LogText(), "");
}

TEST_F(ConversionQueueTest, OneAtATimeStartsEachTaskAfterTheLastHasEnded)
{
    for (int i = 0; i < 3; ++i)
        AddTask("one" + std::to_string(i), 150, 0);
    Run(1);
    EXPECT_EQ(m_page.mostUnderWay, 1);
    EXPECT_EQ(m_page.started, (std::vector<int>{0, 1, 2}));
}

TEST_F(ConversionQueueTest, AFailedTaskAmongRunningOnesFailsAlone)
{
    AddTask("good1", 600, 0);
    AddTask("crashes", 200, 3); // writes part of a file, then exits with an error
    AddTask("good2", 600, 0);
    Run(3);
    EXPECT_EQ(m_page.tasks[0].bFinished, 1);
    EXPECT_EQ(m_page.tasks[1].bFailed, 1);
    EXPECT_EQ(m_page.tasks[1].bFinished, 0);
    EXPECT_EQ(m_page.tasks[2].bFinished, 1);
    EXPECT_EQ(GetFileAttributesA(m_page.outputs[1].c_str()), INVALID_FILE_ATTRIBUTES)
        << "the failed task's cut-off file is removed";
    const std::string log = LogText();
    EXPECT_NE(log.find("crashes.avi"), std::string::npos) << log;
    EXPECT_EQ(log.find("good"), std::string::npos) << "only the failed task is logged: " << log;
}

TEST_F(ConversionQueueTest, TasksTitledAlikeAtOnceGetNamesOfTheirOwn)
{
    std::ofstream(m_out + "\\same.mp4") << "kept";
    for (int i = 0; i < 4; ++i)
        AddTask("same", 300, 0);
    Run(4);
    EXPECT_EQ(m_page.mostUnderWay, 4);
    std::vector<std::string> names;
    for (const std::string& path : m_page.outputs)
        names.push_back(path.substr(path.find_last_of('\\') + 1));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"same_2.mp4", "same_3.mp4", "same_4.mp4", "same_5.mp4"}));
    EXPECT_EQ(ReadWholeFile(m_out + "\\same.mp4"), "kept");
    for (const std::string& path : m_page.outputs)
        EXPECT_EQ(ReadWholeFile(path), "converted") << path;
}

TEST_F(ConversionQueueTest, ARealMediaTaskKeepsItsListPlaceInTheNamesThoughItsStepEndsLast)
{
    std::ofstream(m_out + "\\same.mp4") << "kept";
    for (int i = 0; i < 3; ++i)
        AddTask("same", 100, 0);
    m_page.tasks[0].bNeedIntermediate = 1;
    m_page.stepUntilEnded = 2; // its encoder starts after the other two have ended
    Run(3);
    EXPECT_EQ(m_page.started, (std::vector<int>{1, 2, 0}));
    for (int i = 0; i < 3; ++i) {
        const std::string& path = m_page.outputs[static_cast<size_t>(i)];
        EXPECT_EQ(path.substr(path.find_last_of('\\') + 1), "same_" + std::to_string(i + 2) + ".mp4");
        EXPECT_EQ(ReadWholeFile(path), "converted") << path;
    }
}

TEST_F(ConversionQueueTest, StopEndsEveryEncoderAndMarksNoStoppedTaskFinished)
{
    for (int i = 0; i < 4; ++i)
        AddTask("long" + std::to_string(i), 60000, 0);
    m_page.stopWhenUnderWay = 2;
    Run(2);
    EXPECT_EQ(m_page.started, (std::vector<int>{0, 1})) << "nothing starts after the stop";
    EXPECT_TRUE(m_page.ended.empty()) << "stopped tasks are neither finished nor failed";
    for (const ConvertTask& task : m_page.tasks) {
        EXPECT_EQ(task.bFinished, 0);
        EXPECT_EQ(task.bFailed, 0);
    }
    EXPECT_TRUE(g_bStopConvert);
    // Both encoders were told to finish and have exited (Run waits for them): each wrote its
    // file on "q", within its first second rather than after its minute.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ReadWholeFile(m_page.outputs[static_cast<size_t>(i)]), "converted") << i;
}
