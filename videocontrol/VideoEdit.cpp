// CVideoEdit: the page's wrapper of the video-editing control.
#include "videocontrol/VideoEdit.h"

namespace {

// The control's DISPIDs.
enum : DISPID {
    DISPID_SET_VIDEO_CODEC_INDEX = 3,
    DISPID_GET_VIDEO_CODECS = 4,
    DISPID_SET_VIDEO_COMPRESSION = 5,
    DISPID_SET_AUDIO_CODEC_INDEX = 6,
    DISPID_GET_AUDIO_CODECS = 7,
    DISPID_SET_AUDIO_COMPRESSION = 8,
    DISPID_SET_OUTPUT_HEIGHT = 11,
    DISPID_SET_OUTPUT_WIDTH = 12,
    DISPID_SET_COLOR_DEPTH = 13,
    DISPID_SET_OUTPUT_FORMAT = 15,
    DISPID_SET_FRAME_RATE = 16,
    DISPID_START_CONVERT = 30,
    DISPID_GET_DURATION = kVideoEditGetDuration,
    DISPID_PLAY_PREVIEW = 34,
    DISPID_ADD_AUDIO_CLIP = 35,
    DISPID_ADD_VIDEO_CLIP = 36,
    DISPID_CLEAR_CLIPS = 44,
    DISPID_STOP_CONVERT = 45,
    DISPID_STOP_PREVIEW = 48,
    DISPID_CODEC_COUNT = 1,
    DISPID_CODEC_ITEM = 3,
};

} // namespace

short CCodecList::GetCount()
{
    short nCount = 0;
    GetProperty(DISPID_CODEC_COUNT, VT_I2, &nCount);
    return nCount;
}

CString CCodecList::Item(short nIndex)
{
    CString strName;
    InvokeHelper(DISPID_CODEC_ITEM, DISPATCH_METHOD, VT_BSTR, &strName, VTS_I2, nIndex);
    return strName;
}

void CVideoEdit::SetVideoCodecIndex(short nIndex) { SetProperty(DISPID_SET_VIDEO_CODEC_INDEX, VT_I2, nIndex); }
void CVideoEdit::SetVideoCompression(BOOL bCompress) { SetProperty(DISPID_SET_VIDEO_COMPRESSION, VT_BOOL, bCompress); }
void CVideoEdit::SetAudioCodecIndex(short nIndex) { SetProperty(DISPID_SET_AUDIO_CODEC_INDEX, VT_I2, nIndex); }
void CVideoEdit::SetAudioCompression(BOOL bCompress) { SetProperty(DISPID_SET_AUDIO_COMPRESSION, VT_BOOL, bCompress); }
void CVideoEdit::SetOutputHeight(short nHeight) { SetProperty(DISPID_SET_OUTPUT_HEIGHT, VT_I2, nHeight); }
void CVideoEdit::SetOutputWidth(short nWidth) { SetProperty(DISPID_SET_OUTPUT_WIDTH, VT_I2, nWidth); }
void CVideoEdit::SetColorDepth(short nBits) { SetProperty(DISPID_SET_COLOR_DEPTH, VT_I2, nBits); }
void CVideoEdit::SetOutputFormat(long nFormat) { SetProperty(DISPID_SET_OUTPUT_FORMAT, VT_I4, nFormat); }
void CVideoEdit::SetFrameRate(float fRate) { SetProperty(DISPID_SET_FRAME_RATE, VT_R4, fRate); }

LPDISPATCH CVideoEdit::GetVideoCodecs()
{
    LPDISPATCH pList = nullptr;
    GetProperty(DISPID_GET_VIDEO_CODECS, VT_DISPATCH, &pList);
    return pList;
}

LPDISPATCH CVideoEdit::GetAudioCodecs()
{
    LPDISPATCH pList = nullptr;
    GetProperty(DISPID_GET_AUDIO_CODECS, VT_DISPATCH, &pList);
    return pList;
}

BOOL CVideoEdit::StartConvert(LPCSTR lpszOutputPath)
{
    BOOL bResult = FALSE;
    InvokeHelper(DISPID_START_CONVERT, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_BSTR, lpszOutputPath);
    return bResult;
}

double CVideoEdit::GetDuration(LPCSTR lpszMediaPath)
{
    double dResult = 0;
    InvokeHelper(DISPID_GET_DURATION, DISPATCH_METHOD, VT_R8, &dResult, VTS_BSTR, lpszMediaPath);
    return dResult;
}

BOOL CVideoEdit::PlayPreview()
{
    BOOL bResult = FALSE;
    InvokeHelper(DISPID_PLAY_PREVIEW, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_NONE);
    return bResult;
}

BOOL CVideoEdit::AddAudioClip(LPCSTR lpszFile, double dStart, double dLength)
{
    BOOL bResult = FALSE;
    InvokeHelper(DISPID_ADD_AUDIO_CLIP, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_BSTR VTS_R8 VTS_R8, lpszFile, dStart,
                 dLength);
    return bResult;
}

BOOL CVideoEdit::AddVideoClip(LPCSTR lpszFile, double dStart, double dLength, short nFlag)
{
    BOOL bResult = FALSE;
    InvokeHelper(DISPID_ADD_VIDEO_CLIP, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_BSTR VTS_R8 VTS_R8 VTS_I2, lpszFile,
                 dStart, dLength, nFlag);
    return bResult;
}

void CVideoEdit::ClearClips() { InvokeHelper(DISPID_CLEAR_CLIPS, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
void CVideoEdit::StopConvert() { InvokeHelper(DISPID_STOP_CONVERT, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
void CVideoEdit::StopPreview() { InvokeHelper(DISPID_STOP_PREVIEW, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
