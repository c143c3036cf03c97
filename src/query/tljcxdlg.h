#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::query {

// The logical query, "逻辑查寻": up to six rows of field, operator and value joined by "并且"
// and "或者". "确定" builds one parenthesised condition text that the query command appends to
// the asset query; the rows are joined in order, so the database's precedence applies (并且
// binds tighter than 或者).
class TljcxDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "query.html")

public:
    static constexpr int kRows = 6;

    explicit TljcxDlg(AppState& app, QWidget* parent = nullptr);
    ~TljcxDlg() override;

    QGroupBox* GroupBox1;  // "查寻条件"
    // Row k (1..6): field ComboBox(3k-2), operator ComboBox(3k-1), value Edit(k), connector
    // ComboBox(3k) for rows 1 to 5.
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QComboBox* ComboBox3;
    QComboBox* ComboBox4;
    QComboBox* ComboBox5;
    QComboBox* ComboBox6;
    QComboBox* ComboBox7;
    QComboBox* ComboBox8;
    QComboBox* ComboBox9;
    QComboBox* ComboBox10;
    QComboBox* ComboBox11;
    QComboBox* ComboBox12;
    QComboBox* ComboBox13;
    QComboBox* ComboBox14;
    QComboBox* ComboBox15;
    QComboBox* ComboBox16;
    QComboBox* ComboBox17;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QPushButton* BitBtn1;  // "确定"
    QPushButton* BitBtn2;  // "取消"

    // The controls of row k (1..6); connector is null for row 6.
    QComboBox* fieldBox(int k) const;
    QComboBox* operatorBox(int k) const;
    QLineEdit* valueBox(int k) const;
    QComboBox* connectorBox(int k) const;

    // Chooses an entry by its text as the user would, running the reaction (tests).
    void chooseField(int k, const QString& caption);
    void chooseOperator(int k, const QString& op);
    void chooseConnector(int k, const QString& connector);

    // ---- behaviour ---------------------------------------------------------------------------
    // A field chosen in row k: the operator list of its kind, no operator, an empty value box,
    // enabled only for kinds that take a value.
    void FieldChange(int k);
    // A connector chosen in row k: "并且"/"或者" enable row k+1; the empty entry resets it.
    void ConnectorChange(int k);
    // Row k's value box left: the check of its field. False (after the message, with the focus
    // and the text selected back in the box) when the value is refused.
    bool ValueExit(int k);
    // "确定": builds the condition text; closes with OK unless a row is incomplete.
    void BitBtn1Click();
    // The condition text built by "确定" (empty after a cancel or an empty first row).
    const QString& conditionText() const { return condition_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setRowEnabled(int k, bool on);
    // Builds the condition text; false when a row is incomplete.
    bool build();

    AppState& app_;
    QString condition_;
};

}  // namespace fx::query
