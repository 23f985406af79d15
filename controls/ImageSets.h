// Which of the program's image sets to draw with at a display scale. Every image the page
// draws at a size of its own is carried at 100, 125, 150 and 200 % (res/Images.h); at any
// other scale the nearest larger set is shrunk to size. No window calls here.
#pragma once

namespace imagesets {

struct ImageSet {
    int dpi;      // the scale the set was drawn for
    int idOffset; // added to the 100 % image's resource id
};

// The set drawn for `dpi`, else the smallest larger one, else the largest (then enlarged).
ImageSet ImageSetFor(int dpi);

// True when the set's images already have the size wanted at `dpi`: drawn as they are.
bool IsExact(const ImageSet& set, int dpi);

} // namespace imagesets
