// The template's variables and their replacement order.
#include "engine/CommandTemplate.h"

#include "engine/SettingsTables.h"

namespace {

// Whole seconds of a time, truncated toward zero; times beyond an int are held at its limit.
int WholeSeconds(double dSeconds)
{
    if (!(dSeconds > -2147483647.0)) // also catches NaN
        return dSeconds != dSeconds ? 0 : -2147483647;
    if (dSeconds > 2147483647.0)
        return 2147483647;
    return static_cast<int>(dSeconds);
}

CString FormatClock(const char* pszFormat, int nSeconds)
{
    CString str;
    str.Format(pszFormat, nSeconds / 3600, (nSeconds % 3600) / 60, nSeconds % 60);
    return str;
}

} // namespace

CString FormatStartOption(const ConvertTask& task)
{
    if (task.bNeedIntermediate != 0)
        return "-ss 00:00:00 ";
    return FormatClock(" -ss %02d:%02d:%02d", WholeSeconds(task.dStartTime));
}

CString FormatLengthOption(const ConvertTask& task)
{
    return FormatClock(" -t %02d:%02d:%02d", WholeSeconds(task.dEndTime - task.dStartTime));
}

CString FormatTimestamp(const LocalDateTime& now)
{
    CString str;
    str.Format("%d-%02d-%02d %02d:%02d:%02d", now.nYear, now.nMonth, now.nDay, now.nHour, now.nMinute, now.nSecond);
    return str;
}

CString ExpandCommandTemplate(const CString& strTemplate, const ConvertTask& task, const char* pszOutputFile,
                              const LocalDateTime& now)
{
    CString str = strTemplate;
    // The order matters: a value holding a later variable's name gets it replaced too.
    str.Replace("$INPUT_FILE", task.bNeedIntermediate != 0 ? task.strIntermediatePath : task.strSourcePath);
    str.Replace("$START", FormatStartOption(task));
    str.Replace("$LENGTH", FormatLengthOption(task));
    // A double quote in the typed title would close the template's quotes and turn the rest
    // of the title into encoder options: it goes on the command line as a single quote.
    CString strTitle = task.strTitle;
    strTitle.Replace('"', '\'');
    // The templates put "$TITLE" in quotes: backslashes at the end of the title would escape
    // the closing quote and swallow the next arguments (the output file among them). Doubled,
    // they read back as the title typed.
    int nTrailing = 0;
    while (nTrailing < strTitle.GetLength() && strTitle[strTitle.GetLength() - 1 - nTrailing] == '\\')
        ++nTrailing;
    for (int i = 0; i < nTrailing; ++i)
        strTitle += '\\';
    str.Replace("$TITLE", strTitle);
    str.Replace("$TIMESTAMP", FormatTimestamp(now));
    str.Replace("$OUTPUT_FILE", pszOutputFile ? pszOutputFile : "");
    if (task.nProfile == 0) {
        str.Replace("$VCODEC", SettingsRow(g_szVCodec, task.nVideoCodec));
        str.Replace("$SIZE", SettingsRow(g_szSize, task.nVideoSize));
        str.Replace("$FRAMERATE", SettingsRow(g_szFrameRate, task.nFrameRate));
        str.Replace("$VIDEOBITRATE", SettingsRow(g_szVideoBitrate, task.nVideoBitrate));
        str.Replace("$ASPECT", SettingsRow(g_szAspect, task.nVideoAspect));
        str.Replace("$CHANNEL", SettingsRow(g_szChannel, task.nChannels));
        str.Replace("$AUDIOBITRATE", SettingsRow(g_szAudioBitrate, task.nAudioBitrate));
        str.Replace("$AUDIOSAMPLE", SettingsRow(g_szAudioSample, task.nSampleRate));
        str.Replace("$VOLUME", SettingsRow(g_szVolume, task.nVolume));
    }
    return str;
}
