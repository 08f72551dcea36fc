// The About box: the program's name and the version read from its own version
// resource, shown modally.
#pragma once

#include "app/resource.h"
#include "framework/dialog.h"

namespace velk {

class CAboutDlg : public CDialogImpl<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUTBOX };

    bool ProcessWindowMessage(CMessage& m) override;

    // The object is a local of whoever shows the box.
    void OnFinalMessage(HWND) override {}

private:
    LRESULT OnInitDialog(CMessage& m);
    LRESULT OnCloseCommand(CMessage& m);
};

}  // namespace velk
