#include "rekeycommand.h"

#include <QDir>
#include <QFileInfo>

#include "admincommand.h"
#include "adminerror.h"
#include "installation.h"
#include "organisationkey.h"
#include "rekey.h"
#include "sqlcommand.h"

namespace fx::admin {

int rekeyCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString dataDir;
    QString keyFile;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--keyfile")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("--keyfile needs a value"), err);
            keyFile = args.at(++i);
        } else if (a.startsWith(QLatin1String("--")) || !dataDir.isEmpty()) {
            return usageError(QStringLiteral("rekey: unexpected argument %1").arg(a), err);
        } else {
            dataDir = a;
        }
    }
    if (dataDir.isEmpty()) return usageError(QStringLiteral("rekey needs DATADIR"), err);

    backup::RekeyRequest request;
    request.dataDir = QDir(dataDir).absolutePath();
    try {
        const QString shippedFile = resolveKeyFile(request.dataDir, keyFile);
        const QString appDir = QFileInfo(shippedFile).absolutePath();
        request.keyFilePath = schema::organisationKeyPath(appDir);
        QString problem;
        request.ring = schema::readKeyRing(request.keyFilePath, &problem);
        // A key file that cannot be read is never written over: the keys in it would be lost.
        if (!problem.isEmpty()) throw AdminError(problem + QStringLiteral("; nothing was changed"));
        request.shipped = schema::shippedKeys(appDir);
        request.shipped.current = schema::currentPasswordFromKeyFile(shippedFile);
        if (request.shipped.current.isEmpty())
            throw AdminError(QStringLiteral("the key file %1 gives no password").arg(shippedFile));
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
        err.flush();
        return kExitFailed;
    }
    const backup::RekeyResult r = backup::rekeyDataFolder(request);
    (r.ok ? out : err) << (r.ok ? "" : "fxasset-admin: ") << r.message << '\n';
    out.flush();
    err.flush();
    return r.ok ? kExitOk : kExitFailed;
}

QString copyOrganisationKeys(const QString& from, const QString& appDir) {
    const QString source =
        QFileInfo(from).isDir() ? schema::organisationKeyPath(from) : QDir::cleanPath(from);
    if (!QFileInfo(source).isFile())
        return QStringLiteral("no organisation key file %1").arg(source);
    QString problem;
    const schema::KeyRing copied = schema::readKeyRing(source, &problem);
    if (!problem.isEmpty()) return problem;
    const QString target = schema::organisationKeyPath(appDir);
    const schema::KeyRing own = schema::readKeyRing(target, &problem);
    if (!problem.isEmpty()) return problem;
    const QString written = schema::writeKeyRing(target, schema::mergedKeyRing(copied, own));
    if (!written.isEmpty())
        return QStringLiteral("the key file could not be written: %1").arg(written);
    return {};
}

}  // namespace fx::admin
