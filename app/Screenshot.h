// The station photographs itself for the README: when MORVIK_SCREENSHOT names a PNG file, the
// started station homes the machine, jogs X and Y away from zero, opens the status display,
// saves a picture of its main window to that file and quits. scripts/screenshot.sh runs it under
// a virtual X server. Without the variable nothing happens.
//
// When MORVIK_SCREENSHOT_PROGRAM names a part program as well, the tour is the toolpath
// preview's instead: Run mode, the program opened and loaded, View > Toolpath, the windows
// tiled, the program started, and the picture taken MORVIK_SCREENSHOT_RUN_MS later (default
// 3000), while it runs.
//
// When MORVIK_SCREENSHOT_TOUR names a folder as well, the station takes the README's whole tour
// with the part program, one picture a step into that folder (tour-1-start.png ...
// tour-7-mdi.png: started, homed, jogged, loaded, half run, half run with the toolpath preview,
// MDI), and the front picture (homed, jogged, status display open) into MORVIK_SCREENSHOT; the
// half-run pictures are taken MORVIK_SCREENSHOT_RUN_MS after the start (default 20000).
#pragma once

namespace morvik {

class MorvikApp;

inline constexpr const char* kScreenshotVariable = "MORVIK_SCREENSHOT";
inline constexpr const char* kScreenshotProgramVariable = "MORVIK_SCREENSHOT_PROGRAM";
inline constexpr const char* kScreenshotRunVariable = "MORVIK_SCREENSHOT_RUN_MS";
inline constexpr const char* kScreenshotTourVariable = "MORVIK_SCREENSHOT_TOUR";
inline constexpr int kDefaultRunMs = 3000;
inline constexpr int kDefaultTourRunMs = 20000;

void ScheduleScreenshot(MorvikApp& app);

} // namespace morvik
