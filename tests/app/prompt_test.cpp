#include <gtest/gtest.h>
#include <QDialog>

#include "modal.h"
#include "prompt.h"
#include "scripts.h"
#include "theme.h"

namespace {

TEST(PromptHooks, ScriptAnswersInOrderAndRecordsMessages) {
    fx::test::PromptScript script;
    script.expect(QStringLiteral("提示"), QStringLiteral("第一"))
        .expect(QStringLiteral("警告"), QStringLiteral("确定"), QMessageBox::Cancel);
    fx::ui::inform(nullptr, QStringLiteral("第一条"));
    EXPECT_FALSE(fx::ui::confirm(nullptr, QStringLiteral("确定吗"), QStringLiteral("警告")));
    EXPECT_EQ(script.seen().size(), 2);
    EXPECT_TRUE(script.done());
}

TEST(ModalHooks, StepsReceiveTheDialogAndDecideItsResult) {
    fx::test::ModalScript modal;
    modal.then([](QDialog& d) {
        d.setObjectName(QStringLiteral("filled"));
        return int(QDialog::Accepted);
    });
    QDialog dialog;
    EXPECT_EQ(fx::ui::runModal(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("filled"));
    EXPECT_TRUE(modal.done());
}

TEST(ThemeRule, DialogsTakeTheThemeColourExceptUnderTheColourfulTheme) {
    QDialog d;
    const QColor designed = d.palette().color(QPalette::Window);
    fx::applyDialogTheme(&d, fx::Theme::Colourful);
    EXPECT_EQ(d.palette().color(QPalette::Window), designed);
    fx::applyDialogTheme(&d, fx::Theme::Blue);
    EXPECT_EQ(d.palette().color(QPalette::Window), QColor(193, 218, 238));
}

}  // namespace
