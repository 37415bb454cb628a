#pragma once

class QGuiApplication;

namespace pennolux {

// What the process sets up before its first window: its names (the
// application title of its error boxes is "Pennolux") and desktop entry, the
// design font, and
// Qt's own texts in the user's language. No display name is set: the window
// system would append it to every title, and titles stay as designed
// ("SUCCESS", "Confirm").
void setUpApplication(QGuiApplication& application);

} // namespace pennolux
