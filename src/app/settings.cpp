#include "settings.h"

#include <QSettings>

namespace fx {

namespace {

int readInt(QSettings& ini, const QString& key, int fallback) {
    bool ok = false;
    const int v = ini.value(key).toInt(&ok);
    return ok ? v : fallback;
}

}  // namespace

Settings readSettings(const QString& iniPath, const QString& user) {
    Settings s;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(user);
    s.mcl = readInt(ini, QStringLiteral("mcl"), s.mcl);
    s.ytl = readInt(ini, QStringLiteral("ytl"), s.ytl);
    s.xhl = readInt(ini, QStringLiteral("xhl"), s.xhl);
    s.wzl = readInt(ini, QStringLiteral("wzl"), s.wzl);
    s.input = readInt(ini, QStringLiteral("input"), s.input);
    s.cxc = readInt(ini, QStringLiteral("cxc"), s.cxc);
    s.zjxs = readInt(ini, QStringLiteral("zjxs"), s.zjxs);
    s.exitinfo = readInt(ini, QStringLiteral("exitinfo"), s.exitinfo);
    s.color = readInt(ini, QStringLiteral("color"), s.color);
    ini.endGroup();
    ini.beginGroup(QString::fromLatin1(kSystemSection));
    s.datadic = readInt(ini, QStringLiteral("datadic"), s.datadic);
    s.inputmode = readInt(ini, QStringLiteral("inputmode"), s.inputmode);
    s.returner = readInt(ini, QStringLiteral("returner"), s.returner);
    ini.endGroup();
    return s;
}

void writeUserSettings(const QString& iniPath, const QString& user, const Settings& s) {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(user);
    ini.setValue(QStringLiteral("ytl"), s.ytl);
    ini.setValue(QStringLiteral("xhl"), s.xhl);
    ini.setValue(QStringLiteral("wzl"), s.wzl);
    ini.setValue(QStringLiteral("input"), s.input);
    ini.setValue(QStringLiteral("mcl"), s.mcl);
    ini.setValue(QStringLiteral("cxc"), s.cxc);
    ini.setValue(QStringLiteral("zjxs"), s.zjxs);
    ini.endGroup();
    ini.sync();
}

void writeSystemSettings(const QString& iniPath, const Settings& s) {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(QString::fromLatin1(kSystemSection));
    ini.setValue(QStringLiteral("datadic"), s.datadic);
    ini.setValue(QStringLiteral("inputmode"), s.inputmode);
    ini.setValue(QStringLiteral("returner"), s.returner);
    ini.endGroup();
    ini.sync();
}

void writeExitSettings(const QString& iniPath, const QString& user, int exitinfo, int color) {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(user);
    ini.setValue(QStringLiteral("exitinfo"), exitinfo);
    ini.setValue(QStringLiteral("color"), color);
    ini.endGroup();
    ini.sync();
}

}  // namespace fx
