#include "list_view.h"

namespace velk {

CWindowClassInfo& CListViewSuperclass::GetWndClassInfo() {
    // The list view class is registered once the common controls are initialised
    // for it; the superclass copies it on first use.
    static CWindowClassInfo info = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        return CWindowClassInfo::Superclass(WC_LISTVIEWW);
    }();
    return info;
}

}  // namespace velk
