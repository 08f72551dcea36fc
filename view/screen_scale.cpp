#include "view/screen_scale.h"

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
        return {24, 209, 207, 208};
    case ArtSize::percent200:
        return {32, 212, 210, 211};
    case ArtSize::percent100:
        break;
    }
    return {16, 206, 204, 205};
}

}  // namespace velk
