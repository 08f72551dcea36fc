// Running the shell on the calling thread, once COM, the common controls and the
// module are ready.
#pragma once

namespace velk {

// Creates and shows the main frame, opens argv[1] when there is one (further
// arguments are ignored), and runs the thread's message loop until the frame is
// gone. Answers the loop's exit code: 1 after a normal close, 0 when the frame
// could not be created.
int RunShell(int argc, wchar_t** argv, int showCommand);

}  // namespace velk
