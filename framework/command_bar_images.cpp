#include "command_bar_images.h"

#include <cstring>
#include <vector>

namespace velk {

namespace {

// A toolbar resource: WORD version (1), image width, image height, button count,
// then one WORD command identifier per button, 0 for a separator.
const wchar_t* const kToolbarResourceType = MAKEINTRESOURCEW(241);
constexpr WORD kToolbarVersion = 1;
// Larger images than this are not toolbar images; the bound keeps a damaged
// resource from asking for a huge image list.
constexpr WORD kMaxImageSide = 256;
// Toolbar strips use light grey for the pixels that let the menu show through.
constexpr COLORREF kMaskColour = RGB(192, 192, 192);
// Submenus nest a few levels at most; a deeper chain is not a real menu.
constexpr int kMaxMenuDepth = 16;

struct ToolbarTable {
    SIZE imageSize{};
    std::vector<WORD> commands;  // in strip order, separators left out
};

WORD ReadWord(const BYTE* bytes, size_t index) {
    WORD value;
    std::memcpy(&value, bytes + 2 * index, sizeof(value));
    return value;
}

bool ParseToolbarTable(const BYTE* bytes, size_t size, ToolbarTable& table) {
    constexpr size_t kHeaderWords = 4;
    if (!bytes || size < kHeaderWords * 2) return false;
    const WORD version = ReadWord(bytes, 0);
    const WORD width = ReadWord(bytes, 1);
    const WORD height = ReadWord(bytes, 2);
    const WORD count = ReadWord(bytes, 3);
    if (version != kToolbarVersion || width == 0 || height == 0 || width > kMaxImageSide ||
        height > kMaxImageSide)
        return false;
    if ((kHeaderWords + size_t{count}) * 2 > size) return false;
    table.imageSize = SIZE{width, height};
    for (size_t i = 0; i < count; ++i) {
        const WORD command = ReadWord(bytes, kHeaderWords + i);
        if (command != 0) table.commands.push_back(command);
    }
    return true;
}

bool LoadToolbarTable(HINSTANCE instance, UINT id, ToolbarTable& table) {
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), kToolbarResourceType);
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) return false;
    return ParseToolbarTable(static_cast<const BYTE*>(bytes), ::SizeofResource(instance, found),
                             table);
}

}  // namespace

bool CMenuImages::Load(HINSTANCE instance, UINT id) {
    Clear();
    ToolbarTable table;
    if (!LoadToolbarTable(instance, id, table)) return false;
    HBITMAP strip = static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) return false;
    const int slots = static_cast<int>(table.commands.size());
    m_list = ::ImageList_Create(table.imageSize.cx, table.imageSize.cy, ILC_COLOR24 | ILC_MASK,
                                slots, 0);
    const int added = m_list ? ::ImageList_AddMasked(m_list, strip, kMaskColour) : -1;
    ::DeleteObject(strip);
    if (added < 0) {
        Clear();
        return false;
    }
    // A strip with fewer images than buttons gives images to the first buttons only.
    const int images = ::ImageList_GetImageCount(m_list);
    for (int i = 0; i < slots && i < images; ++i)
        m_indexOf.emplace(table.commands[static_cast<size_t>(i)], i);
    m_size = table.imageSize;
    return true;
}

void CMenuImages::Clear() {
    if (m_list) ::ImageList_Destroy(m_list);
    m_list = nullptr;
    m_size = SIZE{};
    m_indexOf.clear();
}

int CMenuImages::IndexOf(UINT command) const {
    auto found = m_indexOf.find(command);
    return found == m_indexOf.end() ? -1 : found->second;
}

bool CMenuImages::Draw(UINT command, HDC dc, int x, int y, bool disabled) const {
    const int index = IndexOf(command);
    if (index < 0 || !m_list) return false;
    if (!disabled) return ::ImageList_Draw(m_list, index, dc, x, y, ILD_TRANSPARENT) != FALSE;
    HICON icon = ::ImageList_GetIcon(m_list, index, ILD_TRANSPARENT);
    if (!icon) return false;
    const BOOL drawn = ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y,
                                    m_size.cx, m_size.cy, DST_ICON | DSS_DISABLED);
    ::DestroyIcon(icon);
    return drawn != FALSE;
}

void CMenuImages::Apply(HMENU menu) const {
    if (menu && !m_indexOf.empty()) ApplyTo(menu, 0);
}

void CMenuImages::ApplyTo(HMENU menu, int depth) const {
    if (depth > kMaxMenuDepth) return;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        if (item.hSubMenu) {
            ApplyTo(item.hSubMenu, depth + 1);
            continue;
        }
        if ((item.fType & MFT_SEPARATOR) || !Has(item.wID)) continue;
        MENUITEMINFOW image{};
        image.cbSize = sizeof(image);
        image.fMask = MIIM_BITMAP;
        image.hbmpItem = HBMMENU_CALLBACK;
        ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &image);
    }
}

}  // namespace velk
