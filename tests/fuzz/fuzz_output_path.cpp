// Output file names from arbitrary titles and folders, with arbitrary files already present.
// The chosen path must fit the program's path buffers (or be refused with ""), lie in the
// folder, end in ".mp4", name no other folder or stream, and never be a file that exists.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "engine/OutputPath.h"

namespace {

void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "property broken: %s: [%s]\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string folder = in.ConsumeRandomLengthString(300);
    const std::string name = in.ConsumeRandomLengthString(300);
    // Files present: the first candidates taken up to a count, plus a few arbitrary names.
    const int taken = in.ConsumeIntegralInRange<int>(0, 200);
    std::set<std::string> present;
    const std::string base = outputpath::WithTrailingBackslash(folder) + outputpath::SafeFileName(name);
    for (int k = 1; k <= taken; ++k)
        present.insert(k == 1 ? base + ".mp4" : base + "_" + std::to_string(k) + ".mp4");
    while (in.remaining_bytes() > 0)
        present.insert(in.ConsumeRandomLengthString(300));

    int asked = 0;
    const std::string path = outputpath::ChooseOutputPath(folder, name, [&](const std::string& p) {
        ++asked;
        return present.count(p) != 0;
    });
    if (path.empty()) {
        if (base.size() + 4 <= outputpath::kMaxPath && present.count(base + ".mp4") == 0)
            Fail("a free short name refused", base);
        return 0;
    }
    if (path.size() > outputpath::kMaxPath)
        Fail("path longer than its buffer", path);
    if (present.count(path) != 0)
        Fail("an existing file chosen", path);
    const std::string dir = outputpath::WithTrailingBackslash(folder);
    if (path.compare(0, dir.size(), dir) != 0 || path.size() < dir.size() + 4 ||
        path.compare(path.size() - 4, 4, ".mp4") != 0)
        Fail("not folder\\name.mp4", path);
    for (std::size_t i = dir.size(); i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 32 || std::strchr("\\/:*?\"<>|", path[i]) != nullptr)
            Fail("file name with a forbidden character", path);
    }
    if (asked > taken + 1 + static_cast<int>(present.size()))
        Fail("asked about more names than can exist", path);
    return 0;
}
