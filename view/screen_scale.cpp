#include "view/screen_scale.h"

#include "view/command_ids.h"

namespace velk {

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
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
    case ArtSize::percent100:
        break;
    }
    return {16, IDI_ROW_LEAF, IDI_ROW_EXPANDED, IDI_ROW_COLLAPSED};
}

}  // namespace velk
