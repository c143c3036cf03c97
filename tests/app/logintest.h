#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "logindialog.h"

// The login dialog answered as a user does: a name chosen from the list, a password typed.

namespace fx::test {

inline void choose(TLoginDlg& d, const QString& user) {
    d.ComboBox1->setCurrentIndex(d.ComboBox1->findText(user));
    ASSERT_EQ(d.ComboBox1->currentText(), user);
}

inline void tryLogin(TLoginDlg& d, const QString& user, const QString& password) {
    choose(d, user);
    d.Edit1->setText(password);
    d.BitBtn1->click();
}

}  // namespace fx::test
