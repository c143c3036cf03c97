#include "splashwindow.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace fx {

namespace {

const QString kProductName = QStringLiteral("青石岭通用固定资产管理系统");

// One layer of hills across the picture, from a list of crest heights.
QPainterPath ridge(const QList<QPointF>& crest, qreal bottom) {
    QPainterPath path(QPointF(crest.first().x(), bottom));
    path.lineTo(crest.first());
    for (int i = 1; i < crest.size(); ++i) {
        const QPointF a = crest[i - 1];
        const QPointF b = crest[i];
        const qreal mid = (a.x() + b.x()) / 2;
        path.cubicTo(QPointF(mid, a.y()), QPointF(mid, b.y()), b);
    }
    path.lineTo(QPointF(crest.last().x(), bottom));
    path.closeSubpath();
    return path;
}

}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), picture_(picture()) {
    setObjectName(QStringLiteral("TSplashForm"));
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void TSplashForm::showNow() {
    show();
    repaint();
}

void TSplashForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

QPixmap TSplashForm::picture() {
    const int w = kWidth;
    const int h = kHeight;
    QPixmap pm(w, h);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // Morning sky.
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(193, 218, 238));
    sky.setColorAt(0.6, QColor(236, 244, 250));
    sky.setColorAt(1.0, QColor(255, 255, 255));
    p.fillRect(pm.rect(), sky);

    // Three ridges of blue-green stone, the nearest the darkest.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 185, 190));
    p.drawPath(ridge({{0, 230}, {90, 190}, {200, 215}, {320, 170}, {420, 205}, {497, 185}}, h));
    p.setBrush(QColor(92, 140, 140));
    p.drawPath(ridge({{0, 270}, {120, 235}, {230, 262}, {350, 225}, {497, 255}}, h));
    p.setBrush(QColor(46, 96, 100));
    p.drawPath(ridge({{0, 320}, {140, 295}, {280, 318}, {400, 292}, {497, 310}}, h));

    // The product's name, with a soft shadow so it reads over the sky.
    QFont title(QStringLiteral("AR PL UKai"));
    title.setPixelSize(32);
    title.setBold(true);
    p.setFont(title);
    const QRect titleBox(0, 60, w, 60);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(titleBox.translated(2, 2), Qt::AlignCenter, kProductName);
    p.setPen(QColor(30, 70, 90));
    p.drawText(titleBox, Qt::AlignCenter, kProductName);

    QFont sub(QStringLiteral("AR PL UMing"));
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(QColor(60, 90, 110));
    p.drawText(QRect(0, 120, w, 24), Qt::AlignCenter,
               QStringLiteral("版本 ") + QStringLiteral(FX_VERSION));

    p.setPen(QColor(235, 245, 245));
    p.drawText(QRect(0, h - 34, w - 16, 24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("正在启动，请稍候……"));

    // A thin frame, since the window has no border of its own.
    p.setPen(QPen(QColor(46, 96, 100), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pm;
}

}  // namespace fx
