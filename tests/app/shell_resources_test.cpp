// The program's resources as other parts and the user read them: menus, the
// version block, the manifest, and the pictures in their sizes and colour depths.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resource.h"
#include "velk_version.h"

namespace velk {

namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

const BYTE* ResourceBytes(const wchar_t* type, UINT id, DWORD* size) {
    HRSRC found = FindResourceW(Self(), MAKEINTRESOURCEW(id), type);
    if (!found) return nullptr;
    *size = SizeofResource(Self(), found);
    return static_cast<const BYTE*>(LockResource(LoadResource(Self(), found)));
}

// One line per item: its text and command, "-" for a separator; popups indent.
void DescribeMenu(HMENU menu, const std::wstring& indent, std::wstring& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        GetMenuItemInfoW(menu, i, TRUE, &item);
        if (item.fType & MFT_SEPARATOR) {
            out += indent + L"-\n";
        } else if (item.hSubMenu) {
            out += indent + text + L"\n";
            DescribeMenu(item.hSubMenu, indent + L"  ", out);
        } else {
            wchar_t id[16];
            swprintf(id, 16, L" %04X", item.wID);
            out += indent + text + id + L"\n";
        }
    }
}

std::wstring MenuOf(UINT id) {
    HMENU menu = LoadMenuW(Self(), MAKEINTRESOURCEW(id));
    std::wstring out;
    DescribeMenu(menu, L"", out);
    DestroyMenu(menu);
    return out;
}

TEST(ShellResources, FrameMenuHasFileViewAndHelp) {
    EXPECT_EQ(MenuOf(IDR_MAINFRAME),
              L"&File\n  &Open...\tCtrl+O E101\n  -\n  E&xit E141\n  -\n  Open Fol&der... 8040\n"
              L"&View\n  &Toolbar E800\n  &Status Bar E801\n  -\n  I&nterpret\tCtrl+I 8030\n"
              L"&Help\n  &About velk... E140\n");
}

TEST(ShellResources, DocumentMenuHasItsWindowPopupSecondLast) {
    EXPECT_EQ(
        MenuOf(IDR_DOCUMENT),
        L"&File\n  &Open...\tCtrl+O E101\n  &Save\tCtrl+S E103\n  Save &As... E104\n  -\n"
        L"  &Print...\tCtrl+P E107\n  Print Pre&view E109\n  P&rint Setup... E106\n  -\n  E&xit "
        L"E141\n"
        L"  -\n  Compa&re With... 8020\n  Open Fol&der... 8040\n"
        L"&Edit\n  Copy Rows E122\n  -\n  Select All E12A\n  -\n  Find E124\n"
        L"&View\n  &Toolbar E800\n  &Status Bar E801\n  -\n  Refresh E803\n"
        L"  -\n  &Inspector 8021\n  &Filter\tCtrl+L 8022\n"
        L"  I&nterpret\tCtrl+I 8030\n  -\n  &Directory 8041\n  -\n  Restore Window/&Level 8050\n"
        L"  -\n  Ne&xt Problem\tF8 8060\n  Pre&vious Problem\tShift+F8 8061\n  &Problems 8062\n"
        L"&Window\n  &Cascade E132\n  &Horizontal Tile E133\n  &Vertical Tile E134\n  Arrange "
        L"&Icons E131\n"
        L"&Help\n  &About velk... E140\n");
}

TEST(ShellResources, ListContextMenuIsOnePopup) {
    EXPECT_EQ(MenuOf(IDR_LIST_CONTEXT),
              L"ContexMenu\n  Copy Item 8010\n  Copy Rows E122\n  -\n  Select All E12A\n");
}

std::vector<BYTE> OwnVersionBlock() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD unused = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, &unused));
    if (!block.empty() &&
        !GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()))
        block.clear();
    return block;
}

std::wstring VersionString(std::vector<BYTE>& block, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring key = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
        return L"<none>";
    return value;
}

TEST(ShellResources, VersionBlockIsUsEnglishWesternWithTheProjectVersion) {
    std::vector<BYTE> block = OwnVersionBlock();
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"" VELK_VERSION_TEXT);
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"" VELK_VERSION_TEXT);
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04E4);
}

TEST(ShellResources, ManifestAsksForCommonControlsSix) {
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(MAKEINTRESOURCEW(24), 1, &size);
    ASSERT_NE(bytes, nullptr);
    std::string manifest(reinterpret_cast<const char*>(bytes), size);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

// --- Pictures ---------------------------------------------------------------------

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// The one image of an icon group: its directory entry and its bitmap.
struct IconImage {
    IconGroupEntry entry;
    const BITMAPINFOHEADER* header;
};

bool ReadIcon(UINT groupId, IconImage& image) {
    DWORD size = 0;
    const BYTE* group = ResourceBytes(RT_GROUP_ICON, groupId, &size);
    if (!group || size < 6 + sizeof(IconGroupEntry)) return false;
    WORD count = 0;
    std::memcpy(&count, group + 4, 2);
    if (count != 1) return false;
    std::memcpy(&image.entry, group + 6, sizeof(IconGroupEntry));
    DWORD imageSize = 0;
    image.header = reinterpret_cast<const BITMAPINFOHEADER*>(
        ResourceBytes(RT_ICON, image.entry.id, &imageSize));
    return image.header && imageSize >= sizeof(BITMAPINFOHEADER) + 64;
}

struct IconCase {
    const char* name;
    UINT id;
    int size;
};

class ShellIcon : public ::testing::TestWithParam<IconCase> {};

TEST_P(ShellIcon, IsOneSixteenColourImageOfItsSize) {
    IconImage image;
    ASSERT_TRUE(ReadIcon(GetParam().id, image));
    EXPECT_EQ(image.entry.width, GetParam().size);
    EXPECT_EQ(image.entry.height, GetParam().size);
    EXPECT_EQ(image.entry.colours, 16);
    EXPECT_EQ(image.header->biBitCount, 4);
    EXPECT_EQ(image.header->biWidth, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Icons, ShellIcon,
                         ::testing::Values(IconCase{"MainFrame", IDR_MAINFRAME, 32},
                                           IconCase{"Document", IDR_DOCUMENT, 32},
                                           IconCase{"RowExpanded", IDI_ROW_EXPANDED, 16},
                                           IconCase{"RowCollapsed", IDI_ROW_COLLAPSED, 16},
                                           IconCase{"RowLeaf", IDI_ROW_LEAF, 16}),
                         [](const ::testing::TestParamInfo<IconCase>& info) {
                             return std::string(info.param.name);
                         });

// A row icon as a 16 by 16 picture: ' ' transparent, 'g' grey, 'k' black.
std::vector<std::string> RowIconPicture(UINT id) {
    IconImage image;
    if (!ReadIcon(id, image)) return {};
    const BYTE* base = reinterpret_cast<const BYTE*>(image.header) + image.header->biSize;
    const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(base);
    const BYTE* colours = base + 16 * sizeof(RGBQUAD);
    const BYTE* mask = colours + 16 * 8;  // 16 rows of 8 bytes (4 bits per pixel)
    std::vector<std::string> rows(16, std::string(16, '?'));
    for (int y = 0; y < 16; ++y) {
        const int stored = 15 - y;  // bottom-up
        for (int x = 0; x < 16; ++x) {
            const bool transparent = (mask[stored * 4 + x / 8] >> (7 - x % 8)) & 1;
            const BYTE pair = colours[stored * 8 + x / 2];
            const RGBQUAD c = palette[x % 2 ? pair & 0x0F : pair >> 4];
            if (transparent)
                rows[y][x] = ' ';
            else if (c.rgbRed == 128 && c.rgbGreen == 128 && c.rgbBlue == 128)
                rows[y][x] = 'g';
            else if (c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0)
                rows[y][x] = 'k';
        }
    }
    return rows;
}

std::vector<std::string> ExpectedBox(bool plus) {
    std::vector<std::string> rows(16, std::string(16, ' '));
    for (int i = 4; i <= 12; ++i) rows[4][i] = rows[12][i] = rows[i][4] = rows[i][12] = 'g';
    for (int i = 6; i <= 10; ++i) {
        rows[8][i] = 'k';
        if (plus) rows[i][8] = 'k';
    }
    return rows;
}

TEST(ShellResources, RowIconsAreMinusBoxPlusBoxAndNothing) {
    EXPECT_EQ(RowIconPicture(IDI_ROW_EXPANDED), ExpectedBox(false));
    EXPECT_EQ(RowIconPicture(IDI_ROW_COLLAPSED), ExpectedBox(true));
    EXPECT_EQ(RowIconPicture(IDI_ROW_LEAF), std::vector<std::string>(16, std::string(16, ' ')));
}

TEST(ShellResources, ToolBarStripHoldsEightSixteenColourImages) {
    DWORD size = 0;
    const auto* header =
        reinterpret_cast<const BITMAPINFOHEADER*>(ResourceBytes(RT_BITMAP, IDR_MAINFRAME, &size));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 8 * 16);
    EXPECT_EQ(header->biHeight, 15);
    EXPECT_EQ(header->biBitCount, 4);
}

}  // namespace

}  // namespace velk
