// The station photographs itself for the README: when MORVIK_SCREENSHOT names a PNG file, the
// started station homes the machine, jogs X and Y away from zero, opens the status display,
// saves a picture of its main window to that file and quits. scripts/screenshot.sh runs it under
// a virtual X server. Without the variable nothing happens.
//
// When MORVIK_SCREENSHOT_PROGRAM names a part program as well, the tour is the toolpath
// preview's instead: Run mode, the program opened and loaded, View > Toolpath, the windows
// tiled, the program started, and the picture taken MORVIK_SCREENSHOT_RUN_MS later (default
// 3000), while it runs.
#pragma once

namespace morvik {

class MorvikApp;

inline constexpr const char* kScreenshotVariable = "MORVIK_SCREENSHOT";
inline constexpr const char* kScreenshotProgramVariable = "MORVIK_SCREENSHOT_PROGRAM";
inline constexpr const char* kScreenshotRunVariable = "MORVIK_SCREENSHOT_RUN_MS";
inline constexpr int kDefaultRunMs = 3000;

void ScheduleScreenshot(MorvikApp& app);

} // namespace morvik
