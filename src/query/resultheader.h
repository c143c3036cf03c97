#pragma once

#include <QHeaderView>

namespace fx::query {

// The results grid's column titles: movable and resizable sections that report when the mouse
// button that ended a click or a drag has been released, after the header has handled it. The
// window uses that to forget a pending "ignore the click that ends the drag" whether or not the
// toolkit reported such a click.
class ResultHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit ResultHeader(QWidget* parent = nullptr);

signals:
    void released();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace fx::query
