#pragma once
// Visual styles come from version 6 of the common controls, which a program gets
// by naming it in its manifest (resource type 24, identifier 1) and initialising
// the common controls before it creates a window. The framework's windows draw
// with whatever version the program loaded; this tells which one that is.
#include <windows.h>

namespace velk {

// The loaded common controls' version as major << 16 | minor; 0 if unknown.
DWORD CommonControlsVersion();

// Whether the program runs with the common controls of its manifest (version 6,
// the side-by-side copy) rather than the system's default copy.
bool UsesCommonControlsSix();

}  // namespace velk
