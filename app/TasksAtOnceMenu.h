// The frame's window menu (the icon at the top left, or Alt+Space) holds "Videos at once":
// how many videos a run converts together, the computer's own choice or a count from 1 on.
// The choice is kept in the registry beside the output folder and taken by the next run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TasksAtOnceMenu {
public:
    struct Setting {
        std::function<std::string()> read;
        std::function<void(const std::string&)> write;
        std::function<bool()> converting; // the choice is not changed during a run
    };

    // The choices' command ids. Windows sends a choice as WM_SYSCOMMAND, Wine (the submenu not
    // being the window menu itself) as WM_COMMAND; the frame hands both here.
    static constexpr UINT kFirstChoiceId = 0x0200;
    static constexpr UINT kChoiceIdStep = 0x10; // window-menu ids keep their low four bits free
    static constexpr UINT kLastChoiceId = kFirstChoiceId + 4 * kChoiceIdStep;

    // Adds the submenu to frame's window menu.
    void Attach(HWND frame, Setting setting, int nProcessors);
    // A menu command; true when it was one of the submenu's choices.
    bool OnChoice(UINT nId);
    // Before the menu opens: the stored choice is checked; during a run the choices are grey.
    void OnInitMenuPopup(HMENU menu);

private:
    HMENU m_submenu = nullptr; // owned by the window menu, destroyed with it
    Setting m_setting;
};
