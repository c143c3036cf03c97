#include "radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace fx::ui {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent,
                       int columns)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* grid = new QGridLayout(this);
    const int perColumn = (items.size() + columns - 1) / std::max(columns, 1);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        buttons_.append(b);
        grid->addWidget(b, i % std::max(perColumn, 1), i / std::max(perColumn, 1));
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit itemIndexChanged(id);
    });
    // Items are named after the group, so tests find them once the group has its name.
    connect(this, &QObject::objectNameChanged, this, [this](const QString& name) {
        for (int i = 0; i < buttons_.size(); ++i) {
            buttons_[i]->setObjectName(name + QLatin1Char('_') + QString::number(i));
        }
    });
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index < 0 || index >= buttons_.size()) index = -1;
    if (index == itemIndex()) return;
    if (index >= 0) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group never lets its checked button go; lift that for the moment.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
    emit itemIndexChanged(-1);
}

}  // namespace fx::ui
