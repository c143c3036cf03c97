#pragma once

#include <QString>

namespace fx {

// The program's options, as kept in fxasset.ini in the data directory. Per-user keys live in a
// section named after the user; system keys in section SysSet. Missing file or keys give the
// defaults below.
struct Settings {
    // per user
    int mcl = 1;       // name field may be typed into
    int ytl = 1;       // use field may be typed into
    int xhl = 1;       // model field may be typed into
    int wzl = 1;       // location-or-user and custodian fields may be typed into
    int input = 0;     // the user's input mode 0..2
    int cxc = 0;       // query dialogs: 0 typing allowed, 1 choose only
    int zjxs = 0;      // 0 show depreciation and net value, 1 hide
    int exitinfo = 0;  // 0 offer the exit dialog at shutdown
    int color = 0;     // theme: 0 多彩多姿, 1 视窗本色, 2 蓝色魅力
    // SysSet
    int datadic = 0;    // dictionary policy 0..3
    int inputmode = 1;  // system input mode 0..2
    int returner = 1;   // return rule 0..1
};

inline constexpr const char* kSettingsFile = "fxasset.ini";
inline constexpr const char* kSystemSection = "SysSet";

// Reads all twelve values for a user. The file keeps the user's own input mode; raising it to
// the system input mode is the caller's business (start-up does it once).
Settings readSettings(const QString& iniPath, const QString& user);
// Writes the per-user values the settings dialog changes (mcl ytl xhl wzl input cxc zjxs).
void writeUserSettings(const QString& iniPath, const QString& user, const Settings& s);
// Writes the three system values (datadic inputmode returner).
void writeSystemSettings(const QString& iniPath, const Settings& s);
// Writes exitinfo and color for the user (at shutdown).
void writeExitSettings(const QString& iniPath, const QString& user, int exitinfo, int color);

}  // namespace fx
