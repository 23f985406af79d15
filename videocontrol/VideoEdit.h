// CVideoEdit: the page's wrapper of the video-editing control (control 1053). Every call is
// a late-bound IDispatch call on the user-interface thread; times are seconds. The control's
// events (OnConvertFinished 1, OnConvertProgress 2, OnPreviewEvent 4) reach the page through
// its event sink map.
#pragma once

#include "framework/OleControlWnd.h"

// The control's class, as the page's dialog template names it, and the DISPID of GetDuration,
// for callers that hold the control without a window (SourceReader).
constexpr const char* kVideoEditClsidText = "{57D9AF4C-23BA-47EC-A40B-2DA79641B285}";
constexpr DISPID kVideoEditGetDuration = 32;

// A codec list returned by GetVideoCodecs / GetAudioCodecs.
class CCodecList : public COleDispatchDriver {
public:
    // Takes over the reference the control handed out.
    explicit CCodecList(IDispatch* pDispatch) : COleDispatchDriver(pDispatch, TRUE) {}
    short GetCount();
    CString Item(short nIndex);
};

class CVideoEdit : public COleControlWnd {
public:
    // The control's output formats for SetOutputFormat.
    static constexpr long FORMAT_MPEG = 6;
    static constexpr long FORMAT_AVI = 8;

    void SetVideoCodecIndex(short nIndex);
    LPDISPATCH GetVideoCodecs(); // AddRef'd: the caller releases (CCodecList does)
    void SetVideoCompression(BOOL bCompress);
    void SetAudioCodecIndex(short nIndex);
    LPDISPATCH GetAudioCodecs();
    void SetAudioCompression(BOOL bCompress);
    void SetOutputHeight(short nHeight);
    void SetOutputWidth(short nWidth);
    void SetColorDepth(short nBits);
    void SetOutputFormat(long nFormat);
    void SetFrameRate(float fRate);

    BOOL StartConvert(LPCSTR lpszOutputPath);
    double GetDuration(LPCSTR lpszMediaPath);
    BOOL PlayPreview();
    BOOL AddAudioClip(LPCSTR lpszFile, double dStart, double dLength);
    BOOL AddVideoClip(LPCSTR lpszFile, double dStart, double dLength, short nFlag);
    void ClearClips();
    void StopConvert();
    void StopPreview();
};
