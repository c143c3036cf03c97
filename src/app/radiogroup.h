#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace fx::ui {

// A captioned group of radio buttons with one selected item, addressed by its index: the
// program's radio groups store that index in settings and build conditions from it. The items
// are laid out top to bottom in the given number of columns. itemIndexChanged is emitted
// whenever the selection changes, by a click or by setItemIndex, so that loading a value runs
// the same reactions as clicking it.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr,
               int columns = 1);

    // The selected item, -1 when none is.
    int itemIndex() const;
    // Selects an item; -1 or an index out of range selects none.
    void setItemIndex(int index);
    int count() const { return buttons_.size(); }
    // The radio button of an item (its objectName is the group's name + "_" + index).
    QRadioButton* button(int index) const { return buttons_.value(index); }

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};

}  // namespace fx::ui
