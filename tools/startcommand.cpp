#include "startcommand.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "admincommand.h"
#include "adminerror.h"
#include "dberror.h"
#include "installation.h"
#include "installer.h"
#include "schema.h"

namespace fx::admin {

namespace {

bool isInstallation(const QString& appPath) {
    const QDir app(appPath);
    return QFileInfo::exists(app.filePath(QString::fromLatin1(schema::kKeyFileName))) &&
           QFileInfo::exists(app.filePath(QStringLiteral("data/")) +
                             QString::fromLatin1(schema::kCurrentFile));
}

QString personalInstallation() {
    QString home = qEnvironmentVariable("FXASSET_HOME");
    if (home.isEmpty()) {
        home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/fxasset");
    }
    return QDir(home).filePath(QStringLiteral("default"));
}

}  // namespace

QString startFolder(QTextStream& out, QTextStream& err) {
    schema::InstallationKey key = schema::readInstallationKey();
    if (!key.appPath.isEmpty()) {
        if (isInstallation(key.appPath)) return key.appPath;
        err << "fxasset-admin: the registered installation " << key.appPath
            << " holds no qslkeyf2.dll or data/gdzc.qsk; repair it, or run \"fxasset-admin "
               "register APPDIR\" for another installation\n";
        err.flush();
        return QString();
    }
    const QString app = personalInstallation();
    if (isInstallation(app)) {
        key.appPath = QDir::cleanPath(QFileInfo(app).absoluteFilePath());
        if (key.organisationName.isEmpty())
            key.organisationName = QString::fromUtf8(kDefaultOrganisation);
        if (schema::writeInstallationKey(key)) return key.appPath;
        err << "fxasset-admin: the installation key could not be written (check that the "
               "settings folder can be written)\n";
        err.flush();
        return QString();
    }
    try {
        InitOptions options;
        options.appDir = app;
        const InitResult r = initInstallation(options);
        out << "installed " << r.appPath << '\n';
        out.flush();
        return r.appPath;
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const db::DbError& e) {
        err << "fxasset-admin: database error: " << e.message() << '\n';
    }
    err.flush();
    return QString();
}

int startCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (!args.isEmpty()) {
        err << "fxasset-admin: start takes no arguments\n\n" << usageText();
        err.flush();
        return kExitUsage;
    }
    const QString app = startFolder(out, err);
    if (app.isEmpty()) return kExitFailed;
    const QByteArray program = QFile::encodeName(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("fxasset")));
    if (!QDir::setCurrent(app)) {
        err << "fxasset-admin: cannot change to " << app << '\n';
        err.flush();
        return kExitFailed;
    }
    char* const argv[] = {const_cast<char*>(program.constData()), nullptr};
    ::execv(program.constData(), argv);
    err << "fxasset-admin: cannot start " << QFile::decodeName(program) << '\n';
    err.flush();
    return kExitFailed;
}

}  // namespace fx::admin
