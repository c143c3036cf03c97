#pragma once

#include <QIcon>
#include <QPixmap>

namespace fx::icons {

// The pictures of the tool-bar buttons, one per caption.
enum class Tool {
    Query,
    Requery,
    All,
    Lent,
    Due,
    Transfer,
    Scrap,
    Modify,
    Delete,
    New,
    Save,
    Cancel,
    Dictionary,
    Password,
    System,
    Help
};
QIcon toolPicture(Tool tool);

// Pictures 22 and 23 of the menu picture list: the ticked and the unticked theme item.
QIcon themeTicked();
QIcon themeUnticked();

// The banner on the main panel.
QPixmap banner();

}  // namespace fx::icons
