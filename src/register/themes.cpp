#include <QAction>
#include <QFrame>
#include <QPalette>

#include "mainform.h"
#include "mainicons.h"

// The three colour themes of "显示参数".

namespace fx {

void TMainForm::applyTheme(Theme theme) {
    state_.theme = theme;
    const struct {
        QAction* item;
        Theme theme;
    } items[] = {{N24, Theme::Colourful}, {N25, Theme::Blue}, {N26, Theme::Windows}};
    for (const auto& i : items) {
        const bool ticked = i.theme == theme;
        i.item->setChecked(ticked);
        i.item->setIcon(ticked ? icons::themeTicked() : icons::themeUnticked());
    }
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, mainPanelColour(theme));
    Panel1->setPalette(pal);
}

}  // namespace fx
