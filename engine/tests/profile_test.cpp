// The profile file through the Windows initialisation-file calls, and the profile combo it
// fills (a real combo box).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/ProfileIni.h"
#include "engine/ProfileList.h"
#include "framework/ComboBox.h"

namespace {

std::string TempDir()
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::string dir = std::string(path) + "varnello_profile_test\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string WriteIni(const char* name, const std::string& text)
{
    const std::string path = TempDir() + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

// A real drop-down list combo box, like the page's profile combo (unsorted).
class ComboFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_parent = CreateWindowA("STATIC", "parent", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        HWND combo = CreateWindowA("COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 200, 200, m_parent,
                                   reinterpret_cast<HMENU>(1024), nullptr, nullptr);
        ASSERT_TRUE(m_combo.Attach(combo));
        m_combo.AddString("left from before");
        m_combo.SetCurSel(0);
    }
    void TearDown() override
    {
        m_combo.Detach();
        DestroyWindow(m_parent);
    }
    std::vector<std::string> ComboItems()
    {
        std::vector<std::string> items;
        for (int i = 0; i < m_combo.GetCount(); ++i) {
            CString text;
            m_combo.GetLBText(i, text);
            items.push_back(text.GetString());
        }
        return items;
    }
    void Fill(const std::string& path)
    {
        CProfileIni ini;
        ini.SetFile(path.c_str());
        FillProfileCombo(m_combo, ini);
    }

    HWND m_parent = nullptr;
    CComboBox m_combo;
};

using Items = std::vector<std::string>;

} // namespace

TEST(ProfileIni, ReadsValuesSectionsAndKnowsAMissingFile)
{
    const std::string longTitle(1500, 'x');
    const std::string longName(300, 'n');
    const std::string path = WriteIni("reads.ini", "[Info]\r\nDefaultProfile = 1 \r\n[empty]\r\n[profile0]\r\n"
                                                   "Title=\"Quoted title\"\r\nCommand0=venc.exe -i \"$INPUT_FILE\"\r\n"
                                                   "[profile1]\r\nTitle=" + longTitle + "\r\n[" + longName + "]\r\nk=v\r\n");
    CProfileIni ini;
    EXPECT_TRUE(ini.SetFile(path.c_str()));
    EXPECT_TRUE(ini.HasSection("Info"));
    EXPECT_FALSE(ini.HasSection("empty")) << "a section without keys";
    EXPECT_FALSE(ini.HasSection("nowhere"));
    EXPECT_EQ(ini.GetString("Info", "DefaultProfile"), "1") << "blanks around the value go";
    EXPECT_EQ(ini.GetString("profile0", "Title"), "Quoted title") << "one pair of enclosing quotes goes";
    EXPECT_EQ(ini.GetString("profile0", "Command0"), "venc.exe -i \"$INPUT_FILE\"");
    EXPECT_EQ(ini.GetString("profile1", "Title").GetLength(), 1023) << "a longer value is cut";
    EXPECT_EQ(ini.GetString("profile1", "Command0"), "");

    std::vector<CString> names{"stale"};
    ASSERT_EQ(ini.GetSectionNames(names), 5);
    EXPECT_EQ(names[0], "Info");
    EXPECT_EQ(names[1], "empty");
    EXPECT_EQ(names[2], "profile0");
    EXPECT_EQ(names[3], "profile1");
    EXPECT_EQ(names[4].GetLength(), 259) << "names are taken into 260 characters";

    EXPECT_FALSE(ini.SetFile((TempDir() + "missing.ini").c_str()));
    EXPECT_EQ(ini.GetString("Info", "DefaultProfile"), "");
    EXPECT_EQ(ini.GetSectionNames(names), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ini.SetFile(TempDir().c_str())) << "a directory is no profile file";
}

TEST_F(ComboFixture, TitlesFillTheComboInFileOrderAndTheDefaultIsSelected)
{
    Fill(WriteIni("ordered.ini", "[Info]\nDefaultProfile=1\n[profile0]\nTitle=First\nCommand0=a\n"
                                 "[profile1]\nTitle=Second\nCommand0=b\n"));
    EXPECT_EQ(ComboItems(), (Items{"First", "Second"})) << "the old item is gone";
    EXPECT_EQ(m_combo.GetCurSel(), 1);
}

TEST_F(ComboFixture, SectionsOutOfOrderShowInFileOrder)
{
    Fill(WriteIni("reversed.ini", "[Info]\nDefaultProfile=0\n[profile1]\nTitle=One\n[profile0]\nTitle=Zero\n"));
    EXPECT_EQ(ComboItems(), (Items{"One", "Zero"}));
    EXPECT_EQ(m_combo.GetCurSel(), 0);
}

TEST_F(ComboFixture, AMissingTitleStillTakesItsPlace)
{
    Fill(WriteIni("notitle.ini", "[Info]\nDefaultProfile=2\n[profile0]\nTitle=A\n[profile1]\nCommand0=x\n"
                                 "[profile2]\nTitle=C\n"));
    EXPECT_EQ(ComboItems(), (Items{"A", "", "C"}));
    EXPECT_EQ(m_combo.GetCurSel(), 2);
}

TEST_F(ComboFixture, ADefaultBeyondTheListOrNotANumberSelects)
{
    Fill(WriteIni("beyond.ini", "[Info]\nDefaultProfile=2\n[profile0]\nTitle=A\n[profile1]\nTitle=B\n"));
    EXPECT_EQ(ComboItems(), (Items{"A", "B"}));
    EXPECT_EQ(m_combo.GetCurSel(), CB_ERR) << "nothing selected";

    Fill(WriteIni("word.ini", "[Info]\nDefaultProfile=first\n[profile0]\nTitle=A\n[profile1]\nTitle=B\n"));
    EXPECT_EQ(m_combo.GetCurSel(), 0) << "text that is no number reads as 0";

    Fill(WriteIni("huge.ini", "[Info]\nDefaultProfile=99999999999\n[profile0]\nTitle=A\n"));
    EXPECT_EQ(m_combo.GetCurSel(), CB_ERR);
}

TEST_F(ComboFixture, NoFileOrAnEmptyInfoLeavesTheComboAlone)
{
    Fill(WriteIni("emptyinfo.ini", "[Info]\n[profile0]\nTitle=A\n"));
    EXPECT_EQ(ComboItems(), (Items{"left from before"}));
    EXPECT_EQ(m_combo.GetCurSel(), 0);

    Fill(TempDir() + "missing.ini");
    EXPECT_EQ(ComboItems(), (Items{"left from before"}));
}
