#pragma once

#include <QPixmap>
#include <QWidget>

namespace fx {

// The splash window shown from after the login until the main window first appears: borderless,
// 497 by 372 pixels, centred on the screen, one picture.
class TSplashForm : public QWidget {
    Q_OBJECT

public:
    explicit TSplashForm(QWidget* parent = nullptr);

    static constexpr int kWidth = 497;
    static constexpr int kHeight = 372;

    // Shows the window and paints it at once, before the main window's slow start-up work.
    void showNow();

    // The picture: the product's name over a green-stone ridge.
    static QPixmap picture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace fx
