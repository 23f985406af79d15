// SourceReader; see SourceReader.h.
#include "videocontrol/SourceReader.h"

#include <objbase.h>

#include "framework/OleDispatchDriver.h"
#include "videocontrol/VideoEdit.h"

SourceReader::SourceReader(HWND hNotify, UINT nMessage, std::string clsidText, ControlRegistrar registrar)
    : m_hNotify(hNotify), m_nMessage(nMessage), m_clsidText(std::move(clsidText)),
      m_registrar(std::move(registrar)), m_wake(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    m_thread = std::thread([this] { Run(); });
}

SourceReader::~SourceReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
        m_questions.clear();
    }
    SetEvent(m_wake.Get());
    if (m_thread.joinable())
        m_thread.join();
}

void SourceReader::Ask(Question question, const std::string& path)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_questions.emplace_back(question, path);
    }
    SetEvent(m_wake.Get());
}

void SourceReader::ForgetQuestions()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_questions.clear();
}

bool SourceReader::TakeAnswer(Answer& answer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_answers.empty())
        return false;
    answer = std::move(m_answers.front());
    m_answers.pop_front();
    return true;
}

bool SourceReader::NextQuestion(Question& question, std::string& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bQuit || m_questions.empty())
        return false;
    question = m_questions.front().first;
    path = std::move(m_questions.front().second);
    m_questions.pop_front();
    return true;
}

void SourceReader::Run()
{
    CoInitialize(nullptr);
    {
        const std::shared_ptr<void> registration = m_registrar ? m_registrar() : nullptr;
        COleDispatchDriver control;
        control.CreateDispatch(m_clsidText.c_str());
        for (;;) {
            Question question = Question::Length;
            std::string path;
            while (NextQuestion(question, path)) {
                Answer answer;
                answer.question = question;
                // A file on a share that has gone can take long to answer even this.
                answer.exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
                if (question == Question::Length && answer.exists && control.IsConnected())
                    control.InvokeHelper(kVideoEditGetDuration, DISPATCH_METHOD, VT_R8, &answer.length, VTS_BSTR,
                                         path.c_str());
                answer.path = std::move(path);
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    if (m_bQuit)
                        break;
                    m_answers.push_back(std::move(answer));
                }
                PostMessageA(m_hNotify, m_nMessage, 0, 0);
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_bQuit)
                    break;
            }
            // The control's own windows live on this thread: their messages are handled while
            // the reader waits.
            HANDLE wake = m_wake.Get();
            const DWORD woke = MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
            if (woke == WAIT_FAILED)
                break;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    CoUninitialize();
}
