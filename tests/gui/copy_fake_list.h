// A stand-in for the element list in the copy and find tests: an owner-data
// report list with six columns whose parent answers the display requests from a
// table of rows, and records the commands the list is sent. It lets the commands'
// walk over the list be tested apart from a file's parse.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

namespace copytest {

struct FakeRow {
    int indent = 0;
    std::array<std::wstring, 6> cells;
};

class FakeList {
public:
    explicit FakeList(std::vector<FakeRow> rows);
    ~FakeList();
    FakeList(const FakeList&) = delete;
    FakeList& operator=(const FakeList&) = delete;

    HWND List() const { return m_list; }
    HWND Parent() const { return m_parent; }
    // Replaces the rows and tells the list their number.
    void SetRows(std::vector<FakeRow> rows);

    // Display requests answered so far.
    int Requests() const { return m_requests; }
    // WM_COMMAND identifiers that reached the list.
    const std::vector<WORD>& Commands() const { return m_commands; }

    void Select(int row, bool selected = true) const;
    std::vector<int> Selected() const;
    int Mark() const;
    int Focused() const;

private:
    static LRESULT CALLBACK ParentProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void Answer(NMLVDISPINFOW& request);

    std::vector<FakeRow> m_rows;
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
    int m_requests = 0;
    std::vector<WORD> m_commands;
};

// A row of six short texts made from a number: "t7", "v7", ... "o7".
FakeRow Numbered(int n, int indent = 0);

// The clipboard's CF_UNICODETEXT, or "<none>" when there is no text on it.
std::wstring ClipboardText();
// Places a text on the clipboard the ordinary way.
void PutOnClipboard(const std::wstring& text);

void Pump();

}  // namespace copytest
