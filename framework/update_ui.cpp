#include "update_ui.h"

#include <commctrl.h>

#include <algorithm>

namespace velk {

CUpdateUIBase::Item* CUpdateUIBase::Find(UINT id) {
    auto found = std::find_if(m_items.begin(), m_items.end(),
                              [id](const Item& item) { return item.id == id; });
    return found == m_items.end() ? nullptr : &*found;
}

const CUpdateUIBase::Item* CUpdateUIBase::Find(UINT id) const {
    return const_cast<CUpdateUIBase*>(this)->Find(id);
}

bool CUpdateUIBase::UISetCheck(UINT id, bool checked) {
    Item* item = Find(id);
    if (!item) return false;
    if (item->checked != checked) item->toolBarStale = true;
    item->checked = checked;
    return true;
}

bool CUpdateUIBase::UIEnable(UINT id, bool enabled) {
    Item* item = Find(id);
    if (!item) return false;
    if (item->enabled != enabled) item->toolBarStale = true;
    item->enabled = enabled;
    return true;
}

bool CUpdateUIBase::UIGetCheck(UINT id) const {
    const Item* item = Find(id);
    return item && item->checked;
}

bool CUpdateUIBase::UIIsEnabled(UINT id) const {
    const Item* item = Find(id);
    return item && item->enabled;
}

void CUpdateUIBase::UIAddToolBar(HWND toolBar) {
    if (toolBar && std::find(m_toolBars.begin(), m_toolBars.end(), toolBar) == m_toolBars.end())
        m_toolBars.push_back(toolBar);
}

void CUpdateUIBase::UIUpdateToolBar() {
    // A toolbar destroyed before its frame is dropped, not written to.
    m_toolBars.erase(std::remove_if(m_toolBars.begin(), m_toolBars.end(),
                                    [](HWND toolBar) { return !::IsWindow(toolBar); }),
                     m_toolBars.end());
    for (Item& item : m_items) {
        if (!(item.kinds & kUpdateToolBar) || !item.toolBarStale) continue;
        for (HWND toolBar : m_toolBars) {
            ::SendMessageW(toolBar, TB_CHECKBUTTON, item.id, MAKELPARAM(item.checked, 0));
            ::SendMessageW(toolBar, TB_ENABLEBUTTON, item.id, MAKELPARAM(item.enabled, 0));
        }
        item.toolBarStale = false;
    }
}

void CUpdateUIBase::UIUpdateMenu(HMENU menu) const {
    if (!menu) return;
    for (const Item& item : m_items) {
        if (!(item.kinds & kUpdateMenu)) continue;
        // By command: the item is found in the popup or any of its submenus; an
        // item that is not there is left alone.
        ::CheckMenuItem(menu, item.id, MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
        ::EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    }
}

bool CUpdateUIBase::RouteUpdateUI(CMessage& m) {
    if (m.message == WM_INITMENUPOPUP) UIUpdateMenu(reinterpret_cast<HMENU>(m.wParam));
    return false;
}

}  // namespace velk
