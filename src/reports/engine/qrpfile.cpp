#include "qrpfile.h"

#include <cmath>

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace fx::report {

namespace {

constexpr char kSignature[8] = {'F', 'X', 'Q', 'R', 'P', '\r', '\n', '\x1a'};
// Counts beyond these mean a damaged file, not a report.
constexpr quint32 kMaxPages = 1000000;
constexpr quint32 kMaxItems = 50000000;
// All the pictures of one report together (about 256 MB unpacked).
constexpr qint64 kMaxPixels = 64 * 1024 * 1024;
// A page is at most ten metres each way.
constexpr double kMaxPageMm = 10000;

void setError(QString* error, const QString& message) {
    if (error) *error = message;
}

void writeColor(QDataStream& out, const QColor& c) {
    out << quint8(c.isValid() ? 1 : 0) << quint32(c.isValid() ? c.rgba() : 0);
}

QColor readColor(QDataStream& in) {
    quint8 valid = 0;
    quint32 rgba = 0;
    in >> valid >> rgba;
    return valid ? QColor::fromRgba(rgba) : QColor();
}

void writeRect(QDataStream& out, const QRectF& r) {
    out << double(r.x()) << double(r.y()) << double(r.width()) << double(r.height());
}

QRectF readRect(QDataStream& in) {
    double x = 0, y = 0, w = 0, h = 0;
    in >> x >> y >> w >> h;
    return QRectF(x, y, w, h);
}

void writePrimitive(QDataStream& out, const Primitive& p) {
    out << quint8(p.kind) << p.band << p.item;
    writeRect(out, p.rect);
    out << double(p.line.x1()) << double(p.line.y1()) << double(p.line.x2()) << double(p.line.y2());
    out << p.text << p.font.family << double(p.font.pointSize)
        << quint8((p.font.bold ? 1 : 0) | (p.font.italic ? 2 : 0) | (p.font.underline ? 4 : 0));
    out << quint8(p.align);
    writeColor(out, p.color);
    out << double(p.penWidth);
    writeColor(out, p.fill);
    // Images as 32-bit ARGB pixels, compressed: exact, and the same format on reading.
    const QImage image =
        p.image.isNull() ? QImage() : p.image.convertToFormat(QImage::Format_ARGB32);
    QByteArray pixels;
    if (!image.isNull()) {
        for (int y = 0; y < image.height(); ++y)
            pixels.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4);
    }
    out << qint32(image.width()) << qint32(image.height()) << qCompress(pixels);
    if (p.kind == Primitive::Kind::Barcode) {
        out << quint8(p.symbology) << quint32(p.bars.size());
        for (const QRectF& bar : p.bars) writeRect(out, bar);
    }
}

// Reads the bars of a barcode; a count beyond what the file holds ends at its end.
bool readBars(QDataStream& in, Primitive& p) {
    quint8 symbology = 0;
    quint32 count = 0;
    in >> symbology >> count;
    if (in.status() != QDataStream::Ok || symbology > quint8(Symbology::Code128) ||
        count > kMaxItems)
        return false;
    p.symbology = Symbology(symbology);
    for (quint32 i = 0; i < count; ++i) {
        const QRectF bar = readRect(in);
        if (in.status() != QDataStream::Ok) return false;
        p.bars.push_back(bar);
    }
    return true;
}

// Reads one primitive of a file of `version`; an image takes its pixels from pixelBudget, the
// pixels a whole file may hold.
bool readPrimitive(QDataStream& in, quint16 version, Primitive& p, qint64& pixelBudget) {
    quint8 kind = 0, flags = 0, align = 0;
    in >> kind >> p.band >> p.item;
    const Primitive::Kind last = version >= 2 ? Primitive::Kind::Barcode : Primitive::Kind::Image;
    if (kind > quint8(last)) return false;
    p.kind = Primitive::Kind(kind);
    p.rect = readRect(in);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, size = 0, pen = 0;
    in >> x1 >> y1 >> x2 >> y2;
    p.line = QLineF(x1, y1, x2, y2);
    in >> p.text >> p.font.family >> size >> flags;
    p.font.pointSize = size;
    p.font.bold = flags & 1;
    p.font.italic = flags & 2;
    p.font.underline = flags & 4;
    in >> align;
    if (align > quint8(HAlign::Right)) return false;
    p.align = HAlign(align);
    p.color = readColor(in);
    in >> pen;
    p.penWidth = pen;
    p.fill = readColor(in);
    qint32 width = 0, height = 0;
    QByteArray compressed;
    in >> width >> height >> compressed;
    if (width < 0 || height < 0) return false;
    const qint64 pixelCount = qint64(width) * height;
    if (pixelCount > pixelBudget) return false;
    pixelBudget -= pixelCount;
    if (width > 0 && height > 0) {
        // The packed data names its unpacked size first; it must be the image's, before any
        // memory is given to it.
        if (compressed.size() < 4) return false;
        const auto* head = reinterpret_cast<const uchar*>(compressed.constData());
        const qint64 unpacked =
            (qint64(head[0]) << 24) | (head[1] << 16) | (head[2] << 8) | head[3];
        if (unpacked != pixelCount * 4) return false;
        const QByteArray pixels = qUncompress(compressed);
        if (pixels.size() != pixelCount * 4) return false;
        QImage image(width, height, QImage::Format_ARGB32);
        if (image.isNull()) return false;
        for (int y = 0; y < height; ++y)
            memcpy(image.scanLine(y), pixels.constData() + qint64(y) * width * 4,
                   size_t(width) * 4);
        p.image = image;
    }
    if (p.kind == Primitive::Kind::Barcode && !readBars(in, p)) return false;
    return in.status() == QDataStream::Ok;
}

}  // namespace

bool writeQrp(const Document& document, QIODevice& device, QString* error) {
    QDataStream out(&device);
    out.setVersion(QDataStream::Qt_6_0);
    if (out.writeRawData(kSignature, sizeof kSignature) != int(sizeof kSignature)) {
        setError(error, QStringLiteral("写入报表文件失败：%1").arg(device.errorString()));
        return false;
    }
    out << kQrpVersion << document.title << quint32(document.pages.size());
    for (const Page& page : document.pages) {
        out << double(page.size.width()) << double(page.size.height());
        out << quint32(page.bands.size());
        for (const BandPlacement& b : page.bands) {
            out << b.band << quint8(b.kind);
            writeRect(out, b.rect);
            out << qint32(b.record);
        }
        out << quint32(page.primitives.size());
        for (const Primitive& p : page.primitives) writePrimitive(out, p);
    }
    if (out.status() != QDataStream::Ok) {
        setError(error, QStringLiteral("写入报表文件失败：%1").arg(device.errorString()));
        return false;
    }
    return true;
}

bool writeQrpFile(const Document& document, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("无法创建文件“%1”：%2").arg(path, file.errorString()));
        return false;
    }
    if (!writeQrp(document, file, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, QStringLiteral("无法保存文件“%1”：%2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

std::optional<Document> readQrp(QIODevice& device, QString* error) {
    const QString notReport = QStringLiteral("该文件不是本系统保存的报表文件。");
    const QString damaged = QStringLiteral("报表文件已损坏或不完整。");
    QDataStream in(&device);
    in.setVersion(QDataStream::Qt_6_0);
    char signature[sizeof kSignature] = {};
    if (in.readRawData(signature, sizeof signature) != int(sizeof signature) ||
        !std::equal(std::begin(signature), std::end(signature), std::begin(kSignature))) {
        setError(error, notReport);
        return std::nullopt;
    }
    quint16 version = 0;
    in >> version;
    if (in.status() != QDataStream::Ok) {
        setError(error, damaged);
        return std::nullopt;
    }
    if (version == 0 || version > kQrpVersion) {
        setError(error, QStringLiteral("该报表文件由较新版本的程序保存，无法打开。"));
        return std::nullopt;
    }
    Document doc;
    quint32 pageCount = 0;
    in >> doc.title >> pageCount;
    if (in.status() != QDataStream::Ok || pageCount > kMaxPages) {
        setError(error, damaged);
        return std::nullopt;
    }
    doc.pages.reserve(pageCount);
    qint64 pixelBudget = kMaxPixels;
    for (quint32 i = 0; i < pageCount; ++i) {
        Page page;
        double w = 0, h = 0;
        quint32 bandCount = 0, primCount = 0;
        in >> w >> h >> bandCount;
        // A page of no size, or of an absurd one, cannot be shown; such a file is damaged.
        const bool sizeOk = std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0 &&
                            w <= kMaxPageMm && h <= kMaxPageMm;
        if (in.status() != QDataStream::Ok || !sizeOk || bandCount > kMaxItems) {
            setError(error, damaged);
            return std::nullopt;
        }
        page.size = QSizeF(w, h);
        for (quint32 b = 0; b < bandCount; ++b) {
            BandPlacement placement;
            quint8 kind = 0;
            qint32 record = -1;
            in >> placement.band >> kind;
            placement.rect = readRect(in);
            in >> record;
            if (in.status() != QDataStream::Ok || kind > quint8(BandKind::Child)) {
                setError(error, damaged);
                return std::nullopt;
            }
            placement.kind = BandKind(kind);
            placement.record = record;
            page.bands.push_back(placement);
        }
        in >> primCount;
        if (in.status() != QDataStream::Ok || primCount > kMaxItems) {
            setError(error, damaged);
            return std::nullopt;
        }
        for (quint32 p = 0; p < primCount; ++p) {
            Primitive prim;
            if (!readPrimitive(in, version, prim, pixelBudget)) {
                setError(error, damaged);
                return std::nullopt;
            }
            page.primitives.push_back(std::move(prim));
        }
        doc.pages.push_back(std::move(page));
    }
    return doc;
}

std::optional<Document> readQrpFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法打开文件“%1”：%2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return readQrp(file, error);
}

}  // namespace fx::report
