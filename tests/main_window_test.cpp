// Starts the staged Varnello.exe and checks its window from outside: the frame, every
// control of the page where a person sees it, the settings' items and defaults, the task
// list's columns, and the caption and output folder taken from the registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/test_paths.h"
#include "tests/support/window_inspector.h"

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;   // nullptr: not checked
    RECT rect;          // left, top, right, bottom in the page's client area
};

RECT Box(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

const std::vector<ExpectedControl>& PageControls()
{
    static const std::vector<ExpectedControl> controls = {
        // The fading picture takes the size of its bitmap.
        {1058, "Static", nullptr, Box(10, 212, 265, 196)},
        {1036, "Static", "Profile setting", Box(288, 255, 75, 15)},
        {1024, "ComboBox", nullptr, Box(365, 252, 280, 20)},
        {1059, "Button", "Automatically Shut Down the computer when converting finished", Box(288, 407, 358, 15)},
        {1011, "SysListView32", nullptr, Box(10, 13, 605, 160)},
        {1035, "Static", "Title (showed in iPod)", Box(288, 230, 115, 15)},
        {1043, "Static", "Video Size", Box(478, 280, 75, 15)},
        {1037, "Static", "Video Type", Box(288, 280, 75, 15)},
        {1044, "Static", "Video Quality", Box(478, 305, 75, 15)},
        {1039, "Static", "Video Aspect", Box(288, 330, 75, 15)},
        {1041, "Static", "Sample Rate", Box(288, 380, 75, 15)},
        {1034, "Static", "Output Directory:", Box(10, 182, 100, 15)},
        {1038, "Static", "Frame Rate", Box(288, 305, 75, 15)},
        {1045, "Static", "Channels", Box(478, 355, 75, 15)},
        {1042, "Static", "Volume", Box(478, 380, 75, 15)},
        {1040, "Static", "Audio Quality", Box(288, 355, 75, 15)},
        {1023, "Edit", "", Box(405, 226, 240, 20)},
        {1021, "Edit", nullptr, Box(115, 178, 440, 20)},
        {1052, "Button", "Output Setting", Box(280, 206, 372, 225)},
        {1026, "ComboBox", nullptr, Box(545, 278, 100, 20)},
        {1025, "ComboBox", nullptr, Box(365, 278, 100, 20)},
        {1028, "ComboBox", nullptr, Box(545, 303, 100, 20)},
        {1032, "ComboBox", nullptr, Box(365, 378, 100, 20)},
        {1031, "ComboBox", nullptr, Box(545, 353, 100, 20)},
        {1033, "ComboBox", nullptr, Box(545, 378, 100, 20)},
        {1027, "ComboBox", nullptr, Box(365, 303, 100, 20)},
        {1030, "ComboBox", nullptr, Box(365, 353, 100, 20)},
        {1029, "ComboBox", nullptr, Box(365, 328, 100, 20)},
        {1055, "Button", "", Box(30, 413, 19, 19)},
        {1054, "Button", "", Box(10, 413, 19, 19)},
        {1049, "Button", "", Box(570, 435, 95, 75)},
        {1048, "Button", "", Box(570, 435, 95, 75)},
        {1013, "Button", "", Box(620, 60, 32, 32)},
        {1016, "Button", "Help", Box(155, 455, 70, 30)},
        {1022, "Button", "Browse", Box(557, 178, 60, 20)},
        {1014, "Button", "", Box(620, 95, 32, 32)},
        {1012, "Button", "", Box(620, 25, 32, 32)},
        {1047, "MFCRangeSlider", nullptr, Box(51, 415, 222, 18)},
        {1053, nullptr, nullptr, Box(10, 212, 264, 200)},
    };
    return controls;
}

struct ComboDefaults {
    int id;
    std::vector<std::string> items;
    int selected;
};

const std::vector<ComboDefaults>& SettingCombos()
{
    static const std::vector<ComboDefaults> combos = {
        {1025, {"MPEG4", "AVC"}, 1},
        {1026, {"176 x 120", "240 x 176", "320 x 176", "320 x 240", "368 x 208", "384 x 160", "416 x 176", "400 x 192", "480 x 160"}, 3},
        {1027, {"Same As Input File", "14.985  fps", "23.976  fps", "29.97    fps"}, 0},
        {1028, {"128   kbps", "192   kbps", "256   kbps ", "384   kbps", "512   kbps", "576   kbps", "640   kbps", "768   kbps", "1500 kbps"}, 6},
        {1029, {"4:3", "16:9"}, 0},
        {1030, {"32     kbps", "48     kbps", "64     kbps", "80     kbps", "96     kbps", "128   kbps"}, 2},
        {1031, {"Mono", "Stereo"}, 1},
        {1032, {"Same As Input File", "24000  Hz", "44100  Hz", "48000  Hz"}, 0},
        {1033, {"50%", "100%", "150%", "200%", "250%", "300%", "350%", "400%"}, 1},
    };
    return combos;
}

// The registry values the program reads at start-up, set or removed for one test.
class RegistryValues {
public:
    RegistryValues() { RemoveAll(); }
    ~RegistryValues() { RemoveAll(); }
    void Set(const char* subKey, const char* value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Varnello", &key), ERROR_SUCCESS);
        RegSetValueA(key, subKey, REG_SZ, value, static_cast<DWORD>(strlen(value)));
        RegCloseKey(key);
    }

private:
    static void RemoveAll()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Varnello\\Version");
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Varnello\\destination");
    }
};

class MainWindow : public ::testing::Test {
protected:
    void StartProgram()
    {
        ASSERT_TRUE(m_program.Start(testpaths::DistDir() + "Varnello.exe"));
        m_frame = inspect::WaitForTopLevel(m_program.ProcessId(), "Varnello", 20000);
        ASSERT_NE(m_frame, nullptr);
        for (const inspect::ChildInfo& child : inspect::Children(m_frame)) {
            if (inspect::Child(child.hwnd, 1011).hwnd)
                m_page = child.hwnd;
        }
        ASSERT_NE(m_page, nullptr) << "the frame holds no page with the task list";
    }
    void CloseProgram()
    {
        PostMessageA(m_frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(m_program.WaitForExit(10000));
    }
    HWND Control(int id) { return inspect::Child(m_page, id).hwnd; }

    RegistryValues m_registry;
    inspect::RunningProgram m_program;
    HWND m_frame = nullptr;
    HWND m_page = nullptr;
};

} // namespace

TEST_F(MainWindow, ShowsEveryControlWhereItBelongs)
{
    StartProgram();
    RECT frame{};
    GetWindowRect(m_frame, &frame);
    EXPECT_EQ(frame.right - frame.left, 692);
    EXPECT_EQ(frame.bottom - frame.top, 560);
    EXPECT_EQ(inspect::WindowText(m_frame), "Varnello V");

    RECT page = inspect::Child(m_frame, GetDlgCtrlID(m_page)).rect;
    EXPECT_EQ(page.left, 2);
    EXPECT_EQ(page.top, 2);
    EXPECT_EQ(page.right - page.left, 669);
    EXPECT_EQ(page.bottom - page.top, 578);

    for (const ExpectedControl& expected : PageControls()) {
        SCOPED_TRACE("control " + std::to_string(expected.id));
        inspect::ChildInfo child = inspect::Child(m_page, expected.id);
        ASSERT_NE(child.hwnd, nullptr);
        if (expected.className) {
            EXPECT_EQ(child.className, expected.className);
        }
        if (expected.text) {
            EXPECT_EQ(child.text, expected.text);
        }
        EXPECT_EQ(child.rect.left, expected.rect.left);
        EXPECT_EQ(child.rect.top, expected.rect.top);
        EXPECT_EQ(child.rect.right, expected.rect.right);
        // A drop-down list's height is its closed height, whatever the template asked.
        if (child.className != "ComboBox") {
            EXPECT_EQ(child.rect.bottom, expected.rect.bottom);
        }
    }

    EXPECT_TRUE(inspect::Child(m_page, 1048).visible);
    EXPECT_FALSE(inspect::Child(m_page, 1049).visible);
    EXPECT_TRUE(inspect::Child(m_page, 1058).visible);
    EXPECT_FALSE(inspect::Child(m_page, 1053).visible);

    inspect::ChildInfo outputDir = inspect::Child(m_page, 1021);
    EXPECT_FALSE(outputDir.enabled);
    // No folder stored: the user's own Videos folder, not a drive that may not exist.
    char szVideos[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_MYVIDEO, nullptr, SHGFP_TYPE_CURRENT, szVideos)));
    EXPECT_EQ(outputDir.text, szVideos);
    EXPECT_NE(outputDir.text, "D:\\");

    for (const ComboDefaults& combo : SettingCombos()) {
        SCOPED_TRACE("combo " + std::to_string(combo.id));
        HWND hwnd = Control(combo.id);
        EXPECT_EQ(inspect::ComboItems(hwnd), combo.items);
        EXPECT_EQ(inspect::ComboSelection(hwnd), combo.selected);
        EXPECT_TRUE(IsWindowEnabled(hwnd));
        EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & 0x3, CBS_DROPDOWNLIST);
    }
    HWND profiles = Control(1024);
    EXPECT_GE(inspect::ComboItems(profiles).size(), 1u);
    EXPECT_EQ(inspect::ComboSelection(profiles), 0);

    HWND list = Control(1011);
    const std::vector<inspect::ListColumn> columns = inspect::ListColumns(list);
    ASSERT_EQ(columns.size(), 5u);
    const inspect::ListColumn expectedColumns[] = {
        {"Source", LVCFMT_LEFT, 120}, {"Begin Time", LVCFMT_CENTER, 70}, {"End Time", LVCFMT_CENTER, 70},
        {"Output", LVCFMT_LEFT, 100}, {"Progress", LVCFMT_LEFT, 250}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(columns[i].heading, expectedColumns[i].heading);
        EXPECT_EQ(columns[i].format, expectedColumns[i].format) << columns[i].heading;
        EXPECT_EQ(columns[i].width, expectedColumns[i].width) << columns[i].heading;
    }
    const DWORD extended = inspect::ListExtendedStyle(list);
    EXPECT_NE(extended & LVS_EX_FULLROWSELECT, 0u);
    EXPECT_NE(extended & LVS_EX_CHECKBOXES, 0u);
    EXPECT_EQ(extended & LVS_EX_GRIDLINES, 0u);
    // The list view turns its border into a client edge itself; the list styles stay.
    const LONG listStyle = GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(listStyle & 0xFFFF, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_NOSORTHEADER);
    EXPECT_EQ(listStyle & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    EXPECT_EQ(inspect::ListItemCount(list), 0);

    CloseProgram();
}

TEST_F(MainWindow, CaptionAndOutputFolderComeFromTheRegistry)
{
    m_registry.Set("Version", "1.2");
    m_registry.Set("destination", "C:\\My Videos\\iPod");
    StartProgram();
    EXPECT_EQ(inspect::WindowText(m_frame), "Varnello V1.2");
    EXPECT_EQ(inspect::Child(m_page, 1021).text, "C:\\My Videos\\iPod");
    CloseProgram();
}

TEST_F(MainWindow, OverlongRegistryValuesAreCutNotOverflowed)
{
    const std::string longValue(400, 'x');
    m_registry.Set("Version", longValue.c_str());
    m_registry.Set("destination", ("C:\\" + longValue).c_str());
    StartProgram();
    EXPECT_EQ(inspect::WindowText(m_frame), "Varnello V" + longValue.substr(0, 255));
    EXPECT_EQ(inspect::Child(m_page, 1021).text, ("C:\\" + longValue).substr(0, 255));
    CloseProgram();
}
