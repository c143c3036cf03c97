#pragma once

#include <QRect>
#include <QString>
#include <vector>

namespace fx::report {

// The symbologies a barcode item can draw.
enum class Symbology : quint8 { QrCode, Code128 };

// The name the text dump and messages use ("qrcode", "code128").
QString symbologyName(Symbology symbology);
// The quiet zone the symbology's standard asks for, in modules on each side (QR: 4 all round;
// Code 128: 10 left and right).
int standardQuietZone(Symbology symbology);

// An encoded symbol: its size in modules and its dark modules as rectangles (in modules, from the
// symbol's top left corner, without quiet zone). A linear code is one row high; its bars run the
// item's whole height.
struct BarcodeSymbol {
    int columns = 0;
    int rows = 0;
    std::vector<QRect> bars;
    QString error;  // why the data could not be encoded; empty when it was

    bool ok() const { return error.isEmpty() && columns > 0 && rows > 0; }
};

// Encodes `data` through libzint. A QR code holds the text as UTF-8 (error correction level M),
// marked as such (ECI 26) when it is not plain ASCII; Code 128 takes Latin-1 text only. An
// empty text or one the symbology cannot hold gives a symbol with an error and no bars.
BarcodeSymbol encodeBarcode(Symbology symbology, const QString& data);

// Turns a grid of modules (rows of equal length, true = dark) into few rectangles: runs of dark
// modules in a row, and a run repeated exactly in the rows below grown into one taller
// rectangle. The rectangles cover exactly the dark modules and never overlap.
std::vector<QRect> mergeModules(const std::vector<std::vector<bool>>& grid);

}  // namespace fx::report
