#pragma once
// Qt needs an application object before it can measure and draw text. In the program there is
// one already; a process without one (the command-line tool, a test) gets a QGuiApplication on
// Qt's offscreen platform, made the first time a sheet is drawn and kept until the process
// ends. The offscreen plugin is looked for first: without it Qt would end the process.

namespace cibrano {

// Makes sure an application object exists; raises EDatabaseError when none can be made.
void ensureSheetApplication();

} // namespace cibrano
