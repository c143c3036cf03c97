#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace fx::stocktake {

// "跟进备注": the remark kept on the missing assets selected in the stocktake's missing list
// (where they may be, who is looking for them). An empty remark clears it.
class FollowUpDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "stocktake.html")
public:
    FollowUpDlg(int assets, const QString& remark, QWidget* parent = nullptr);

    QLineEdit* FollowUpEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    QString remark() const;
};

}  // namespace fx::stocktake
