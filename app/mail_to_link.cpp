#include "app/mail_to_link.h"

#include "app/add_on_mail.h"

namespace velk {

CWindowClassInfo& CMailToLink::GetWndClassInfo() {
    static CWindowClassInfo info = [] {
        CWindowClassInfo own = CWindowClassInfo::Own(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
        own.fixedName = L"MailToLink";
        return own;
    }();
    return info;
}

bool CMailToLink::SendAddOn() {
    SendAddOnMail(m_hWnd);
    return true;
}

}  // namespace velk
