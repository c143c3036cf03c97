#include "mainform.h"
#include "usercommands.h"

// "修改密码" and "用户管理": the password window for the signed-in user and the administrator's
// user management window. Rights changed there take effect at the user's next sign-in, so the
// window changes nothing of its own afterwards.

namespace fx {

void TMainForm::bindUserCommands() {
    bindCommand(N18, [this] { PasswordClick(); });
    bindCommand(N19, [this] { UserManagementClick(); });
}

void TMainForm::PasswordClick() {
    users::openPasswordChange(this, state_);
}

void TMainForm::UserManagementClick() {
    users::openUserManagement(this, state_);
}

}  // namespace fx
