#include "view/screen_scale.h"

#include "view/command_ids.h"

namespace velk {

namespace {

int ReadScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

// Read once: a program aware of the system's scaling keeps the scaling it
// started with until it ends, and asking the screen costs several trips to the
// window server under wine on every document opened.
int ScreenDpi() {
    static const int dpi = ReadScreenDpi();
    return dpi;
}

int ScaleToScreen(int pixels) { return ::MulDiv(pixels, ScreenDpi(), 96); }

ArtSize ArtSizeFor(int dpi) {
    if (dpi >= 192) return ArtSize::percent200;
    if (dpi >= 144) return ArtSize::percent150;
    return ArtSize::percent100;
}

RowIconSet RowIconsFor(ArtSize size) {
    switch (size) {
    case ArtSize::percent150:
        return {24, IDI_ROW_LEAF_150, IDI_ROW_EXPANDED_150, IDI_ROW_COLLAPSED_150};
    case ArtSize::percent200:
        return {32, IDI_ROW_LEAF_200, IDI_ROW_EXPANDED_200, IDI_ROW_COLLAPSED_200};
    case ArtSize::percent100: break;
    }
    return {16, IDI_ROW_LEAF, IDI_ROW_EXPANDED, IDI_ROW_COLLAPSED};
}

}  // namespace velk
