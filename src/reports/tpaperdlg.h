#pragma once

#include <QDialog>
#include <QStringList>

#include "report.h"
#include "theme.h"
#include "typeaheadbox.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace fx::report {

// What the transfer target dialog needs: the caption of the place field, the lists to choose
// from and whether a custodian can be chosen at all.
struct TransferTargetSetup {
    QString placeCaption;  // "位  置：" or "使用者：" (a batch: "位　置：" or "使用者：")
    QStringList places;            // every `wz` of `wzb`, or every `pname` of `person`
    QStringList custodians;        // every `pname` of `person`
    bool custodianEnabled = true;  // false when the assets are held by users
    Theme theme = Theme::Colourful;
};

// The paper dialog ("请选择打印纸张"): paper and orientation for the lists the results window
// prints. Transfers reconfigure it as the target dialog ("请输入调拨目标") with typing lists
// that narrow as the user types, the user copied into the custodian list while the first field
// names a user, and the "打印交接单"/"先预览后打印" choice.
class TpaperDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "printing.html")

public:
    explicit TpaperDlg(QWidget* parent = nullptr);

    // Turns the dialog into the transfer target dialog: caption, note, labels, typing lists
    // with empty texts, the check boxes shown and the dialog's colour.
    void configureAsTransferTarget(const TransferTargetSetup& setup);

    // The first-field caption of a batch transfer: by location or by user.
    static QString batchPlaceCaption(bool byLocation);
    // The target dialog's own colour (red 186, green 197, blue 218), kept under the colourful
    // theme.
    static QColor ownColour();

    // Paper use: the choice as the list report applies it ("自定义" is the printer's paper).
    Paper paper() const;
    Orientation orientation() const;
    // Proposes an orientation before the dialog shows ("纵向" or "横向" in the second list).
    void proposeOrientation(Orientation orientation);

    // Transfer use: the texts chosen, trimmed, and the slip choice.
    QString target() const;
    QString custodian() const;
    bool printSlip() const;
    bool previewFirst() const;

    QLabel* Label1;  // the note
    QLabel* Label2;  // "纸张尺寸：", or the place caption
    QLabel* Label3;  // "打印方向：", or "保管人："
    dictionary::TypeAheadBox* ComboBox1;
    dictionary::TypeAheadBox* ComboBox2;
    QCheckBox* CheckBox1;  // "打印交接单"
    QCheckBox* CheckBox2;  // "先预览后打印"
    QPushButton* BitBtn1;  // "确定"
    QPushButton* BitBtn2;  // "取消"

    // "确定": an empty first field is refused with a message and the dialog stays open.
    void BitBtn1Click();
    // Keeps "先预览后打印" visible exactly while "打印交接单" is ticked.
    void CheckBox1Click();
    // Enter in a list moves on to the next control that can take it.
    void ComboBox1Enter();
    void ComboBox2Enter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copyUserToCustodian(const QString& text);
    static void trimText(dictionary::TypeAheadBox* box);

    dictionary::TypeAheadState typeAhead_;
};

}  // namespace fx::report
