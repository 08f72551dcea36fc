#pragma once
// The images that popup menus show beside their items: one image per command,
// taken from a toolbar resource (a strip bitmap plus the command identifiers of
// its buttons, in strip order).
#include <windows.h>
#include <commctrl.h>

#include <map>

namespace velk {

class CMenuImages {
public:
    CMenuImages() = default;
    CMenuImages(const CMenuImages&) = delete;
    CMenuImages& operator=(const CMenuImages&) = delete;
    ~CMenuImages() { Clear(); }

    // Replaces the images by those of toolbar resource `id` (the RT_TOOLBAR table
    // and the bitmap of the same identifier). A missing or malformed resource
    // answers false and leaves no images.
    bool Load(HINSTANCE instance, UINT id);
    void Clear();

    bool Has(UINT command) const { return m_indexOf.count(command) != 0; }
    int Count() const { return static_cast<int>(m_indexOf.size()); }
    SIZE ImageSize() const { return m_size; }
    // The strip index of the command's image, or -1.
    int IndexOf(UINT command) const;

    // Draws the command's image with its top-left corner at (x, y), greyed out
    // for a disabled item. Answers false when the command has no image.
    bool Draw(UINT command, HDC dc, int x, int y, bool disabled) const;

    // Marks every item of `menu` (and of its submenus) that has an image, so that
    // the menu asks its owner to measure and draw the image (HBMMENU_CALLBACK).
    void Apply(HMENU menu) const;

private:
    void ApplyTo(HMENU menu, int depth) const;

    HIMAGELIST m_list = nullptr;
    SIZE m_size{};
    std::map<UINT, int> m_indexOf;
};

}  // namespace velk
