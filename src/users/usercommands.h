#pragma once

#include <QColor>

class QWidget;

namespace fx {
class AppState;
}

namespace fx::users {

// The colour both windows are designed in: red 255, green 214, blue 232 (15259391).
QColor ownColour();

// "用户管理" (administrator only): the user management window, modal. An engine error while
// opening the accounts is shown and nothing opens.
void openUserManagement(QWidget* parent, AppState& state);

// "修改密码" and the "密码" tool button: the password window for the signed-in user, modal.
void openPasswordChange(QWidget* parent, AppState& state);

}  // namespace fx::users
