// Under Wine the help page goes to winebrowser with its full, quoted path, so a program folder
// with blanks reaches the browser as one address.
#include <gtest/gtest.h>

#include <string>

#include "framework/AfxSeams.h"
#include "ui/HelpInBrowser.h"

TEST(HelpInBrowser, UnderWineThePageGoesToWinebrowserQuoted)
{
    // The tests always run under Wine; the detection must see it.
    ASSERT_TRUE(RunningUnderWine());

    std::string file, parameters;
    AfxShellExecuteSeam previous = AfxSetShellExecuteSeam(
        [&](HWND, const char*, const char* pszFile, const char* pszParameters, const char*, int) {
            file = pszFile;
            parameters = pszParameters ? pszParameters : "";
            return reinterpret_cast<HINSTANCE>(42);
        });
    EXPECT_TRUE(OpenHelpPageInDesktopBrowser(nullptr, "C:\\Program Files\\Varnello\\"));
    EXPECT_EQ(file, "winebrowser.exe");
    EXPECT_EQ(parameters, "\"C:\\Program Files\\Varnello\\help\\help.html\"");

    // A failed start is reported, so the caller can fall back to the ordinary help.
    AfxSetShellExecuteSeam([](HWND, const char*, const char*, const char*, const char*, int) {
        return reinterpret_cast<HINSTANCE>(2);
    });
    EXPECT_FALSE(OpenHelpPageInDesktopBrowser(nullptr, "C:\\Varnello\\"));
    AfxSetShellExecuteSeam(previous);
}
