#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "datalocation.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace fx {

class AppState;
namespace db {
class Connection;
class RowSet;
}  // namespace db

// The login dialog shown before the main window. While it is created it finds the data
// directory (qslpath.ini), opens its own connection to the current database and lists the
// users; its picture button switches between the local database, a network database and a
// database server. On a server the dialog asks for the server password when the server wants
// one the program does not know, and remembers it in the password file when the user asks so.
//
// The program ends inside this dialog: leaving it, or a fourth wrong password, closes it with
// the result Exit. A database that cannot be opened at creation is named, makes canGoOn()
// false and leaves the list empty; the user may then choose another location or leave. The
// caller ends the program in every case but Accepted.
class TLoginDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "firststart.html")

public:
    // Results besides QDialog::Accepted.
    enum Outcome { Exit = 2 };

    // Determines state.dataDir and connects with state.currentPassword.
    explicit TLoginDlg(AppState& state, QWidget* parent = nullptr);
    ~TLoginDlg() override;

    // Shows the login dialog and returns true when a user signed in; false means the program
    // ends. On success state.userName and state.rights hold the user's name and rights.
    static bool signIn(AppState& state, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;       // "用户登录"
    QLabel* Label1;             // "用户名"
    QComboBox* ComboBox1;       // the users, choose only
    QLabel* Label2;             // "密码"
    QLineEdit* Edit1;           // the password, shown as "*"
    QPushButton* BitBtn1;       // "登录", the default button
    QPushButton* BitBtn2;       // "离开"
    QToolButton* SpeedButton1;  // the network drive picture

    // False when the current database could not be opened while the dialog was created; the
    // message has been shown and the program cannot go on.
    bool canGoOn() const { return canGoOn_; }

    // Finds the data directory (or the server), connects and lists the users in table order.
    // Shows the engine's message and returns false when the database cannot be opened.
    bool FormCreate();
    // "登录" and Enter: checks the chosen user's password.
    void BitBtn1Click();
    // "离开": the program ends.
    void BitBtn2Click();
    // The picture button: the database-location dialog; on acceptance reconnects.
    void SpeedButton1Click();

    // Escape is "离开".
    void reject() override;

    // The failed password attempts of this process; they are not reset when the database
    // location changes. The reset is for tests, which play several program starts.
    static int failedAttempts();
    static void resetFailedAttempts();
    static constexpr int kAllowedFailures = 3;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString startDir() const;
    void closeDatabase();
    // Opens the current database: the file of the data directory, or the server chosen in
    // qslpath.ini (state.server is set to it). Throws db::DbError; false when the user
    // declined to give the server password.
    bool openDatabase(const DataLocation& chosen, QString* where);
    bool openServer(const DataLocation& chosen);
    // Writes the hash of password over the current user row's password kept in clear.
    void replaceClearPassword(const QString& password);

    AppState& state_;
    std::unique_ptr<db::Connection> conn_;
    std::unique_ptr<db::RowSet> users_;
    bool canGoOn_ = false;
    // The server password typed in the location dialog, and whether to remember it; used by
    // the next FormCreate.
    QString typedServerPassword_;
    bool rememberServerPassword_ = false;
};

}  // namespace fx
