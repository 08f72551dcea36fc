#include "app/startup.h"

#include <shlwapi.h>

#include "app/main_frame.h"
#include "framework/message_loop.h"
#include "framework/module.h"
#include "parse/mapping.h"

namespace velk {

namespace {

// The loop is the thread's for exactly as long as it is alive.
class RegisteredLoop {
public:
    RegisteredLoop() { GetAppModule().AddMessageLoop(&m_loop); }
    ~RegisteredLoop() { GetAppModule().RemoveMessageLoop(); }
    RegisteredLoop(const RegisteredLoop&) = delete;
    RegisteredLoop& operator=(const RegisteredLoop&) = delete;
    int Run() { return m_loop.Run(); }

private:
    CMessageLoop m_loop;
};

}  // namespace

int RunShell(int argc, wchar_t** argv, int showCommand) {
    dcm_whole_view_limit_from_environment();
    RegisteredLoop loop;
    const CSettings settings;
    CMainFrame frame;
    frame.RememberIn(settings);
    // Default position, size and styles; accepting dropped files takes the place
    // of the class's default extended styles.
    if (!frame.CreateEx(nullptr, nullptr, 0, WS_EX_ACCEPTFILES)) return 0;
    frame.ShowRemembered(showCommand);
    // A folder named opens in a folder window; anything else as a document.
    if (argc > 1 && ::PathIsDirectoryW(argv[1]))
        frame.OpenFolder(argv[1]);
    else if (argc > 1)
        frame.OpenDocument(argv[1]);
    return loop.Run();
}

}  // namespace velk
