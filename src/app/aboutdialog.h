#pragma once

#include <QDialog>

#include "theme.h"

class QLabel;
class QPushButton;

namespace fx {

// "关于": the product's name, version and maker.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(Theme theme, QWidget* parent = nullptr);

    static QString productName();  // "青石岭通用固定资产管理系统"
    static QString version();      // "版本 " followed by the build's version

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;
    QPushButton* OKButton;  // "确定"
};

}  // namespace fx
