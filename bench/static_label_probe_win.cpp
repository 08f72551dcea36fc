// Which window keeps heap memory after it is destroyed: a text label (Static)
// given a font, the system's own and the one of common controls 6 (the version
// velk's manifest asks for), and the common Find dialog, whose "Find what"
// label is such a Static. No velk code: this tells a leak of the platform from
// one of velk's own (docs/reliability.md, "Long use"). Prints the heap blocks and bytes that
// stay behind per window created and destroyed. Not a test: it prints figures.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "heap_in_use.h"

namespace {

constexpr int kWarmUp = 10;
constexpr int kRounds = 100;

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// A label created, given the dialogs' font (or none) and destroyed.
void Label(HWND parent, bool font) {
    const HWND label = ::CreateWindowW(L"Static", L"Find what:", WS_CHILD | SS_LEFT, 0, 0, 100, 20,
                                       parent, nullptr, nullptr, nullptr);
    if (font) ::SendMessageW(label, WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ::DestroyWindow(label);
}

FINDREPLACEW g_find{};
wchar_t g_what[80];

// The common Find dialog opened and destroyed.
void FindDialog(HWND owner) {
    g_find = FINDREPLACEW{};
    g_find.lStructSize = sizeof g_find;
    g_find.hwndOwner = owner;
    g_find.lpstrFindWhat = g_what;
    g_find.wFindWhatLen = WORD(std::size(g_what));
    g_find.Flags = FR_DOWN;
    const HWND dialog = ::FindTextW(&g_find);
    Pump();
    ::DestroyWindow(dialog);
    Pump();
}

template <class Step>
void Report(const char* what, Step step) {
    for (int i = 0; i < kWarmUp; ++i) step();
    const velk::test::HeapInUse before = velk::test::CountHeapInUse();
    for (int i = 0; i < kRounds; ++i) step();
    const velk::test::HeapInUse after = velk::test::CountHeapInUse();
    std::printf("%-46s %+6.2f blocks %+7.1f bytes per window\n", what,
                double(after.blocks - before.blocks) / kRounds,
                (after.bytes - before.bytes) / kRounds);
}

// An activation context that asks for common controls 6, as velk's manifest does.
HANDLE CommonControls6() {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"static_label_probe.manifest";
    const char manifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
        "<dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" "
        "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
        "language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>\n";
    if (FILE* file = ::_wfopen(path.c_str(), L"wb")) {
        std::fwrite(manifest, 1, sizeof manifest - 1, file);
        std::fclose(file);
    }
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.lpSource = path.c_str();
    const HANDLE made = ::CreateActCtxW(&context);
    ::DeleteFileW(path.c_str());
    return made;
}

}  // namespace

int main() {
    const HWND top = ::CreateWindowW(L"Static", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                     nullptr, nullptr, nullptr, nullptr);
    Report("system Static, given a font", [&] { Label(top, true); });
    Report("Find dialog, system controls", [&] { FindDialog(top); });
    const HANDLE context = CommonControls6();
    ULONG_PTR cookie = 0;
    if (context == INVALID_HANDLE_VALUE || !::ActivateActCtx(context, &cookie)) {
        std::printf("no activation context for common controls 6\n");
        return 1;
    }
    Report("common controls 6 Static, no font", [&] { Label(top, false); });
    Report("common controls 6 Static, given a font", [&] { Label(top, true); });
    Report("Find dialog, common controls 6", [&] { FindDialog(top); });
    ::DeactivateActCtx(0, cookie);
    ::ReleaseActCtx(context);
    ::DestroyWindow(top);
    return 0;
}
