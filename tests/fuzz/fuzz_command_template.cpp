// A profile's command template (up to the 1023 characters the profile file gives) expanded with
// arbitrary titles, paths, trim times and settings indices. The expansion must replace every
// variable the task's values cannot bring back and keep text without variables as it is.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/CommandTemplate.h"
#include "engine/ConvertTask.h"
#include "tests/fuzz/windows_split.h"

namespace {

void Fail(const char* what, const char* detail)
{
    std::fprintf(stderr, "property broken: %s: [%s]\n", what, detail);
    std::abort();
}

const char* const kVariables[] = {"$INPUT_FILE", "$START", "$LENGTH", "$TITLE", "$TIMESTAMP", "$OUTPUT_FILE"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    ConvertTask task;
    task.strTitle = in.ConsumeRandomLengthString(300).c_str();
    task.strSourcePath = in.ConsumeRandomLengthString(259).c_str();
    task.strIntermediatePath = in.ConsumeRandomLengthString(259).c_str();
    const std::string output = in.ConsumeRandomLengthString(259);
    task.bNeedIntermediate = in.ConsumeBool() ? 1 : 0;
    task.nProfile = in.ConsumeIntegralInRange<int>(-1, 3);
    task.nVideoCodec = in.ConsumeIntegral<int>();
    task.nVideoSize = in.ConsumeIntegral<int>();
    task.nFrameRate = in.ConsumeIntegral<int>();
    task.nVideoBitrate = in.ConsumeIntegral<int>();
    task.nVideoAspect = in.ConsumeIntegral<int>();
    task.nChannels = in.ConsumeIntegral<int>();
    task.nAudioBitrate = in.ConsumeIntegral<int>();
    task.nSampleRate = in.ConsumeIntegral<int>();
    task.nVolume = in.ConsumeIntegral<int>();
    task.dStartTime = in.ConsumeFloatingPoint<double>();
    task.dEndTime = in.ConsumeFloatingPoint<double>();
    LocalDateTime now;
    now.nYear = in.ConsumeIntegral<int>();
    now.nMonth = in.ConsumeIntegral<int>();
    now.nDay = in.ConsumeIntegral<int>();
    now.nHour = in.ConsumeIntegral<int>();
    now.nMinute = in.ConsumeIntegral<int>();
    now.nSecond = in.ConsumeIntegral<int>();
    std::string templ = in.ConsumeRemainingBytesAsString();
    templ = templ.substr(0, std::min<std::size_t>(std::strlen(templ.c_str()), 1023));

    const CString line = ExpandCommandTemplate(templ.c_str(), task, output.c_str(), now);

    if (templ.find('$') == std::string::npos && std::strcmp(line, templ.c_str()) != 0)
        Fail("text without variables changed", templ.c_str());
    // With no '$' in any value, nothing can bring a variable back once it is replaced.
    const bool plainValues = std::strchr(task.strTitle, '$') == nullptr &&
                             std::strchr(task.strSourcePath, '$') == nullptr &&
                             std::strchr(task.strIntermediatePath, '$') == nullptr &&
                             output.find('$') == std::string::npos;
    if (plainValues && templ.find('$') == std::string::npos && line.Find('$') >= 0)
        Fail("a variable appeared from nowhere", line);
    if (plainValues)
        for (const char* variable : kVariables)
            if (line.Find(variable) >= 0 && templ.find('$', templ.find('$') + 1) == std::string::npos)
                Fail("a single variable left unexpanded", line);

    // The shipped templates quote the title: whatever is typed, it stays one argument (its
    // double quotes made single) and the output file stays the next one.
    ConvertTask titled = task;
    titled.nProfile = 1;
    const CString quoted = ExpandCommandTemplate("-title \"$TITLE\" \"$OUTPUT_FILE\"", titled, "Z:\\out\\a.mp4", now);
    std::string typed = static_cast<const char*>(task.strTitle);
    for (char& c : typed)
        if (c == '"')
            c = '\'';
    const std::vector<std::string> args = SplitWindowsArguments(static_cast<const char*>(quoted));
    if (typed.find('$') == std::string::npos && (args.size() != 3 || args[0] != "-title" || args[1] != typed || args[2] != "Z:\\out\\a.mp4"))
        Fail("the title does not stay one argument", quoted);
    return 0;
}
