// The settings tables' texts, in the classic encoder dialect the profiles speak.
#include "engine/SettingsTables.h"

const char* const g_szVCodec[2] = {
    "-vcodec xvid",
    "-vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250",
};

const char* const g_szSize[9] = {
    "176x120", "240x176", "320x176", "320x240", "368x208", "384x160", "416x176", "400x192", "480x160",
};

const char* const g_szFrameRate[4] = {"", "-r 14.985", "-r 23.976", "-r 29.97"};

const char* const g_szVideoBitrate[9] = {"128", "192", "256", "384", "512", "576", "640", "768", "1500"};

const char* const g_szAspect[2] = {"4:3", "16:9"};

// Rows 4 and 5 ("96 kbps", "128 kbps") give 48 and 64: the program has always sent these.
const char* const g_szAudioBitrate[6] = {"32", "48", "64", "80", "48", "64"};

const char* const g_szChannel[2] = {"1", "2"};

const char* const g_szAudioSample[4] = {"", "-ar 24000", "-ar 44100", "-ar 48000"};

// The encoder's volume scale: 256 leaves the volume unchanged.
const char* const g_szVolume[8] = {"128", "256", "384", "512", "640", "768", "896", "1024"};
