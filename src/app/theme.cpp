#include "theme.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace fx {

namespace {

// The panel colour of the colourful and blue themes: red 193, green 218, blue 238.
const QColor kBlue(193, 218, 238);

QColor buttonFace() {
    return QApplication::palette().color(QPalette::Button);
}

}  // namespace

Theme themeFromSetting(int color) {
    if (color == 0) return Theme::Colourful;
    if (color == 2) return Theme::Blue;
    return Theme::Windows;
}

int themeToSetting(Theme t) {
    return static_cast<int>(t);
}

QColor mainPanelColour(Theme t) {
    return t == Theme::Windows ? buttonFace() : kBlue;
}

void applyDialogTheme(QWidget* dialog, Theme t) {
    if (t == Theme::Colourful) return;
    const QColor colour = t == Theme::Blue ? kBlue : buttonFace();
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, colour);
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
}

}  // namespace fx
