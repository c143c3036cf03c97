#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTranslator>

#include "chinese.h"

namespace fx::ui {
namespace {

TEST(ChineseTexts, QtsOwnDialogsSpeakChinese) {
    ASSERT_TRUE(installChineseTranslations(*qApp));
    // The file chooser's captions and its kinds of file.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
              QStringLiteral("文件夹"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "%1 File"),
              QStringLiteral("%1 文件"));
    QFileDialog chooser;
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    auto* lookIn = chooser.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_NE(lookIn->text(), QStringLiteral("Look in:"));
    EXPECT_NE(chooser.labelText(QFileDialog::FileType), QStringLiteral("Files of type:"));
    // The other tests of this program see Qt's own texts again.
    qDeleteAll(qApp->findChildren<QTranslator*>());
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
              QStringLiteral("Folder"));
}

}  // namespace
}  // namespace fx::ui
