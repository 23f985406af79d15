// The program's image sets by display scale (see ImageSets.h).
#include "controls/ImageSets.h"

#include "framework/DpiScale.h"
#include "res/Images.h"

namespace imagesets {

namespace {

constexpr ImageSet kSets[] = {
    {96, 0},
    {120, IMAGE_SET_125},
    {144, IMAGE_SET_150},
    {192, IMAGE_SET_200},
};

} // namespace

ImageSet ImageSetFor(int dpi)
{
    const int wanted = dpiscale::Usable(dpi);
    for (const ImageSet& set : kSets) {
        if (set.dpi >= wanted)
            return set;
    }
    return kSets[sizeof(kSets) / sizeof(kSets[0]) - 1];
}

bool IsExact(const ImageSet& set, int dpi)
{
    return set.dpi == dpiscale::Usable(dpi);
}

} // namespace imagesets
