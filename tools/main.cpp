// fxasset-admin: the command-line companion of the fixed-asset register (installation, demo
// data, direct statements). The commands live in the fx_admin library; see admincommand.h.
#include <QCoreApplication>
#include <QTextStream>

#include "admincommand.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fxasset-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return fx::admin::runCommand(QCoreApplication::arguments().mid(1), out, err);
}
