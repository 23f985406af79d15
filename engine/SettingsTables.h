// The nine settings tables: a settings combo's index turned into the text that replaces one
// variable of a command template. The combos hold exactly these rows, in this order.
#pragma once

extern const char* const g_szVCodec[2];
extern const char* const g_szSize[9];
extern const char* const g_szFrameRate[4];
extern const char* const g_szVideoBitrate[9];
extern const char* const g_szAspect[2];
extern const char* const g_szAudioBitrate[6];
extern const char* const g_szChannel[2];
extern const char* const g_szAudioSample[4];
extern const char* const g_szVolume[8];

// Row nIndex of a table, or "" for an index outside it (a task never holds one, but a
// command line is no place to read past an array).
template <int N>
const char* SettingsRow(const char* const (&table)[N], int nIndex)
{
    return (nIndex >= 0 && nIndex < N) ? table[nIndex] : "";
}
