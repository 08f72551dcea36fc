// The reading every document window lists its file in: the default one, or the
// Interpret reading (View > Interpret), one choice for the whole program.
#pragma once

#include <windows.h>

#include "present/row_model.h"

namespace velk {

dcm_reading CurrentReading();
void SetCurrentReading(dcm_reading reading);

// ID_VIEW_APPLY_READING (view/command_ids.h) goes to every document window's view
// when the reading has changed: it lists its file again in the current reading,
// keeping its scroll position where it can.

}  // namespace velk
