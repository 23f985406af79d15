// The identities of the video-editing component: its class, its events interface and the
// DISPIDs of its members and events.
#pragma once
#include <windows.h>

namespace vedit {

// {57D9AF4C-23BA-47EC-A40B-2DA79641B285}
constexpr CLSID kClsidVideoEdit = {0x57D9AF4C, 0x23BA, 0x47EC, {0xA4, 0x0B, 0x2D, 0xA7, 0x96, 0x41, 0xB2, 0x85}};
// The outgoing dispinterface its events are fired on. {3C1E6B52-8F4D-4A7E-9B21-6D0F5A3E7C19}
constexpr IID kDiidVideoEditEvents = {0x3C1E6B52, 0x8F4D, 0x4A7E, {0x9B, 0x21, 0x6D, 0x0F, 0x5A, 0x3E, 0x7C, 0x19}};

namespace dispid {
constexpr DISPID SetVideoCodecIndex = 3;
constexpr DISPID GetVideoCodecs = 4;
constexpr DISPID SetVideoCompression = 5;
constexpr DISPID SetAudioCodecIndex = 6;
constexpr DISPID GetAudioCodecs = 7;
constexpr DISPID SetAudioCompression = 8;
constexpr DISPID SetOutputHeight = 11;
constexpr DISPID SetOutputWidth = 12;
constexpr DISPID SetColorDepth = 13;
constexpr DISPID SetOutputFormat = 15;
constexpr DISPID SetFrameRate = 16;
constexpr DISPID StartConvert = 30;
constexpr DISPID GetDuration = 32;
constexpr DISPID PlayPreview = 34;
constexpr DISPID AddAudioClip = 35;
constexpr DISPID AddVideoClip = 36;
constexpr DISPID ClearClips = 44;
constexpr DISPID StopConvert = 45;
constexpr DISPID StopPreview = 48;

// Events
constexpr DISPID OnConvertFinished = 1;
constexpr DISPID OnConvertProgress = 2; // (double position, double total), seconds
constexpr DISPID OnPreviewEvent = 4;    // (double seconds shown so far)
} // namespace dispid

} // namespace vedit
