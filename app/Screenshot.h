// The station photographs itself for the README: when MORVIK_SCREENSHOT names a PNG file, the
// started station homes the machine, jogs X and Y away from zero, opens the status display,
// saves a picture of its main window to that file and quits. scripts/screenshot.sh runs it under
// a virtual X server. Without the variable nothing happens.
#pragma once

namespace morvik {

class MorvikApp;

inline constexpr const char* kScreenshotVariable = "MORVIK_SCREENSHOT";

void ScheduleScreenshot(MorvikApp& app);

} // namespace morvik
