// Writing and reading the saved task list.
#include "engine/SavedTaskList.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "engine/SettingsTables.h"

namespace {

const char kHeader[] = "Varnello task list ";

// Texts go on one tab-separated line: "%", tab, CR and LF are written as %XX.
std::string Escape(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (ch == '%' || ch == '\t' || ch == '\r' || ch == '\n') {
            char code[4];
            std::snprintf(code, sizeof(code), "%%%02X", ch);
            out += code;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& field, CString& out)
{
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            text += field[i];
            continue;
        }
        if (i + 2 >= field.size())
            return false;
        const int high = HexDigit(field[i + 1]);
        const int low = HexDigit(field[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return false;
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    out = CString(text.c_str());
    return true;
}

bool ReadInt(const std::string& field, int nLow, int nHigh, int& value)
{
    if (field.empty() || field.size() > 11)
        return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(field.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < nLow || number > nHigh)
        return false;
    value = static_cast<int>(number);
    return true;
}

bool ReadSeconds(const std::string& field, double& value)
{
    if (field.empty() || field.size() > 40)
        return false;
    char* end = nullptr;
    const double number = std::strtod(field.c_str(), &end);
    // Seconds of a video: finite, not negative, below a year.
    if (*end != '\0' || !(number >= 0.0 && number < 31536000.0))
        return false;
    value = number;
    return true;
}

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

std::string FormatSeconds(double seconds)
{
    char text[40];
    std::snprintf(text, sizeof(text), "%.17g", seconds);
    return text;
}

// Format 1: task, source, start, end, title, output name, profile index, nine settings, length
// pending. Format 2 puts the profile's title after its index.
bool ParseTask(const std::string& line, int nFormat, ConvertTask& task, std::string& strProfileTitle)
{
    std::vector<std::string> f = Split(line, '\t');
    strProfileTitle.clear();
    if (nFormat >= 2) {
        CString strTitle;
        if (f.size() != 18 || !Unescape(f[7], strTitle))
            return false;
        strProfileTitle = strTitle.str();
        f.erase(f.begin() + 7);
    }
    if (f.size() != 17 || f[0] != "task")
        return false;
    task = ConvertTask();
    if (!Unescape(f[1], task.strSourcePath) || task.strSourcePath.IsEmpty() || !ReadSeconds(f[2], task.dStartTime) ||
        !ReadSeconds(f[3], task.dEndTime) || task.dStartTime > task.dEndTime || !Unescape(f[4], task.strTitle) ||
        !Unescape(f[5], task.strOutputName) || !ReadInt(f[6], 0, 9999, task.nProfile))
        return false;
    int* const settings[] = {&task.nVideoCodec, &task.nVideoSize,     &task.nFrameRate,
                             &task.nVideoBitrate, &task.nVideoAspect, &task.nChannels,
                             &task.nAudioBitrate, &task.nSampleRate,  &task.nVolume};
    const int counts[] = {2, 9, 4, 9, 2, 2, 6, 4, 8};
    for (int i = 0; i < 9; ++i)
        if (!ReadInt(f[7 + static_cast<size_t>(i)], 0, counts[i] - 1, *settings[i]))
            return false;
    if (!ReadInt(f[16], 0, 1, task.bLengthPending) || (task.bLengthPending == 1 && task.dEndTime != 0.0))
        return false;
    task.bNeedIntermediate = NeedsIntermediate(task.strSourcePath);
    return true;
}

} // namespace

unsigned Crc32(const char* data, size_t size)
{
    unsigned crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<unsigned char>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string FormatTaskList(const std::vector<ConvertTask>& tasks, int nCurrent,
                           const std::vector<std::string>& profileTitles)
{
    if (nCurrent < -1 || nCurrent >= static_cast<int>(tasks.size()))
        nCurrent = tasks.empty() ? -1 : 0;
    std::string text = kHeader + std::to_string(kTaskListFormat) + "\n";
    text += "current " + std::to_string(nCurrent) + "\n";
    text += "tasks " + std::to_string(tasks.size()) + "\n";
    for (const ConvertTask& task : tasks) {
        text += "task\t" + Escape(task.strSourcePath) + "\t" + FormatSeconds(task.dStartTime) + "\t" +
                FormatSeconds(task.dEndTime) + "\t" + Escape(task.strTitle) + "\t" + Escape(task.strOutputName) +
                "\t" + std::to_string(task.nProfile) + "\t";
        if (task.nProfile >= 0 && static_cast<size_t>(task.nProfile) < profileTitles.size())
            text += Escape(profileTitles[static_cast<size_t>(task.nProfile)].c_str());
        for (int value : {task.nVideoCodec, task.nVideoSize, task.nFrameRate, task.nVideoBitrate, task.nVideoAspect,
                          task.nChannels, task.nAudioBitrate, task.nSampleRate, task.nVolume})
            text += "\t" + std::to_string(value);
        text += "\t" + std::to_string(task.bLengthPending == 1 ? 1 : 0) + "\n";
    }
    char end[32];
    std::snprintf(end, sizeof(end), "end %08x\n", Crc32(text.data(), text.size()));
    return text + end;
}

bool ParseTaskList(const std::string& text, SavedTaskList& list, std::string& strReason)
{
    list = SavedTaskList();
    const auto refuse = [&](const char* why) {
        list = SavedTaskList();
        strReason = why;
        return false;
    };
    const std::string header(kHeader);
    if (text.compare(0, header.size(), header) != 0)
        return refuse("not a task list");
    const size_t firstBreak = text.find('\n');
    int nFormat = 0;
    if (firstBreak == std::string::npos ||
        !ReadInt(text.substr(header.size(), firstBreak - header.size()), 1, 1000000, nFormat))
        return refuse("not a task list");
    if (nFormat > kTaskListFormat)
        return refuse("written by a newer version");

    // The last line holds the checksum of everything before it: a cut or changed file fails it.
    if (text.size() < 2 || text.back() != '\n')
        return refuse("cut short");
    const size_t lastStart = text.rfind('\n', text.size() - 2) + 1;
    const std::string last = text.substr(lastStart, text.size() - 1 - lastStart);
    unsigned crc = 0;
    char extra = 0;
    if (std::sscanf(last.c_str(), "end %8x%c", &crc, &extra) != 1 || last.size() != 12)
        return refuse("cut short");
    if (crc != Crc32(text.data(), lastStart))
        return refuse("damaged (checksum)");

    if (lastStart < firstBreak + 2)
        return refuse("damaged (head)");
    const std::vector<std::string> lines = Split(text.substr(firstBreak + 1, lastStart - firstBreak - 2), '\n');
    int nCurrent = 0, nCount = 0;
    if (lines.size() < 2 || lines[0].compare(0, 8, "current ") != 0 || lines[1].compare(0, 6, "tasks ") != 0 ||
        !ReadInt(lines[0].substr(8), -1, 10000000, nCurrent) || !ReadInt(lines[1].substr(6), 0, 10000000, nCount))
        return refuse("damaged (head)");
    if (lines.size() != static_cast<size_t>(nCount) + 2 || nCurrent >= nCount || (nCount > 0 && nCurrent < 0))
        return refuse("damaged (count)");
    std::vector<ConvertTask> tasks(static_cast<size_t>(nCount));
    std::vector<std::string> titles(static_cast<size_t>(nCount));
    for (size_t i = 0; i < tasks.size(); ++i)
        if (!ParseTask(lines[i + 2], nFormat, tasks[i], titles[i]))
            return refuse("damaged (task)");
    list.tasks = std::move(tasks);
    list.profileTitles = std::move(titles);
    list.nCurrent = nCurrent;
    return true;
}

std::vector<std::string> MatchSavedProfiles(SavedTaskList& list, const std::vector<std::string>& profileTitles)
{
    std::vector<std::string> gone;
    if (profileTitles.empty())
        return gone;
    const int nCount = static_cast<int>(profileTitles.size());
    for (size_t i = 0; i < list.tasks.size(); ++i) {
        ConvertTask& task = list.tasks[i];
        const std::string title = i < list.profileTitles.size() ? list.profileTitles[i] : std::string();
        const bool bIndexHeld = task.nProfile >= 0 && task.nProfile < nCount;
        if (title.empty() ? bIndexHeld : bIndexHeld && profileTitles[static_cast<size_t>(task.nProfile)] == title)
            continue;
        int nFound = -1;
        for (int p = 0; p < nCount && nFound < 0 && !title.empty(); ++p)
            if (profileTitles[static_cast<size_t>(p)] == title)
                nFound = p;
        if (nFound >= 0) {
            task.nProfile = nFound;
            continue;
        }
        const std::string named = title.empty() ? "number " + std::to_string(task.nProfile + 1) : "\"" + title + "\"";
        gone.push_back("The profile file no longer holds the profile " + named + " of the saved task " +
                       task.strSourcePath.str() + "; the task has the default profile \"" + profileTitles[0] + "\".");
        task.nProfile = 0;
    }
    return gone;
}
