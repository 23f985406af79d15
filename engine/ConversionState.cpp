#include "engine/ConversionState.h"

ConversionTarget* g_pConversionTarget = nullptr;
HANDLE g_hChildStdoutRead = nullptr;
HANDLE g_hChildStdinWrite = nullptr;
bool g_bStopConvert = false;
int g_nConvertIndex = 0;
DWORD g_dwConvertStartTick = 0;
