// SourceReader: reads what the list needs to know of its source files (whether each is there,
// and its media length) on a thread of its own, so that the window keeps answering input while
// a large drop or a restored list on a slow share is read. The thread has its own instance of
// the video-editing control in its own apartment; each answer is handed back by posting a
// message to the window, which then takes it with TakeAnswer.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common/UniqueHandle.h"

class SourceReader {
public:
    enum class Question { Exists, Length };
    struct Answer {
        Question question = Question::Length;
        std::string path;
        bool exists = false;
        double length = 0.0; // 0 when the file cannot be read
    };
    // Makes the control creatable on the calling thread; what it returns keeps it so.
    using ControlRegistrar = std::function<std::shared_ptr<void>()>;

    // hNotify is posted nMessage once for every answer. clsidText names the control's class.
    SourceReader(HWND hNotify, UINT nMessage, std::string clsidText, ControlRegistrar registrar);
    // Waits for the question being answered (a media tool's run, a fraction of a second) and
    // forgets the rest.
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // Questions are answered in the order they are asked.
    void Ask(Question question, const std::string& path);
    // Drops every question not yet begun (the list they were asked for has gone).
    void ForgetQuestions();
    bool TakeAnswer(Answer& answer);

private:
    void Run();
    bool NextQuestion(Question& question, std::string& path);

    HWND m_hNotify;
    UINT m_nMessage;
    std::string m_clsidText;
    ControlRegistrar m_registrar;
    UniqueHandle m_wake; // auto-reset: a question came, or the reader is to end
    std::mutex m_mutex;
    std::deque<std::pair<Question, std::string>> m_questions;
    std::deque<Answer> m_answers;
    bool m_bQuit = false;
    std::thread m_thread;
};
