// With a recording stand-in registered as the skin component, the program makes exactly the
// skin calls of its start-up and exit, in order, with the windows they name.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/test_paths.h"
#include "tests/support/window_inspector.h"

namespace {

const char kRecorderClsid[] = "{6A1F2B3C-4D5E-4F60-8172-93A4B5C6D7E8}";

void SetDefaultValue(const std::string& keyPath, const std::string& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, keyPath.c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Registers the recorder under the skin component's ProgID in the test prefix's classes
// (Wine looks ProgIDs up there only), and removes it again when the test ends.
class RecorderRegistration {
public:
    RecorderRegistration()
    {
        SetDefaultValue("SkinCrafter.SCSkin\\CLSID", kRecorderClsid);
        const std::string server = std::string("CLSID\\") + kRecorderClsid + "\\InprocServer32";
        SetDefaultValue(server, testpaths::FromEnv("VARNELLO_TEST_BIN") + "\\SkinRecorder.dll");
        HKEY key = nullptr;
        RegOpenKeyA(HKEY_CLASSES_ROOT, server.c_str(), &key);
        RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Apartment"), 10);
        RegCloseKey(key);
    }
    ~RecorderRegistration()
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "SkinCrafter.SCSkin");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kRecorderClsid).c_str());
    }
};

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

std::string Handle(HWND hwnd) { return std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(hwnd))); }

} // namespace

TEST(SkinCalls, StartUpAndExitCallTheSkinInOrder)
{
    char tempDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tempDir);
    const std::string log = std::string(tempDir) + "varnello_skin_calls.txt";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("VARNELLO_SKIN_LOG", log.c_str());
    RecorderRegistration registration;

    inspect::RunningProgram program;
    ASSERT_TRUE(program.Start(testpaths::DistDir() + "Varnello.exe"));
    HWND frame = inspect::WaitForTopLevel(program.ProcessId(), "Varnello", 20000);
    ASSERT_NE(frame, nullptr);
    HWND page = nullptr;
    for (const inspect::ChildInfo& child : inspect::Children(frame))
        if (inspect::Child(child.hwnd, 1011).hwnd)
            page = child.hwnd;
    ASSERT_NE(page, nullptr);
    std::vector<std::string> expected = {"17(0)", "1(1)", "2(Durer.skf)", "18()"};
    for (int id : {1025, 1027, 1029, 1028, 1032, 1030, 1026, 1031, 1033})
        expected.push_back("5(" + Handle(GetDlgItem(page, id)) + ",1)");
    for (int id : {1012, 1013, 1014, 1048, 1049, 1054, 1055, 1016})
        expected.push_back("6(" + Handle(GetDlgItem(page, id)) + ",1)");
    expected.push_back("6(" + Handle(page) + ",0)");
    expected.push_back("7()");

    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(10000));
    EXPECT_EQ(ReadLines(log), expected);
    DeleteFileA(log.c_str());
}
