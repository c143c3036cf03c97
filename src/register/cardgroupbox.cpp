#include "cardgroupbox.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace fx {

void CardGroupBox::setCaption(const QString& caption, const QString& flag) {
    flag_ = flag;
    setTitle(caption + flag);
}

QString CardGroupBox::flag() const {
    return title().endsWith(flag_) ? flag_ : QString();
}

void CardGroupBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // The style draws the frame and leaves the room for the whole caption; the caption itself
    // is drawn here, in two colours.
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        option.palette.setBrush(group, QPalette::WindowText, Qt::transparent);
    option.textColor = Qt::transparent;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);

    const QString flagText = flag();
    const QString caption = title().left(title().size() - flagText.size());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(label, flags, caption);
    if (flagText.isEmpty()) return;
    QRect rest = label;
    rest.setLeft(label.left() + fontMetrics().horizontalAdvance(caption));
    painter.setPen(flagColour());
    painter.drawText(rest, flags, flagText);
}

}  // namespace fx
