#include "builtinlayout.h"

#include <QFile>

namespace fx::query {

bool builtInDefaultLayout(ResultKind kind, ColumnList* columns) {
    if (kind != ResultKind::ChangeHistory) return false;
    QFile file(QStringLiteral(":/fxasset/layouts/stdczjg"));
    if (!file.open(QIODevice::ReadOnly)) return false;
    return parseLayoutText(QString::fromUtf8(file.readAll()), columns);
}

}  // namespace fx::query
