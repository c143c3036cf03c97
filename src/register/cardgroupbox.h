#pragma once

#include <QColor>
#include <QGroupBox>

namespace fx {

// The card's group box. Its caption may end in a flag ("（已报废）") that must catch the eye:
// the flag is drawn in red after the caption, which keeps the normal text colour. title() is
// the whole text, flag included.
class CardGroupBox : public QGroupBox {
    Q_OBJECT

public:
    using QGroupBox::QGroupBox;

    void setCaption(const QString& caption, const QString& flag = QString());
    // The flag the caption ends in; empty when none.
    QString flag() const;
    static QColor flagColour() { return QColor(200, 0, 0); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString flag_;
};

}  // namespace fx
