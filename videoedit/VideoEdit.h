// CVideoEdit: the page's wrapper of the video-editing control (control 1053). Every call
// goes through the control's IDispatch; a wrapper whose control could not be created does
// nothing and returns zeros.
#pragma once

#include "framework/CString.h"
#include "framework/OleControlWnd.h"

// A list of codec names the control's writer can produce.
class CCodecList : public COleDispatchDriver {
public:
    explicit CCodecList(IDispatch* pDispatch) : COleDispatchDriver(pDispatch, TRUE) {}
    short GetCount();
    CString Item(short nIndex);
};

class CVideoEdit : public COleControlWnd {
public:
    // --- output properties --------------------------------------------------------------
    void SetVideoCodecIndex(short nIndex);
    IDispatch* GetVideoCodecs(); // a CodecList; the caller releases it
    void SetVideoCompression(bool bCompress);
    void SetAudioCodecIndex(short nIndex);
    IDispatch* GetAudioCodecs(); // a CodecList; the caller releases it
    void SetAudioCompression(bool bCompress);
    void SetOutputHeight(short nHeight);
    void SetOutputWidth(short nWidth);
    void SetColorDepth(short nDepth);
    void SetOutputFormat(long nFormat);
    void SetFrameRate(float fRate);

    // --- clips, playback and writing ----------------------------------------------------
    BOOL StartConvert(const char* pszOutputPath);
    double GetDuration(const char* pszPath);
    BOOL PlayPreview();
    BOOL AddAudioClip(const char* pszPath, double dStart, double dLength);
    BOOL AddVideoClip(const char* pszPath, double dStart, double dLength, short nFlag);
    void ClearClips();
    void StopConvert();
    void StopPreview();
};
