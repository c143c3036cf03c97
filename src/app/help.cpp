#include "help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMetaClassInfo>
#include <QWidget>

#include "appstate.h"
#include "modal.h"
#include "prompt.h"
#include "sharefolders.h"

namespace fx::ui {

namespace {

constexpr const char* kSectionKey = "helpSection";
const QString kContents = QStringLiteral("index.html");

// The section a window declares itself, on the instance or its class; empty when none.
QString ownSection(const QWidget* window) {
    const QVariant own = window->property(kSectionKey);
    if (own.isValid()) return own.toString();
    const QMetaObject* meta = window->metaObject();
    const int index = meta->indexOfClassInfo(kSectionKey);
    return index < 0 ? QString() : QString::fromLatin1(meta->classInfo(index).value());
}

}  // namespace

QString helpSection(const QWidget* widget) {
    for (const QWidget* w = widget ? widget->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        const QString section = ownSection(w);
        if (!section.isEmpty()) return section;
    }
    return kContents;
}

QString helpDocumentPath(const AppState& state, const QString& section) {
    const QString chm = QDir(state.startDir).filePath(QStringLiteral("qslhelp.chm"));
    if (QFileInfo::exists(chm)) return chm;
    // The manual installed with the program comes before the copy an installation was made
    // with, which an update of the program leaves behind.
    QStringList folders = schema::shareDirCandidates(QCoreApplication::applicationDirPath());
    if (!state.appPath.isEmpty()) folders << state.appPath;
    for (const QString& page : {section, kContents}) {
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(QStringLiteral("help/") + page);
            if (QFileInfo::exists(path)) return QDir::cleanPath(path);
        }
    }
    return QString();
}

void openHelp(QWidget* widget, const AppState& state) {
    const QString path = helpDocumentPath(state, helpSection(widget));
    if (!path.isEmpty() && openDocument(path)) return;
    inform(widget, path.isEmpty()
                       ? QStringLiteral("没有找到帮助文件。请把qslhelp.chm放在程序的启动目录中，"
                                        "或重新安装本系统。")
                       : QStringLiteral("无法打开帮助文件") + QDir::toNativeSeparators(path) +
                             QStringLiteral("，请检查系统中是否有可以显示它的程序。"));
}

HelpKey::HelpKey(const AppState& state, QObject* parent) : QObject(parent), state_(state) {}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    openHelp(static_cast<QWidget*>(watched), state_);
    return true;
}

}  // namespace fx::ui
