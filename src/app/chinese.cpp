#include "chinese.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace fx::ui {

namespace {

// The file chooser's kinds of file, which Qt's Chinese catalogue does not translate.
class FileKindTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const QHash<QByteArray, QString> kinds = {
            {"Folder", QStringLiteral("文件夹")},     {"Drive", QStringLiteral("驱动器")},
            {"File", QStringLiteral("文件")},         {"%1 File", QStringLiteral("%1 文件")},
            {"Shortcut", QStringLiteral("快捷方式")}, {"Unknown", QStringLiteral("未知")},
            {"Alias", QStringLiteral("替身")}};
        return kinds.value(QByteArray(sourceText));
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

void useChineseSystemLocale() {
    qputenv("LC_ALL", "zh_CN.UTF-8");
}

bool installChineseTranslations(QCoreApplication& app) {
    app.installTranslator(new FileKindTranslator(&app));
    auto* qt = new QTranslator(&app);
    if (!qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                  QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    app.installTranslator(qt);
    return true;
}

}  // namespace fx::ui
