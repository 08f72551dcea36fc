// The screen's scaling as velk draws for it. velk declares itself aware of the
// system's scaling in its manifest, so the windows are not stretched by the
// system: sizes given for 96 dpi are scaled here, and pictures come in sizes
// drawn for 100 %, 150 % and 200 %.
#pragma once

#include <windows.h>

namespace velk {

// Dots per inch of the screen (96 at 100 %).
int ScreenDpi();

// A length in pixels at 96 dpi, at the screen's scaling.
int ScaleToScreen(int pixels);

// Which drawn size of the pictures suits a screen: the largest not above it.
enum class ArtSize { percent100, percent150, percent200 };
ArtSize ArtSizeFor(int dpi);

// The row icons of one drawn size: their side in pixels and resource numbers
// (the resource script carries them under these numbers).
struct RowIconSet {
    int side;
    int plain, expanded, collapsed;
};
RowIconSet RowIconsFor(ArtSize size);

}  // namespace velk
