// ConvertTask: one entry of the conversion list, a plain value. Copying copies every field; a
// default-constructed task has empty strings and every number 0.
#pragma once

#include "framework/CString.h"

struct ConvertTask {
    CString strSourcePath;  // full path of the source video
    double dStartTime = 0;  // trim start, seconds
    double dEndTime = 0;    // trim end, seconds
    CString strTitle;       // shown by the iPod; $TITLE
    // Selected indices of the nine output settings.
    int nVideoCodec = 0;
    int nVideoSize = 0;
    int nFrameRate = 0;
    int nVideoBitrate = 0;
    int nVideoAspect = 0;
    int nChannels = 0;
    int nAudioBitrate = 0;
    int nSampleRate = 0;
    int nVolume = 0;
    int nProfile = 0;       // section "profile%d" of the profile file
    CString strOutputName;  // base name of the output file, no folder, no extension

    // Run-time state of the last conversion run.
    int bFinished = 0;
    int nOutputSizeKB = 0;  // last "size=" of the encoder
    double dSpeed = 0;      // media seconds encoded per wall-clock second
    double dEncodedTime = 0; // last "time=" of the encoder, seconds
    int bNeedIntermediate = 0; // first transcoded into an intermediate file (RealMedia)
    CString strIntermediatePath;
    int nPhase = 0;         // 1 intermediate transcoding, 2 encoder on the intermediate file
    int bIntermediateDone = 0;
    double dIntermediatePos = 0;
    double dIntermediatePercent = 0;
    double dIntermediateRemain = 0;
};
