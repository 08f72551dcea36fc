// The link colours: the defaults, and the user's browser colours where set.
#include <gtest/gtest.h>

#include <string>

#include "framework/hyperlink.h"

namespace velk {

namespace {

struct ColourText {
    const char* name;
    const wchar_t* text;
    bool valid;
    COLORREF colour;
};

class ColourTextTest : public ::testing::TestWithParam<ColourText> {};

TEST_P(ColourTextTest, ParsesThreeNumbersFrom0To255) {
    COLORREF colour = RGB(1, 2, 3);
    EXPECT_EQ(CHyperLinkBase::ParseColourText(GetParam().text, &colour), GetParam().valid);
    EXPECT_EQ(colour, GetParam().valid ? GetParam().colour : RGB(1, 2, 3))
        << "a failure leaves it alone";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ColourTextTest,
    ::testing::Values(ColourText{"Plain", L"0,0,255", true, RGB(0, 0, 255)},
                      ColourText{"Blanks", L" 12 , 34 ,56 ", true, RGB(12, 34, 56)},
                      ColourText{"Extremes", L"255,0,255", true, RGB(255, 0, 255)},
                      ColourText{"Above255", L"256,0,0", false, 0},
                      ColourText{"ManyDigits", L"0000001,2,3", false, 0},
                      ColourText{"Huge", L"99999999999999999999,1,1", false, 0},
                      ColourText{"TwoNumbers", L"1,2", false, 0},
                      ColourText{"FourNumbers", L"1,2,3,4", false, 0},
                      ColourText{"Negative", L"-1,2,3", false, 0},
                      ColourText{"Letters", L"a,b,c", false, 0},
                      ColourText{"EmptyField", L"1,,3", false, 0},
                      ColourText{"Empty", L"", false, 0}, ColourText{"Null", nullptr, false, 0}),
    [](const ::testing::TestParamInfo<ColourText>& info) { return info.param.name; });

class CColourLink : public CHyperLinkImpl<CColourLink> {};

// Sets the browser's link colour values for one test and puts back what was there.
class BrowserColours {
public:
    BrowserColours() {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                          nullptr);
        Save(L"Anchor Color", m_link);
        Save(L"Anchor Color Visited", m_visited);
    }
    ~BrowserColours() {
        Restore(L"Anchor Color", m_link);
        Restore(L"Anchor Color Visited", m_visited);
        ::RegCloseKey(m_key);
    }
    void Set(const wchar_t* name, const std::wstring& text) const {
        ::RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Internet Explorer\\Settings";
    struct Saved {
        bool present = false;
        std::wstring text;
    };
    void Save(const wchar_t* name, Saved& saved) const {
        wchar_t text[256] = {};
        DWORD bytes = sizeof(text) - sizeof(wchar_t);
        saved.present = ::RegQueryValueExW(m_key, name, nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(text), &bytes) == ERROR_SUCCESS;
        saved.text = text;
    }
    void Restore(const wchar_t* name, const Saved& saved) const {
        if (saved.present)
            Set(name, saved.text);
        else
            ::RegDeleteValueW(m_key, name);
    }
    HKEY m_key = nullptr;
    Saved m_link;
    Saved m_visited;
};

COLORREF CreatedColour(bool visited) {
    CColourLink link;
    RECT rect{0, 0, 100, 20};
    link.Create(::GetDesktopWindow(), &rect, nullptr, WS_POPUP);
    const COLORREF colour = visited ? link.GetVisitedColour() : link.GetLinkColour();
    link.DestroyWindow();
    return colour;
}

TEST(HyperLinkColourTest, TheUsersBrowserColoursReplaceTheDefaults) {
    BrowserColours colours;
    colours.Set(L"Anchor Color", L"10,20,30");
    colours.Set(L"Anchor Color Visited", L"40, 50, 60");
    EXPECT_EQ(CreatedColour(false), RGB(10, 20, 30));
    EXPECT_EQ(CreatedColour(true), RGB(40, 50, 60));
}

TEST(HyperLinkColourTest, AMalformedBrowserColourKeepsTheDefault) {
    BrowserColours colours;
    colours.Set(L"Anchor Color", L"300,0,0");
    colours.Set(L"Anchor Color Visited", std::wstring(200, L'7'));
    EXPECT_EQ(CreatedColour(false), RGB(0, 0, 255));
    EXPECT_EQ(CreatedColour(true), RGB(128, 0, 128));
}

}  // namespace

}  // namespace velk
