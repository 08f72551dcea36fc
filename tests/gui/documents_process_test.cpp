// velk.exe started with a file, as its own process: its list is read back
// through its window from outside, a click collapses a sequence, and closing the
// frame ends the program with exit code 1.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dicom_builder.h"
#include "documents_remote.h"
#include "view_test_support.h"

namespace velk {

namespace {

using namespace viewtest;

std::wstring VelkPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + VELK_APP_FOLDER_FROM_TESTS + L"velk.exe";
}

class VelkProcess {
public:
    explicit VelkProcess(const std::wstring& file) {
        std::wstring line = L"\"" + VelkPath() + L"\" \"" + file + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        m_started = ::CreateProcessW(VelkPath().c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &m_info) != FALSE;
    }
    ~VelkProcess() {
        if (!m_started) return;
        if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_info.hProcess, 255);
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
    VelkProcess(const VelkProcess&) = delete;
    VelkProcess& operator=(const VelkProcess&) = delete;

    bool started() const { return m_started; }
    HANDLE handle() const { return m_info.hProcess; }

    // The main frame: the process's visible top-level window.
    HWND Frame() const {
        struct search {
            DWORD pid;
            HWND found;
        } s{m_info.dwProcessId, nullptr};
        ::EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<search*>(p);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(w, &pid);
                if (pid != s->pid || !::IsWindowVisible(w) || ::GetWindow(w, GW_OWNER)) return TRUE;
                s->found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

template <class Done>
bool WaitFor(Done done, DWORD timeout_ms = 20000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeout_ms) return false;
        ::Sleep(50);
    }
    return true;
}

TEST(VelkProcess, ShowsTheFileNamedOnItsCommandLineAndEndsWithOne) {
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "MR");
    b.sequence(0x0008, 0x1140).item().explicit_element(0x0008, 0x1150, "UI", "1.23");
    b.item_end().sequence_end();
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    const std::wstring path = TempFolder() + L"process.dcm";
    ASSERT_TRUE(WriteFile(path, b.bytes()));

    VelkProcess velk(path);
    ASSERT_TRUE(velk.started()) << "velk.exe at " << std::string(VelkPath().begin(), VelkPath().end());
    HWND frame = nullptr, list = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        frame = velk.Frame();
        list = frame ? FindElementList(frame) : nullptr;
        return list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0;
    }));

    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 8);
    const std::vector<std::wstring> first{L"(0002,0010)", L"UI", L"20", L"Transfer Syntax UID",
                                          L"1.2.840.10008.1.2.1", L"132"};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(RemoteCellText(velk.handle(), list, 0, column), first[std::size_t(column)]);
    EXPECT_EQ(RemoteCellText(velk.handle(), list, 1, 3), L"Modality");
    EXPECT_EQ(RemoteCellText(velk.handle(), list, 4, 4), L"1.23");
    EXPECT_NE(TextOf(frame).find(L"process.dcm"), std::wstring::npos);  // the maximised document's title

    PostClick(list, RemoteIconMiddle(velk.handle(), list, 2));
    EXPECT_TRUE(WaitFor([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 4; }, 5000));
    EXPECT_EQ(RemoteCellText(velk.handle(), list, 3, 0), L"(0010,0010)");

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(velk.handle(), 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeProcess(velk.handle(), &code);
    EXPECT_EQ(code, 1u);
}

}  // namespace

}  // namespace velk
