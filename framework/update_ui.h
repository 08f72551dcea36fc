#pragma once
// CUpdateUI: a table of commands whose check marks (and enabled state) the program
// sets; menus show the table's state when their popup opens, registered toolbars
// when the idle handler asks.
//
//     class CMainFrame : ..., public CUpdateUI<CMainFrame> {
//     public:
//         static constexpr CUpdateUIEntry kUpdateUI[] = {
//             {ID_VIEW_TOOLBAR, kUpdateMenu}, {ID_VIEW_STATUS_BAR, kUpdateMenu}};
//         ... Map::Chain(&CMainFrame::RouteUpdateUI) in the message map ...
//     };
#include <windows.h>

#include <cstddef>
#include <vector>

#include "message_map.h"

namespace velk {

enum : unsigned {
    kUpdateMenu = 1,     // a menu item
    kUpdateToolBar = 2,  // a toolbar button
};

struct CUpdateUIEntry {
    UINT id;
    unsigned kinds;  // kUpdateMenu | kUpdateToolBar
};

class CUpdateUIBase {
public:
    // Answers false for an identifier that is not in the table.
    bool UISetCheck(UINT id, bool checked);
    bool UIEnable(UINT id, bool enabled);
    bool UIGetCheck(UINT id) const;
    bool UIIsEnabled(UINT id) const;

    void UIAddToolBar(HWND toolBar);
    // Brings the registered toolbars' buttons in step with the table.
    void UIUpdateToolBar();
    // Sets the check marks and enabled state of the table's items in a menu
    // (and its submenus), as the table holds them.
    void UIUpdateMenu(HMENU menu) const;

    // For the message map: WM_INITMENUPOPUP brings the opening popup in step.
    // Never takes the message, so the default processing still sees it.
    bool RouteUpdateUI(CMessage& m);

protected:
    template <std::size_t N>
    explicit CUpdateUIBase(const CUpdateUIEntry (&table)[N]) {
        for (const CUpdateUIEntry& entry : table)
            m_items.push_back(Item{entry.id, entry.kinds, false, true, true});
    }

private:
    struct Item {
        UINT id;
        unsigned kinds;
        bool checked;
        bool enabled;
        bool toolBarStale;  // changed since the toolbars were last brought in step
    };

    Item* Find(UINT id);
    const Item* Find(UINT id) const;

    std::vector<Item> m_items;
    std::vector<HWND> m_toolBars;
};

template <class T>
class CUpdateUI : public CUpdateUIBase {
public:
    CUpdateUI() : CUpdateUIBase(T::kUpdateUI) {}
};

}  // namespace velk
