#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "aboutdialog.h"
#include "firstusedialog.h"
#include "splashwindow.h"

namespace {

using fx::TFirstUseDlg;

void typeText(QWidget* w, const QString& text) {
    // Chinese text cannot go through QTest::keyClicks; send it as one key event.
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text, Qt::NoModifier);
}

// ---- first use and the change of the organisation name ----

TEST(FirstUse, ShowsTheWelcomeAndTheGivenName) {
    TFirstUseDlg d(QStringLiteral("测试单位"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("初次使用"));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    auto* label = d.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), QStringLiteral("欢迎使用本管理系统，请在下面输入贵公司的名称，"
                                            "本栏内容将反映在报表中，请注意正确填写。"));
    EXPECT_TRUE(label->wordWrap());
    auto* edit = d.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->text(), QStringLiteral("测试单位"));
    EXPECT_EQ(edit->maxLength(), 50);
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button1"))->text(), QStringLiteral("确认"));
    EXPECT_EQ(d.name(), QStringLiteral("测试单位"));
}

TEST(FirstUse, ReturnsWhatWasTypedWhenConfirmed) {
    TFirstUseDlg d{QString()};
    d.show();
    d.Edit1->setFocus();
    typeText(d.Edit1, QStringLiteral("青石岭中学"));
    EXPECT_EQ(d.name(), QStringLiteral("青石岭中学"));
    d.Button1->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.name(), QStringLiteral("青石岭中学"));
}

TEST(FirstUse, KeepsAtMostFiftyCharacters) {
    TFirstUseDlg d{QString()};
    d.show();
    d.Edit1->setFocus();
    typeText(d.Edit1, QString(60, QChar(u'单')));
    EXPECT_EQ(d.name(), QString(50, QChar(u'单')));
}

TEST(FirstUse, CannotBeLeftWithoutConfirming) {
    TFirstUseDlg d(QStringLiteral("甲"));
    d.show();
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.result(), 0);
    d.close();
    EXPECT_TRUE(d.isVisible());
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(FirstUse, ServesTheChangeOfTheOrganisationName) {
    TFirstUseDlg d(QStringLiteral("旧单位"), nullptr, QStringLiteral("修改单位名称"),
                   QStringLiteral("请填入更改后的公司名称:"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("修改单位名称"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("请填入更改后的公司名称:"));
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("旧单位"));
    d.Edit1->setText(QStringLiteral("新单位"));
    d.Button1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.name(), QStringLiteral("新单位"));
}

// ---- splash and about ----

TEST(Splash, IsABorderlessPictureOfFixedSizeInTheMiddleOfTheScreen) {
    fx::TSplashForm s;
    EXPECT_EQ(s.size(), QSize(497, 372));
    EXPECT_TRUE(s.windowFlags() & Qt::FramelessWindowHint);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((s.geometry().center() - screen.center()).manhattanLength(), 2);

    const QPixmap picture = fx::TSplashForm::picture();
    EXPECT_EQ(picture.size(), QSize(497, 372));
    const QImage image = picture.toImage();
    // Sky at the top, dark ridge at the bottom: a picture, not an empty fill.
    EXPECT_GT(qGray(image.pixel(250, 5)), 180);
    EXPECT_LT(qGray(image.pixel(250, 360)), 120);

    s.showNow();
    EXPECT_TRUE(s.isVisible());
    const QImage shown = s.grab().toImage();
    EXPECT_EQ(shown.pixel(250, 360), image.pixel(250, 360));
}

TEST(About, NamesTheProductAndItsVersion) {
    fx::TAboutBox box(fx::Theme::Colourful);
    auto* name = box.findChild<QLabel*>(QStringLiteral("ProductName"));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text(), QStringLiteral("青石岭通用固定资产管理系统"));
    auto* version = box.findChild<QLabel*>(QStringLiteral("Version"));
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->text().contains(QStringLiteral(FX_VERSION)));
    EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());
    box.OKButton->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(About, TakesTheThemeColour) {
    fx::TAboutBox blue(fx::Theme::Blue);
    EXPECT_EQ(blue.palette().color(QPalette::Window), QColor(193, 218, 238));
    fx::TAboutBox colourful(fx::Theme::Colourful);
    EXPECT_NE(colourful.palette().color(QPalette::Window), QColor(193, 218, 238));
}

}  // namespace
