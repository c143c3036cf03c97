#include <gtest/gtest.h>
#include <QSettings>
#include <QTemporaryDir>

#include "settings.h"
#include "theme.h"

namespace {

QString iniIn(const QTemporaryDir& d) {
    return d.filePath(QStringLiteral("fxasset.ini"));
}

TEST(Settings, MissingFileGivesTheDefaults) {
    QTemporaryDir d;
    const fx::Settings s = fx::readSettings(iniIn(d), QStringLiteral("张三"));
    EXPECT_EQ(s.mcl, 1);
    EXPECT_EQ(s.ytl, 1);
    EXPECT_EQ(s.xhl, 1);
    EXPECT_EQ(s.wzl, 1);
    EXPECT_EQ(s.input, 0);
    EXPECT_EQ(s.cxc, 0);
    EXPECT_EQ(s.zjxs, 0);
    EXPECT_EQ(s.exitinfo, 0);
    EXPECT_EQ(s.color, 0);
    EXPECT_EQ(s.datadic, 0);
    EXPECT_EQ(s.inputmode, 1);
    EXPECT_EQ(s.returner, 1);
}

TEST(Settings, UserSectionsAreSeparateAndSystemValuesShared) {
    QTemporaryDir d;
    fx::Settings a;
    a.input = 2;
    a.zjxs = 1;
    a.mcl = 0;
    a.datadic = 3;
    a.inputmode = 0;
    a.returner = 0;
    fx::writeUserSettings(iniIn(d), QStringLiteral("张三"), a);
    fx::writeSystemSettings(iniIn(d), a);
    fx::writeExitSettings(iniIn(d), QStringLiteral("张三"), 1, 2);

    const fx::Settings back = fx::readSettings(iniIn(d), QStringLiteral("张三"));
    EXPECT_EQ(back.input, 2);
    EXPECT_EQ(back.zjxs, 1);
    EXPECT_EQ(back.mcl, 0);
    EXPECT_EQ(back.exitinfo, 1);
    EXPECT_EQ(back.color, 2);

    const fx::Settings other = fx::readSettings(iniIn(d), QStringLiteral("李四"));
    EXPECT_EQ(other.input, 0);
    EXPECT_EQ(other.mcl, 1);
    EXPECT_EQ(other.exitinfo, 0);
    EXPECT_EQ(other.datadic, 3);
    EXPECT_EQ(other.inputmode, 0);
    EXPECT_EQ(other.returner, 0);
}

TEST(Settings, ValuesThatAreNotNumbersFallBackToDefaults) {
    QTemporaryDir d;
    {
        QSettings ini(iniIn(d), QSettings::IniFormat);
        ini.setValue(QStringLiteral("SysSet/inputmode"), QStringLiteral("abc"));
        ini.setValue(QStringLiteral("SysSet/datadic"), 2);
    }
    const fx::Settings s = fx::readSettings(iniIn(d), QStringLiteral("u"));
    EXPECT_EQ(s.inputmode, 1);
    EXPECT_EQ(s.datadic, 2);
}

TEST(Theme, StoredColourValuesMapToThemesAndBack) {
    EXPECT_EQ(fx::themeFromSetting(0), fx::Theme::Colourful);
    EXPECT_EQ(fx::themeFromSetting(2), fx::Theme::Blue);
    EXPECT_EQ(fx::themeFromSetting(1), fx::Theme::Windows);
    EXPECT_EQ(fx::themeFromSetting(5), fx::Theme::Windows);
    EXPECT_EQ(fx::themeToSetting(fx::themeFromSetting(5)), 1);
    EXPECT_EQ(fx::themeToSetting(fx::Theme::Blue), 2);
    EXPECT_EQ(fx::mainPanelColour(fx::Theme::Blue), QColor(193, 218, 238));
    EXPECT_EQ(fx::mainPanelColour(fx::Theme::Colourful), QColor(193, 218, 238));
}

}  // namespace
