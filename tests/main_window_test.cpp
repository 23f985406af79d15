// Starts the staged Varnello.exe and checks its window from outside: the frame, every
// control of the page where a person sees it, the settings' items and defaults, the task
// list's columns, the caption and output folder taken from the registry, and that every text
// fits its control in the font the page was laid out for; the layout and the texts at the
// display scales 100, 125, 150 and 200 %, and the layout after a move to a monitor of
// another scale.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/test_paths.h"
#include "tests/support/window_inspector.h"
#include "VarnelloVersion.h"

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;   // nullptr: not checked
    RECT rect;          // left, top, right, bottom in the page's client area
};

RECT Box(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

// A 96-dpi measure at `dpi`, as Windows itself scales it.
int Scaled(int value, int dpi) { return MulDiv(value, dpi, 96); }
RECT ScaledBox(const RECT& r, int dpi)
{
    const int x = Scaled(static_cast<int>(r.left), dpi);
    const int y = Scaled(static_cast<int>(r.top), dpi);
    return Box(x, y, Scaled(static_cast<int>(r.right - r.left), dpi), Scaled(static_cast<int>(r.bottom - r.top), dpi));
}

// The display scale Wine runs the programs started from now on at: the LogPixels value of the
// prefix's user. The value there before is put back when this goes away.
class DisplayScale {
public:
    explicit DisplayScale(int dpi)
    {
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof(m_previous);
        m_hadValue = RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&m_previous), &size) ==
                     ERROR_SUCCESS;
        const DWORD value = static_cast<DWORD>(dpi);
        m_set = RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
                ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~DisplayScale()
    {
        HKEY key = nullptr;
        if (!m_set || RegOpenKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS)
            return;
        if (m_hadValue)
            RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_previous), sizeof(m_previous));
        else
            RegDeleteValueA(key, kValue);
        RegCloseKey(key);
    }
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;
    bool IsSet() const { return m_set; }

private:
    static constexpr const char* kKey = "Control Panel\\Desktop";
    static constexpr const char* kValue = "LogPixels";
    DWORD m_previous = 0;
    bool m_hadValue = false;
    bool m_set = false;
};

// The dpi this test process itself was started at (its own system metrics are for it).
int OwnDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

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
        {1043, "Static", "Video Size", Box(493, 280, 72, 15)},
        {1037, "Static", "Video Type", Box(288, 280, 75, 15)},
        {1044, "Static", "Video Quality", Box(493, 305, 72, 15)},
        {1039, "Static", "Video Aspect", Box(288, 330, 75, 15)},
        {1041, "Static", "Sample Rate", Box(288, 380, 75, 15)},
        {1034, "Static", "Output Directory:", Box(10, 182, 100, 15)},
        {1038, "Static", "Frame Rate", Box(288, 305, 75, 15)},
        {1045, "Static", "Channels", Box(493, 355, 72, 15)},
        {1042, "Static", "Volume", Box(493, 380, 72, 15)},
        {1040, "Static", "Audio Quality", Box(288, 355, 75, 15)},
        {1023, "Edit", "", Box(405, 226, 240, 20)},
        {1021, "Edit", nullptr, Box(115, 178, 440, 20)},
        {1052, "Button", "Output Setting", Box(280, 206, 372, 225)},
        {1026, "ComboBox", nullptr, Box(565, 278, 80, 20)},
        {1025, "ComboBox", nullptr, Box(365, 278, 122, 20)},
        {1028, "ComboBox", nullptr, Box(565, 303, 80, 20)},
        {1032, "ComboBox", nullptr, Box(365, 378, 122, 20)},
        {1031, "ComboBox", nullptr, Box(565, 353, 80, 20)},
        {1033, "ComboBox", nullptr, Box(565, 378, 80, 20)},
        {1027, "ComboBox", nullptr, Box(365, 303, 122, 20)},
        {1030, "ComboBox", nullptr, Box(365, 353, 122, 20)},
        {1029, "ComboBox", nullptr, Box(365, 328, 122, 20)},
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

// The frame's page: the child that holds the task list.
HWND PageOf(HWND frame)
{
    for (const inspect::ChildInfo& child : inspect::Children(frame)) {
        if (inspect::Child(child.hwnd, 1011).hwnd)
            return child.hwnd;
    }
    return nullptr;
}

class MainWindow : public ::testing::Test {
protected:
    void StartProgram()
    {
        ASSERT_TRUE(m_program.Start(testpaths::DistDir() + "Varnello.exe"));
        m_frame = inspect::WaitForTopLevel(m_program.ProcessId(), "Varnello", 20000);
        ASSERT_NE(m_frame, nullptr);
        m_page = PageOf(m_frame);
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

// The font a dialog template asks for (DS_SETFONT), made for a screen of `dpi` the way the
// dialog manager makes it for every control of the page.
class TemplateFont {
public:
    TemplateFont(const std::string& exe, int templateId, int dpi)
    {
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module)
            return;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
        const WORD* word = found ? static_cast<const WORD*>(LockResource(LoadResource(module, found))) : nullptr;
        if (word && word[1] == 0xFFFF) { // DLGTEMPLATEEX
            const DWORD style = *reinterpret_cast<const DWORD*>(word + 6);
            word += 13;                   // up to and including cx, cy
            for (int field = 0; field < 2; ++field) { // menu, class: none, ordinal or string
                if (*word == 0xFFFF)
                    word += 2;
                else
                    while (*word++) {}
            }
            while (*word++) {}            // title
            if (style & DS_SETFONT) {
                const int points = word[0];
                const int weight = word[1];
                const auto* face = reinterpret_cast<const wchar_t*>(word + 3);
                m_font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, 0, 0, 0, 0, face);
            }
        }
        FreeLibrary(module);
    }
    ~TemplateFont()
    {
        if (m_font)
            DeleteObject(m_font);
    }
    TemplateFont(const TemplateFont&) = delete;
    TemplateFont& operator=(const TemplateFont&) = delete;

    bool Valid() const { return m_font != nullptr; }
    // The face the font mapper really chose: a substitute when the asked one is missing.
    std::string ChosenFace() const
    {
        char face[LF_FACESIZE] = {};
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, m_font);
        GetTextFaceA(dc, sizeof(face), face);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return face;
    }
    SIZE Measure(const std::string& text) const
    {
        SIZE size{};
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, m_font);
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return size;
    }

private:
    HFONT m_font = nullptr;
};

// The ProductVersion text of an executable's version resource; empty if it has none.
std::string ProductVersion(const std::string& exe)
{
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return std::string();
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&text), &length))
        return std::string();
    return std::string(text);
}

bool FontInstalled(const char* face)
{
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(
        dc, &wanted,
        [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM flag) -> int {
            *reinterpret_cast<bool*>(flag) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// Room a control keeps for itself beside its text, in pixels at `dpi`: the check box's square
// and gap, a push button's edges, a group box's indent, a combo's drop button and edges.
int CheckBoxRoom(int dpi) { return MulDiv(GetSystemMetrics(SM_CXMENUCHECK), dpi, OwnDpi()) + Scaled(4, dpi); }
int ButtonRoom(int dpi) { return Scaled(8, dpi); }
int GroupRoom(int dpi) { return Scaled(16, dpi); }
int ComboRoom(int dpi) { return MulDiv(GetSystemMetrics(SM_CXVSCROLL), dpi, OwnDpi()) + Scaled(8, dpi); }
int HeaderRoom(int dpi) { return Scaled(12, dpi); }

// The page at the scales Windows offers most: started with the prefix at that dpi.
class MainWindowAtScale : public MainWindow, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override { ASSERT_TRUE(m_scale.IsSet()) << "LogPixels cannot be set"; }
    int Dpi() const { return GetParam(); }
    DisplayScale m_scale{GetParam()};
};

// What a page shows of its layout: every control's place and visibility, the columns' widths
// and the height of a combo's selection field, which follows the page's font.
struct PageLayout {
    std::vector<inspect::ChildInfo> controls;
    std::vector<int> columnWidths;
    int comboFieldHeight = 0;
};

// The fading picture's own thread gives it its bitmap's size (265 x 196 at 96 dpi), which the
// window's thread carries out when it next serves messages: under load that can be after the
// window shows. Waits up to 5 s for it.
void WaitForPictureSize(HWND page, int dpi)
{
    const int cx = Scaled(265, dpi), cy = Scaled(196, dpi);
    for (int i = 0; i < 100; ++i) {
        const RECT r = inspect::Child(page, 1058).rect;
        if (r.right - r.left == cx && r.bottom - r.top == cy)
            return;
        Sleep(50);
    }
}

PageLayout LayoutOf(HWND page)
{
    PageLayout layout;
    layout.controls = inspect::Children(page);
    for (const inspect::ListColumn& column : inspect::ListColumns(inspect::Child(page, 1011).hwnd))
        layout.columnWidths.push_back(column.width);
    DWORD_PTR height = 0;
    inspect::SendWithTimeout(inspect::Child(page, 1025).hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0, &height);
    layout.comboFieldHeight = static_cast<int>(height);
    return layout;
}

} // namespace

TEST_P(MainWindowAtScale, ShowsEveryControlWhereItBelongs)
{
    const int dpi = Dpi();
    StartProgram();
    // The frame is its 96-dpi size times the scale.
    RECT frame{};
    GetWindowRect(m_frame, &frame);
    EXPECT_EQ(frame.right - frame.left, Scaled(692, dpi));
    EXPECT_EQ(frame.bottom - frame.top, Scaled(560, dpi));
    // No Version value in the registry (a copied folder): the caption shows the version the
    // executable was built as, the one in its version resource.
    const std::string builtVersion = ProductVersion(testpaths::DistDir() + "Varnello.exe");
    EXPECT_EQ(builtVersion, VARNELLO_VERSION_TEXT);
    EXPECT_EQ(inspect::WindowText(m_frame), "Varnello V" + builtVersion);

    RECT page = inspect::Child(m_frame, GetDlgCtrlID(m_page)).rect;
    EXPECT_EQ(page.left, Scaled(2, dpi));
    EXPECT_EQ(page.top, Scaled(2, dpi));
    EXPECT_EQ(page.right - page.left, Scaled(669, dpi));
    EXPECT_EQ(page.bottom - page.top, Scaled(578, dpi));

    WaitForPictureSize(m_page, dpi);

    for (ExpectedControl expected : PageControls()) {
        SCOPED_TRACE("control " + std::to_string(expected.id) + " at " + std::to_string(dpi) + " dpi");
        expected.rect = ScaledBox(expected.rect, dpi);
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
        {"Source", LVCFMT_LEFT, 120}, {"Begin Time", LVCFMT_CENTER, 75}, {"End Time", LVCFMT_CENTER, 70},
        {"Output", LVCFMT_LEFT, 100}, {"Progress", LVCFMT_LEFT, 245}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(columns[i].heading, expectedColumns[i].heading);
        EXPECT_EQ(columns[i].format, expectedColumns[i].format) << columns[i].heading;
        EXPECT_EQ(columns[i].width, Scaled(expectedColumns[i].width, dpi)) << columns[i].heading;
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

// Wine's own Tahoma and Marlett must be in the prefix: without them caption buttons show
// letters and every text is measured in a wider substitute, so labels are cut. At every scale
// the text is measured in the page's font made for that scale.
TEST_P(MainWindowAtScale, EveryTextFitsItsControlInThePageFont)
{
    const int dpi = Dpi();
    EXPECT_TRUE(FontInstalled("Marlett")) << "caption buttons would be drawn as letters";
    TemplateFont font(testpaths::DistDir() + "Varnello.exe", 102, dpi);
    ASSERT_TRUE(font.Valid());
    EXPECT_EQ(font.ChosenFace(), "Tahoma");

    StartProgram();
    auto expectFits = [&](const std::string& what, const std::string& text, int room, const RECT& client) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        const SIZE size = font.Measure(text);
        EXPECT_LE(size.cx + room, client.right - client.left)
            << what << " \"" << text << "\" is cut: " << size.cx << " px of text, " << room << " px of room";
        EXPECT_LE(size.cy, client.bottom - client.top) << what << " \"" << text << "\" is cut in height";
    };
    for (const inspect::ChildInfo& child : inspect::Children(m_page)) {
        if (!child.visible)
            continue;
        RECT client{};
        GetClientRect(child.hwnd, &client);
        const std::string what = "control " + std::to_string(child.id);
        const LONG type = child.style & BS_TYPEMASK;
        const LONG staticType = child.style & SS_TYPEMASK;
        const bool textStatic = staticType <= SS_RIGHT || staticType == SS_SIMPLE || staticType == SS_LEFTNOWORDWRAP;
        if (child.className == "Static" && !child.text.empty() && textStatic) {
            expectFits(what, child.text, 0, client);
        } else if (child.className == "Button" && !child.text.empty()) {
            if (type == BS_GROUPBOX)
                expectFits(what, child.text, GroupRoom(dpi), client);
            else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
                expectFits(what, child.text, CheckBoxRoom(dpi), client);
            else
                expectFits(what, child.text, ButtonRoom(dpi), client);
        } else if (child.className == "ComboBox") {
            for (const std::string& item : inspect::ComboItems(child.hwnd))
                expectFits(what + " item", item, ComboRoom(dpi), client);
        }
    }
    RECT header{};
    GetClientRect(Control(1011), &header);
    for (const inspect::ListColumn& column : inspect::ListColumns(Control(1011))) {
        header.right = header.left + column.width;
        expectFits("column", column.heading, HeaderRoom(dpi), header);
    }
    CloseProgram();
}

INSTANTIATE_TEST_SUITE_P(DisplayScales, MainWindowAtScale, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "dpi"; });

// Moved from a 100 % monitor to a 150 % one, the window is laid out again: the frame takes the
// rectangle Windows suggests, and the page, its columns and its font are those of a page
// started at 150 %.
TEST_F(MainWindow, MovedToAMonitorOfAnotherScaleIsLaidOutAgain)
{
    PageLayout startedAt150;
    {
        DisplayScale scale(144);
        ASSERT_TRUE(scale.IsSet());
        inspect::RunningProgram program;
        ASSERT_TRUE(program.Start(testpaths::DistDir() + "Varnello.exe"));
        const HWND frame = inspect::WaitForTopLevel(program.ProcessId(), "Varnello", 20000);
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(PageOf(frame), nullptr);
        WaitForPictureSize(PageOf(frame), 144);
        startedAt150 = LayoutOf(PageOf(frame));
        PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(10000));
    }

    StartProgram(); // at 100 %
    const PageLayout before = LayoutOf(m_page);
    RECT frame{};
    GetWindowRect(m_frame, &frame);
    const RECT suggested = Box(frame.left + 20, frame.top + 10, Scaled(692, 144), Scaled(560, 144));
    ASSERT_TRUE(inspect::SendDpiChanged(m_frame, 144, suggested));

    GetWindowRect(m_frame, &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);
    EXPECT_EQ(frame.right, suggested.right);
    EXPECT_EQ(frame.bottom, suggested.bottom);
    const PageLayout after = LayoutOf(m_page);
    ASSERT_EQ(after.controls.size(), startedAt150.controls.size());
    for (const inspect::ChildInfo& expected : startedAt150.controls) {
        SCOPED_TRACE("control " + std::to_string(expected.id));
        const inspect::ChildInfo moved = inspect::Child(m_page, expected.id);
        EXPECT_EQ(moved.rect.left, expected.rect.left);
        EXPECT_EQ(moved.rect.top, expected.rect.top);
        EXPECT_EQ(moved.rect.right, expected.rect.right);
        EXPECT_EQ(moved.rect.bottom, expected.rect.bottom);
        EXPECT_EQ(moved.visible, expected.visible);
    }
    EXPECT_EQ(after.columnWidths, startedAt150.columnWidths);
    // The font is made anew: the combos' selection field grows with it.
    EXPECT_GT(startedAt150.comboFieldHeight, before.comboFieldHeight);
    EXPECT_EQ(after.comboFieldHeight, startedAt150.comboFieldHeight);
    CloseProgram();
}
