#include "app/TasksAtOnceMenu.h"

#include "engine/TasksAtOnce.h"

namespace {

static_assert(TasksAtOnceMenu::kLastChoiceId ==
                  TasksAtOnceMenu::kFirstChoiceId + kMaxTasksAtOnce * TasksAtOnceMenu::kChoiceIdStep,
              "one id for the automatic choice and one for each count");

UINT ChoiceId(int nChoice)
{
    return TasksAtOnceMenu::kFirstChoiceId + static_cast<UINT>(nChoice) * TasksAtOnceMenu::kChoiceIdStep;
}

} // namespace

void TasksAtOnceMenu::Attach(HWND frame, Setting setting, int nProcessors)
{
    m_setting = std::move(setting);
    HMENU windowMenu = GetSystemMenu(frame, FALSE);
    if (!windowMenu)
        return;
    m_submenu = CreatePopupMenu();
    if (!m_submenu)
        return;
    const std::vector<std::string> texts = TasksAtOnceChoiceTexts(nProcessors);
    for (size_t i = 0; i < texts.size(); ++i)
        AppendMenuA(m_submenu, MF_STRING, ChoiceId(static_cast<int>(i)), texts[i].c_str());
    AppendMenuA(windowMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(windowMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_submenu), "&Videos at once");
}

bool TasksAtOnceMenu::OnChoice(UINT nId)
{
    const UINT nCommand = nId & 0xFFF0;
    if (!m_submenu || nCommand < ChoiceId(0) || nCommand > ChoiceId(kMaxTasksAtOnce))
        return false;
    if (!m_setting.converting())
        m_setting.write(TasksAtOnceSettingOf(static_cast<int>((nCommand - kFirstChoiceId) / kChoiceIdStep)));
    return true;
}

void TasksAtOnceMenu::OnInitMenuPopup(HMENU menu)
{
    if (!m_submenu || menu != m_submenu)
        return;
    const int nChosen = TasksAtOnceChoiceOf(m_setting.read());
    CheckMenuRadioItem(m_submenu, ChoiceId(0), ChoiceId(kMaxTasksAtOnce), ChoiceId(nChosen), MF_BYCOMMAND);
    const UINT nState = m_setting.converting() ? MF_GRAYED : MF_ENABLED;
    for (int i = 0; i <= kMaxTasksAtOnce; ++i)
        EnableMenuItem(m_submenu, ChoiceId(i), MF_BYCOMMAND | nState);
}
