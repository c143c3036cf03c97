#include "editfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "batchdialog.h"
#include "cardlists.h"
#include "scripts.h"

namespace fx::test {

void EditTest::choose(QComboBox* list, const QString& text) {
    setListText(list, text);
}

void EditTest::fillCard() {
    choose(form->DBComboBox1, QStringLiteral("电子设备"));
    form->DBComboBox1Exit();
    choose(form->DBComboBox2, QStringLiteral("电脑"));
    form->DBComboBox2Exit();
    choose(form->DBComboBox4, QStringLiteral("教学"));
    choose(form->DBComboBox5, QStringLiteral("X2"));
    form->DBEdit3->setText(QStringLiteral("i7/16G"));
    choose(form->DBComboBox3, QStringLiteral("机房"));
    choose(form->DBComboBox6, QStringLiteral("十年"));
    form->DBEdit1->setText(QStringLiteral("6800"));
    choose(form->DBComboBox7, QStringLiteral("调入"));
    choose(form->DBComboBox8, QStringLiteral("李四"));
    form->DBMemo1->setPlainText(QStringLiteral("新到"));
}

void EditTest::newBatch(int n) {
    ModalScript dialogs;
    dialogs.then<TplzjDlg>([n](TplzjDlg& d) {
        d.SpinEdit1->setValue(n);
        d.BitBtn1Click();
        return d.result();
    });
    form->New1->trigger();
}

void EditTest::show(int serial) {
    form->SpinEdit1->setValue(serial);
    form->showSerial(serial);
}

void EditTest::setNumber(const QString& text) {
    form->ComboBox1->setEditText(text);
}

QString EditTest::numberText() const {
    return form->ComboBox1->currentText();
}

}  // namespace fx::test
