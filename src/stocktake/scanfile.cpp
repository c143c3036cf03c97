#include "scanfile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include "dberror.h"

namespace fx::stocktake {

namespace {

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gbk("GBK");
    return gbk(bytes);
}

bool isTitleLine(const QString& code) {
    static const QStringList titles = {QStringLiteral("编号"), QStringLiteral("资产编号"),
                                       QStringLiteral("code"), QStringLiteral("barcode")};
    return titles.contains(code, Qt::CaseInsensitive);
}

QDateTime timeOf(const QString& text, const QDateTime& fallback) {
    QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!t.isValid()) t = QDateTime::fromString(text, Qt::ISODate);
    return t.isValid() ? t : fallback;
}

}  // namespace

FileLoad loadScanFile(db::Connection& c, int stocktakeId, const QString& path, const QString& place,
                      const QString& operatorName, const QDateTime& now) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("不能读取文件“%1”：%2").arg(path, file.errorString()));
    const QStringList lines =
        decode(file.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    static const QRegularExpression separator(QStringLiteral("[,;\t]"));
    FileLoad load;
    QString labelPlace = place;
    bool first = true;
    for (const QString& line : lines) {
        QStringList fields = line.split(separator);
        for (QString& f : fields) {
            f = f.trimmed();
            // A CSV field may be quoted.
            if (f.size() >= 2 && f.startsWith(QLatin1Char('"')) && f.endsWith(QLatin1Char('"')))
                f = f.mid(1, f.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        }
        const QString code = fields.value(0);
        if (code.isEmpty()) continue;
        const bool titles = first && isTitleLine(code);
        first = false;
        if (titles) continue;
        if (const auto labelled = placeOfLabel(code)) {
            labelPlace = *labelled;
            ++load.placeLabels;
            continue;
        }
        const QString linePlace = fields.value(1).isEmpty() ? labelPlace : fields.value(1);
        const ScanOutcome o =
            recordScan(c, stocktakeId, code, linePlace, operatorName, timeOf(fields.value(2), now));
        ++load.scans;
        ++load.byResult[std::size_t(o.result)];
    }
    return load;
}

QString fileLoadText(const FileLoad& load) {
    QStringList parts;
    for (std::size_t i = 0; i < load.byResult.size(); ++i)
        parts << resultText(ScanResult(i)) + QLatin1Char(' ') + QString::number(load.byResult[i]);
    return QStringLiteral("共导入%1个扫描：").arg(load.scans) + parts.join(QStringLiteral("，"));
}

}  // namespace fx::stocktake
