#pragma once

#include <QDialog>

#include "historyquery.h"
#include "querystate.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::query {

// "变更记录" of the card: the change history of the asset with serial, newest first, in the
// results window.
void listChangeHistory(QWidget* parent, AppState& app, QueryState& state, int serial);

// "操作记录查询…" (administrator): the filter dialog, then the rows it asks for, newest first, in
// the results window. Nothing is listed when the dialog is cancelled.
void queryChangeHistory(QWidget* parent, AppState& app, QueryState& state);

// The filter dialog of the change history: days from and to, user, operation, asset number.
class TczjlcxDlg : public QDialog {
    Q_OBJECT

public:
    explicit TczjlcxDlg(AppState& app, QWidget* parent = nullptr);

    QDateEdit* DateFrom;      // first day, today at first
    QDateEdit* DateTo;        // last day, today at first
    QComboBox* UserBox;       // "" (every user) and the accounts
    QComboBox* OperationBox;  // "" (every operation) and the operations recorded
    QLineEdit* NumberEdit;    // an asset number, empty for every asset
    QPushButton* BitBtn1;     // "确定"
    QPushButton* BitBtn2;     // "取消"

    // What the dialog asks for, as filled in.
    history::HistoryFilter filter() const;
};

}  // namespace fx::query
