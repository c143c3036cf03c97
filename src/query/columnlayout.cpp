#include "columnlayout.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace fx::query {

namespace {

const QString kHeader = QStringLiteral("[fxasset columns 1]");
constexpr int kMaxWidth = 2000;

QString alignName(LayoutColumn::Align a) {
    switch (a) {
        case LayoutColumn::Align::Right:
            return QStringLiteral("right");
        case LayoutColumn::Align::Center:
            return QStringLiteral("center");
        case LayoutColumn::Align::Left:
            break;
    }
    return QStringLiteral("left");
}

bool alignFromName(const QString& name, LayoutColumn::Align* a) {
    if (name == QLatin1String("left")) {
        *a = LayoutColumn::Align::Left;
    } else if (name == QLatin1String("right")) {
        *a = LayoutColumn::Align::Right;
    } else if (name == QLatin1String("center")) {
        *a = LayoutColumn::Align::Center;
    } else {
        return false;
    }
    return true;
}

// Tabs and line breaks cannot appear inside a field of the file.
QString cleaned(const QString& s) {
    QString out = s;
    out.replace(QLatin1Char('\t'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return out;
}

}  // namespace

QString layoutText(const ColumnList& columns) {
    QString text = kHeader + QLatin1Char('\n');
    for (const LayoutColumn& c : columns) {
        text += cleaned(c.field) + QLatin1Char('\t') + cleaned(c.title) + QLatin1Char('\t') +
                QString::number(qBound(1, c.width, kMaxWidth)) + QLatin1Char('\t') +
                alignName(c.align) + QLatin1Char('\t') +
                (c.visible ? QStringLiteral("shown") : QStringLiteral("hidden")) +
                QLatin1Char('\n');
    }
    return text;
}

bool parseLayoutText(const QString& text, ColumnList* columns) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    ColumnList parsed;
    bool headerSeen = false;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (!headerSeen) {
            if (line.trimmed() != kHeader) return false;
            headerSeen = true;
            continue;
        }
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() != 5) return false;
        LayoutColumn c;
        c.field = parts[0].trimmed();
        c.title = parts[1];
        bool ok = false;
        c.width = parts[2].toInt(&ok);
        if (!ok || c.width < 1 || c.width > kMaxWidth || c.field.isEmpty()) return false;
        if (!alignFromName(parts[3].trimmed(), &c.align)) return false;
        const QString shown = parts[4].trimmed();
        if (shown == QLatin1String("shown")) {
            c.visible = true;
        } else if (shown == QLatin1String("hidden")) {
            c.visible = false;
        } else {
            return false;
        }
        parsed.push_back(c);
    }
    if (!headerSeen || parsed.empty()) return false;
    *columns = std::move(parsed);
    return true;
}

bool readLayoutFile(const QString& path, ColumnList* columns, QString* error) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile f(path);
    if (!f.exists()) {
        if (error) *error = QStringLiteral("列表格式文件“%1”不存在。").arg(shown);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("不能读取列表格式文件“%1”：%2").arg(shown, f.errorString());
        return false;
    }
    const QByteArray bytes = f.readAll();
    auto decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || !parseLayoutText(text, columns)) {
        if (error) *error = QStringLiteral("列表格式文件“%1”已损坏，不能使用。").arg(shown);
        return false;
    }
    return true;
}

bool writeLayoutFile(const QString& path, const ColumnList& columns, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = QStringLiteral("不能写入列表格式文件“%1”：%2")
                         .arg(QDir::toNativeSeparators(path), f.errorString());
        }
        return false;
    }
    f.write(layoutText(columns).toUtf8());
    if (!f.commit()) {
        if (error) {
            *error = QStringLiteral("不能写入列表格式文件“%1”：%2")
                         .arg(QDir::toNativeSeparators(path), f.errorString());
        }
        return false;
    }
    return true;
}

ColumnList builtInColumns() {
    using A = LayoutColumn::Align;
    return {
        {QStringLiteral("ID1"), QStringLiteral("序号"), 42, A::Center, true},
        {QStringLiteral("sbmc"), QStringLiteral("名称"), 80, A::Left, true},
        {QStringLiteral("zclb"), QStringLiteral("资产类别"), 80, A::Left, true},
        {QStringLiteral("sbxh"), QStringLiteral("型号"), 100, A::Left, true},
        {QStringLiteral("wz"), QStringLiteral("位置(使用者)"), 90, A::Left, true},
        {QStringLiteral("yt"), QStringLiteral("用途"), 64, A::Left, true},
        {QStringLiteral("bxq"), QStringLiteral("使用年限"), 64, A::Left, true},
        {QStringLiteral("gmrq"), QStringLiteral("购买日期"), 80, A::Left, true},
        {QStringLiteral("gmjg"), QStringLiteral("购买价格"), 80, A::Right, true},
        {QStringLiteral("sbpz"), QStringLiteral("设备配置"), 160, A::Left, true},
    };
}

}  // namespace fx::query
