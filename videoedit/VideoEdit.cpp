// See VideoEdit.h. The DISPIDs are the control's interface.
#include "videoedit/VideoEdit.h"

short CCodecList::GetCount()
{
    short nCount = 0;
    GetProperty(1, VT_I2, &nCount);
    return nCount;
}

CString CCodecList::Item(short nIndex)
{
    CString strName;
    InvokeHelper(3, DISPATCH_METHOD, VT_BSTR, &strName, VTS_I2, nIndex);
    return strName;
}

void CVideoEdit::SetVideoCodecIndex(short nIndex) { SetProperty(3, VT_I2, nIndex); }

IDispatch* CVideoEdit::GetVideoCodecs()
{
    IDispatch* pList = nullptr;
    GetProperty(4, VT_DISPATCH, &pList);
    return pList;
}

void CVideoEdit::SetVideoCompression(bool bCompress) { SetProperty(5, VT_BOOL, bCompress); }
void CVideoEdit::SetAudioCodecIndex(short nIndex) { SetProperty(6, VT_I2, nIndex); }

IDispatch* CVideoEdit::GetAudioCodecs()
{
    IDispatch* pList = nullptr;
    GetProperty(7, VT_DISPATCH, &pList);
    return pList;
}

void CVideoEdit::SetAudioCompression(bool bCompress) { SetProperty(8, VT_BOOL, bCompress); }
void CVideoEdit::SetOutputHeight(short nHeight) { SetProperty(11, VT_I2, nHeight); }
void CVideoEdit::SetOutputWidth(short nWidth) { SetProperty(12, VT_I2, nWidth); }
void CVideoEdit::SetColorDepth(short nDepth) { SetProperty(13, VT_I2, nDepth); }
void CVideoEdit::SetOutputFormat(long nFormat) { SetProperty(15, VT_I4, nFormat); }
void CVideoEdit::SetFrameRate(float fRate) { SetProperty(16, VT_R4, fRate); }

BOOL CVideoEdit::StartConvert(const char* pszOutputPath)
{
    BOOL bStarted = FALSE;
    InvokeHelper(30, DISPATCH_METHOD, VT_BOOL, &bStarted, VTS_BSTR, pszOutputPath);
    return bStarted;
}

double CVideoEdit::GetDuration(const char* pszPath)
{
    double dLength = 0;
    InvokeHelper(32, DISPATCH_METHOD, VT_R8, &dLength, VTS_BSTR, pszPath);
    return dLength;
}

BOOL CVideoEdit::PlayPreview()
{
    BOOL bResult = FALSE;
    InvokeHelper(34, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_NONE);
    return bResult;
}

BOOL CVideoEdit::AddAudioClip(const char* pszPath, double dStart, double dLength)
{
    BOOL bResult = FALSE;
    InvokeHelper(35, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_BSTR VTS_R8 VTS_R8, pszPath, dStart, dLength);
    return bResult;
}

BOOL CVideoEdit::AddVideoClip(const char* pszPath, double dStart, double dLength, short nFlag)
{
    BOOL bResult = FALSE;
    InvokeHelper(36, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_BSTR VTS_R8 VTS_R8 VTS_I2, pszPath, dStart, dLength,
                 nFlag);
    return bResult;
}

void CVideoEdit::ClearClips() { InvokeHelper(44, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
void CVideoEdit::StopConvert() { InvokeHelper(45, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
void CVideoEdit::StopPreview() { InvokeHelper(48, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
