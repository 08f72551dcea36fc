// The inspector's image: with Pixel Data focused, its frame is shown beside the
// hex lines, scaled to fit with its aspect ratio. A right-button drag changes
// the window (right: wider, down: a higher level); Home restores the file's
// window; Page Up and Page Down move between frames; the frame number, the
// window and the pixel under the pointer (column, row, stored value and
// rescaled value) are written along the top. The work is the portable
// dcm_frame_viewer's; this is its window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/window_impl.h"
#include "pixels/frame_viewer.h"
#include "view/document.h"

namespace velk {

class CFramePane : public CWindowImpl<CFramePane, CWindow, CControlTraits> {
public:
    // Shows frame 1 of the Pixel Data whose element starts at `offset` of the
    // document's file (`inflated`: in the inflated bytes of a deflated data set),
    // read from `file`, its bytes as the caller mapped them. The document holds
    // the frame and outlives the pane; the pane draws it.
    void ShowPixels(dcm_document& document, dcm_bytes file, std::uint64_t offset, bool inflated);
    // The frame shown, for a test or the status bar: "Frame 2 of 10".
    std::wstring FrameText() const;
    const dcm_frame_viewer& Viewer() const;
    // Gives the file's own window back (Home, or View > Restore Window/Level).
    void RestoreWindow();
    // Told the pixel under the pointer whenever it changes ("column 3, row 7:
    // 1024 (24)"), and an empty text when the pointer leaves the image.
    void OnPointer(std::function<void(const std::wstring&)> tell) {
        m_tellPointer = std::move(tell);
    }

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
    void SetPointer(std::wstring pixel);

    dcm_document* m_document = nullptr;   // the document whose frame is shown
    std::vector<unsigned char> m_bitmap;  // the image as a bottom-up 24-bit DIB's rows
    std::wstring m_pointer;               // the pixel under the pointer
    std::function<void(const std::wstring&)> m_tellPointer;
    bool m_trackingLeave = false;  // WM_MOUSELEAVE asked for
    bool m_dragging = false;
    POINT m_dragFrom{};
};

}  // namespace velk
