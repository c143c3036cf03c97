#pragma once

#include <QColor>

class QWidget;

namespace fx {

// The three colour themes; the numbers are the values stored under `color`.
enum class Theme { Colourful = 0, Windows = 1, Blue = 2 };

// The theme a stored `color` value stands for: 0 or missing colourful, 2 blue, anything else
// the system's own colours.
Theme themeFromSetting(int color);
int themeToSetting(Theme t);

// The colour of the main window's panel under a theme.
QColor mainPanelColour(Theme t);

// The theme colour rule: every dialog calls this when it opens. Under the colourful theme a
// dialog keeps its own designed colour; under the other two it takes the theme's colour.
void applyDialogTheme(QWidget* dialog, Theme t);

}  // namespace fx
