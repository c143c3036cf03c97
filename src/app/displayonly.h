#pragma once

class QWidget;

namespace fx::ui {

// A field that only shows its value. Unlike a disabled widget, which Qt draws in the palette's
// pale disabled colours, it keeps the normal text colour so that the value stays legible; it
// takes no focus, and keys, clicks, wheel turns and context menus never reach it or the widgets
// inside it (a list's line edit). Its background becomes transparent, so that the field shows
// on the window's colour like a label instead of looking like a box waiting for input. The
// program can still set its value. Switching it off restores focus and background.
void setDisplayOnly(QWidget* field, bool on);
bool isDisplayOnly(const QWidget* field);

}  // namespace fx::ui
