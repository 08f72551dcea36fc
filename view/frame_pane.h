// The inspector's image: with Pixel Data focused, its frame is shown beside the
// hex lines, scaled to fit with its aspect ratio. A right-button drag changes
// the window (right: wider, down: a higher level); Home restores the file's
// window; Page Up and Page Down move between frames; the frame number, the
// window and the pixel under the pointer (column, row, stored value and
// rescaled value) are written along the top. The work is the portable
// dcm_frame_viewer's; this is its window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/window_impl.h"
#include "pixels/frame_viewer.h"

namespace velk {

class CFramePane : public CWindowImpl<CFramePane, CWindow, CControlTraits> {
public:
    // Shows frame 1 of the Pixel Data whose element starts at `offset` of the
    // file at `path` (`inflated`: in the inflated bytes of a deflated data set).
    void ShowPixels(const wchar_t* path, std::uint32_t offset, bool inflated);
    // The frame shown, for a test or the status bar: "Frame 2 of 10".
    std::wstring FrameText() const;
    const dcm_frame_viewer& Viewer() const { return m_viewer; }

    bool ProcessWindowMessage(CMessage& m) override;

private:
    void Paint();
    std::wstring Words() const;
    // The window's text is the line along its top, for tests and screen readers.
    void ShowWords();
    void ShowFrame(std::uint32_t index);
    void MakeBitmap();
    RECT ImageRect() const;
    void OnMouseMove(int x, int y);

    std::wstring m_path;
    dcm_frame_viewer m_viewer;
    std::vector<unsigned char> m_bitmap;  // the image as a bottom-up 24-bit DIB's rows
    std::wstring m_pointer;               // the pixel under the pointer
    bool m_dragging = false;
    POINT m_dragFrom{};
};

}  // namespace velk
