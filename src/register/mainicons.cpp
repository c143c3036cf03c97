#include "mainicons.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace fx::icons {

namespace {

constexpr int kSize = 32;

// Starts drawing on a blank picture, with smooth edges.
void canvas(QPainter& p, QPixmap& pm) {
    pm = QPixmap(kSize, kSize);
    pm.fill(Qt::transparent);
    p.begin(&pm);
    p.setRenderHint(QPainter::Antialiasing);
}

QIcon magnifier() {
    QPixmap pm;
    QPainter p;
    canvas(p, pm);
    p.setPen(QPen(QColor(40, 70, 120), 3));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QRectF(5, 5, 16, 16));
    p.setPen(QPen(QColor(90, 60, 30), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
    p.end();
    return QIcon(pm);
}

QIcon book() {
    QPixmap pm;
    QPainter p;
    canvas(p, pm);
    p.setPen(QPen(QColor(60, 40, 20), 1.5));
    p.setBrush(QColor(170, 50, 40));
    p.drawRoundedRect(QRectF(7, 4, 18, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10, 7, 12, 6));
    p.end();
    return QIcon(pm);
}

QIcon key() {
    QPixmap pm;
    QPainter p;
    canvas(p, pm);
    p.setPen(QPen(QColor(150, 110, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(240, 200, 60));
    p.drawEllipse(QRectF(4, 4, 12, 12));
    p.drawLine(QPointF(14, 14), QPointF(27, 27));
    p.drawLine(QPointF(23, 23), QPointF(27, 19));
    p.drawLine(QPointF(20, 20), QPointF(23, 17));
    p.end();
    return QIcon(pm);
}

QIcon clock() {
    QPixmap pm;
    QPainter p;
    canvas(p, pm);
    p.setPen(QPen(QColor(150, 30, 30), 2.5));
    p.setBrush(QColor(255, 240, 220));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(16, 8));
    p.drawLine(QPointF(16, 16), QPointF(22, 19));
    p.end();
    return QIcon(pm);
}

QIcon outgoing() {
    QPixmap pm;
    QPainter p;
    canvas(p, pm);
    p.setPen(QPen(QColor(30, 90, 40), 1.5));
    p.setBrush(QColor(230, 200, 140));
    p.drawRect(QRectF(3, 10, 14, 14));
    QPainterPath arrow;
    arrow.moveTo(14, 14);
    arrow.lineTo(22, 14);
    arrow.lineTo(22, 9);
    arrow.lineTo(29, 17);
    arrow.lineTo(22, 25);
    arrow.lineTo(22, 20);
    arrow.lineTo(14, 20);
    arrow.closeSubpath();
    p.setBrush(QColor(60, 160, 70));
    p.drawPath(arrow);
    p.end();
    return QIcon(pm);
}

QIcon standard(QStyle::StandardPixmap which) {
    return QApplication::style()->standardIcon(which);
}

QPixmap themeMark(bool ticked) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(ticked ? QColor(193, 218, 238) : QColor(Qt::white));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    if (ticked) {
        p.setPen(QPen(QColor(20, 90, 20), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 11), QPointF(11.5, 5)}));
    }
    return pm;
}

}  // namespace

namespace {

QIcon drawnOrStandard(Tool tool) {
    switch (tool) {
        case Tool::Query:
            return magnifier();
        case Tool::Requery:
            return standard(QStyle::SP_BrowserReload);
        case Tool::All:
            return standard(QStyle::SP_FileDialogListView);
        case Tool::Lent:
            return outgoing();
        case Tool::Due:
            return clock();
        case Tool::Transfer:
            return standard(QStyle::SP_ArrowRight);
        case Tool::Scrap:
            return standard(QStyle::SP_TrashIcon);
        case Tool::Modify:
            return standard(QStyle::SP_FileDialogDetailedView);
        case Tool::Delete:
            return standard(QStyle::SP_DialogDiscardButton);
        case Tool::New:
            return standard(QStyle::SP_FileIcon);
        case Tool::Save:
            return standard(QStyle::SP_DialogSaveButton);
        case Tool::Cancel:
            return standard(QStyle::SP_DialogCancelButton);
        case Tool::Dictionary:
            return book();
        case Tool::Password:
            return key();
        case Tool::System:
            return standard(QStyle::SP_ComputerIcon);
        case Tool::Help:
            return standard(QStyle::SP_DialogHelpButton);
    }
    return QIcon();
}

// The picture of a command that is off: grey and faint.
QPixmap greyed(const QPixmap& picture) {
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

QIcon toolPicture(Tool tool) {
    // Every picture the same size, so that the captions under them line up, and with a greyed
    // form of its own for a disabled command (some standard pictures bring a disabled form that
    // is as dark as the enabled one).
    const QIcon source = drawnOrStandard(tool);
    QPixmap picture;
    QPainter p;
    canvas(p, picture);
    const QPixmap drawn = source.pixmap(QSize(kSize, kSize));
    const QSize fitted = drawn.size().scaled(kSize, kSize, Qt::KeepAspectRatio);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRect(QPoint((kSize - fitted.width()) / 2, (kSize - fitted.height()) / 2), fitted),
                 drawn);
    p.end();
    QIcon icon;
    icon.addPixmap(picture, QIcon::Normal);
    icon.addPixmap(greyed(picture), QIcon::Disabled);
    return icon;
}

QIcon themeTicked() {
    return QIcon(themeMark(true));
}

QIcon themeUnticked() {
    return QIcon(themeMark(false));
}

QPixmap banner() {
    QPixmap pm(300, 44);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 300, 0);
    fill.setColorAt(0, QColor(40, 90, 150));
    fill.setColorAt(1, QColor(40, 90, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 4, 300, 36), 6, 6);
    QFont f(QStringLiteral("楷体_GB2312"));
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(12, 4, 288, 36), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("青石岭固定资产管理"));
    return pm;
}

}  // namespace fx::icons
