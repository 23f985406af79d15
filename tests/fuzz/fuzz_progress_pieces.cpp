// The engine's progress parser fed the way the runner feeds it: the encoder's output cut into
// zero-terminated pieces of 1 to 255 bytes at arbitrary places. The stream is either venc's own
// report lines with rising size and time (then the task's size and position must never fall,
// never go negative and never run ahead of what was printed) or arbitrary bytes (then the
// task's fields and the Progress cell must stay sane).
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/CellDisplayInfo.h"
#include "encoder/progress_report.h"
#include "engine/Progress.h"
#include "engine/TaskCell.h"

namespace {

constexpr std::size_t kMaxPiece = 255; // the runner reads 255 bytes into a 256-byte buffer

void Fail(const char* what, double a, double b)
{
    std::fprintf(stderr, "property broken: %s (%.6f, %.6f)\n", what, a, b);
    std::abort();
}

void CheckCell(const ConvertTask& task)
{
    CellDisplayInfo info;
    FillTaskCellInfo(task, 0, kColumnProgress, info);
    if (info.strText.GetLength() >= 160)
        Fail("progress cell text longer than its buffer", info.strText.GetLength(), 160);
    if (info.nProgressMax > 0 && (info.nProgressPos < 0 || info.nProgressPos > info.nProgressMax))
        Fail("progress bar position outside its range", info.nProgressPos, info.nProgressMax);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool reportLines = in.ConsumeBool();

    ConvertTask task;
    task.dStartTime = in.ConsumeFloatingPointInRange<double>(0.0, 40000.0);
    task.dEndTime = task.dStartTime + in.ConsumeFloatingPointInRange<double>(0.0, 40000.0);
    task.bNeedIntermediate = in.ConsumeBool() ? 1 : 0;
    task.nPhase = task.bNeedIntermediate ? 2 : 0;

    std::string stream;
    double maxPrintedTime = 0.0;
    long long maxPrintedKB = 0;
    if (reportLines) {
        // Rising figures as venc prints them, lines ending in "\r" or "\n"; up to about
        // 26 hours and 64 GB, where the report's fixed columns still hold them.
        venc::ProgressSnapshot s;
        const int lines = in.ConsumeIntegralInRange<int>(1, 64);
        for (int i = 0; i < lines; ++i) {
            s.frame += in.ConsumeIntegralInRange<int>(0, 5000);
            s.totalBytes += in.ConsumeIntegralInRange<long long>(0, 1LL << 30);
            s.outSeconds += in.ConsumeIntegralInRange<int>(0, 150000) / 100.0;
            s.kbitsPerSecond = in.ConsumeIntegralInRange<int>(0, 100000) / 10.0;
            stream += venc::FormatProgressLine(s);
            stream += in.ConsumeBool() ? "\r" : "\n";
            maxPrintedTime = s.outSeconds;
            maxPrintedKB = s.totalBytes / 1024;
        }
    }
    // The rest of the stream is whatever the encoder may print around its report lines.
    const std::size_t cutsNeeded = in.remaining_bytes() / 2;
    std::string cuts = in.ConsumeBytesAsString(cutsNeeded);
    if (!reportLines)
        stream = in.ConsumeRemainingBytesAsString();

    double lastTime = 0.0;
    int lastSize = 0;
    std::size_t pos = 0, cut = 0;
    std::uint32_t now = 1000;
    while (pos < stream.size()) {
        std::size_t length = kMaxPiece;
        if (cut < cuts.size())
            length = 1 + static_cast<unsigned char>(cuts[cut++]) % kMaxPiece;
        if (length > stream.size() - pos)
            length = stream.size() - pos;
        // The runner's buffer is zeroed before each read, so a piece ends at its first zero.
        char piece[kMaxPiece + 1] = {};
        std::memcpy(piece, stream.data() + pos, length);
        pos += length;
        now += 40;

        ApplyProgressFields(task, ReadProgressFields(piece), now, 1000);
        if (task.nOutputSizeKB < 0 || task.dEncodedTime < 0)
            Fail("negative size or time", task.nOutputSizeKB, task.dEncodedTime);
        if (!std::isfinite(task.dSpeed) || task.dSpeed < 0)
            Fail("speed not finite or negative", task.dSpeed, task.dEncodedTime);
        if (reportLines) {
            if (task.dEncodedTime < lastTime)
                Fail("time went back", lastTime, task.dEncodedTime);
            if (task.nOutputSizeKB < lastSize)
                Fail("size went back", lastSize, task.nOutputSizeKB);
            if (task.dEncodedTime > maxPrintedTime + 1e-6)
                Fail("time ahead of the printed one", task.dEncodedTime, maxPrintedTime);
            if (task.nOutputSizeKB > maxPrintedKB)
                Fail("size ahead of the printed one", task.nOutputSizeKB, static_cast<double>(maxPrintedKB));
        }
        lastTime = task.dEncodedTime;
        lastSize = task.nOutputSizeKB;
        CheckCell(task);
    }
    return 0;
}
