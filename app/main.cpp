// velk.exe: a viewer for DICOM files.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include "app/startup.h"
#include "framework/module.h"

using namespace velk;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    CoInitialize(nullptr);  // the result does not change what follows

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);

    GetAppModule().Init(instance);
    // The runtime's split wide arguments, not the raw command line.
    int result = RunShell(__argc, __wargv, showCommand);
    GetAppModule().Term();

    CoUninitialize();
    return result;
}
