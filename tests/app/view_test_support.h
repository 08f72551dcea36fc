// What the element list and document window tests share: a bare MDI frame to
// open documents in, test files on disk, and the list read back as a user's copy
// would read it (LVM_GETITEMW, through the display requests).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/mdi_frame.h"
#include "present/reading.h"
#include "temp_folder.h"
#include "windows_test.h"

namespace velk {

namespace viewtest {

using test::ListOf;
using test::Pump;
using test::RunFolder;
using test::TextOf;
using test::WriteFile;

// A top-level MDI frame with nothing but its MDI client.
class CDocumentsFrame : public CMDIFrameWindowImpl<CDocumentsFrame> {
public:
    static CWindowClassInfo& GetWndClassInfo();
    bool ProcessWindowMessage(CMessage& m) override;

    // Creates and shows the frame; answers its MDI client.
    HWND Open();
    // The document windows, oldest first.
    std::vector<HWND> Documents() const;

private:
    LRESULT OnCreate(CMessage& m);
};

struct Cell {
    std::wstring text;
    int image = -1;
    int indent = -1;
};

// One cell as the list gives it back: text, and for column 0 image and indent.
Cell ReadCell(HWND list, int row, int column);
std::vector<std::wstring> ReadRow(HWND list, int row);
// Every row's six texts, with the indent and image of column 0 in front.
std::vector<std::wstring> ReadAll(HWND list);

int ItemCount(HWND list);

// The client point at the middle of a row's icon, and of its label.
POINT IconPoint(HWND list, int row);
POINT LabelPoint(HWND list, int row);
// A press and release of the left button at a client point, as the mouse sends
// them; with double, the second press arrives as a double click.
void Click(HWND list, POINT at, bool doubleClick = false);
// A click on a row's icon, scrolled into view first as a user would.
void ClickIcon(HWND list, int row);

// One frame for the whole program (destroying a top-level window costs wine
// about two seconds); each test closes the documents it opened.
class DocumentsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void CloseDocuments();
    // Opens `path` as the frame's Open command does, in `reading`; answers the new
    // document window.
    HWND Open(const std::wstring& path, dcm_reading reading = dcm_reading::standard);
    // Writes `bytes` to a file of the test folder and opens it.
    HWND OpenBytes(const std::wstring& name, const std::string& bytes,
                   dcm_reading reading = dcm_reading::standard);

    CDocumentsFrame& m_frame = Frame();
    HWND m_client = nullptr;

private:
    static CDocumentsFrame& Frame();
};

}  // namespace viewtest

}  // namespace velk
