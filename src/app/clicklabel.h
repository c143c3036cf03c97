#pragma once

#include <QLabel>

namespace fx::ui {

// A label that acts as a link: a hand cursor over it, and a click on it emits clicked.
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace fx::ui
