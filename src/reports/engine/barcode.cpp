#include "barcode.h"

#include <zint.h>

#include <algorithm>
#include <memory>

namespace fx::report {

namespace {

// libzint keeps each row of modules as bits, eight modules to a byte, the first module in the
// lowest bit.
bool moduleIsSet(const zint_symbol& s, int row, int column) {
    return (s.encoded_data[row][column >> 3] >> (column & 7)) & 1;
}

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

}  // namespace

QString symbologyName(Symbology symbology) {
    switch (symbology) {
        case Symbology::QrCode:
            return QStringLiteral("qrcode");
        case Symbology::Code128:
            return QStringLiteral("code128");
    }
    return {};
}

int standardQuietZone(Symbology symbology) {
    return symbology == Symbology::QrCode ? 4 : 10;
}

BarcodeSymbol encodeBarcode(Symbology symbology, const QString& data) {
    BarcodeSymbol out;
    if (data.isEmpty()) {
        out.error = QStringLiteral("没有要编码的内容");
        return out;
    }
    std::unique_ptr<zint_symbol, SymbolDeleter> s(ZBarcode_Create());
    if (!s) {
        out.error = QStringLiteral("条码库无法分配内存");
        return out;
    }
    const QByteArray bytes = data.toUtf8();
    switch (symbology) {
        case Symbology::QrCode:
            s->symbology = BARCODE_QRCODE;
            s->input_mode = DATA_MODE;  // the UTF-8 bytes as they are
            // Beyond ASCII the code says that it holds UTF-8 (ECI 26): without it readers guess
            // the encoding and some take Chinese for Shift JIS.
            if (bytes.size() != data.size()) s->eci = 26;
            s->option_1 = 2;  // level M: a scratched label still reads
            break;
        case Symbology::Code128:
            s->symbology = BARCODE_CODE128;
            s->input_mode = UNICODE_MODE;  // refuses what Latin-1 cannot hold
            break;
    }
    const int rc = ZBarcode_Encode(
        s.get(), reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
    if (rc >= ZINT_ERROR) {
        out.error = QString::fromUtf8(s->errtxt);
        return out;
    }
    out.columns = s->width;
    out.rows = symbology == Symbology::QrCode ? s->rows : 1;
    std::vector<std::vector<bool>> grid(size_t(out.rows), std::vector<bool>(size_t(out.columns)));
    for (int r = 0; r < out.rows; ++r)
        for (int c = 0; c < out.columns; ++c) grid[size_t(r)][size_t(c)] = moduleIsSet(*s, r, c);
    out.bars = mergeModules(grid);
    return out;
}

std::vector<QRect> mergeModules(const std::vector<std::vector<bool>>& grid) {
    std::vector<QRect> done;
    std::vector<QRect> open;  // rectangles reaching down to the previous row, left to right
    for (size_t y = 0; y < grid.size(); ++y) {
        const std::vector<bool>& row = grid[y];
        std::vector<QRect> next;
        size_t j = 0;
        for (size_t x = 0; x < row.size();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const size_t start = x;
            while (x < row.size() && row[x]) ++x;
            const int left = int(start), width = int(x - start);
            while (j < open.size() && open[j].x() < left) done.push_back(open[j++]);
            if (j < open.size() && open[j].x() == left && open[j].width() == width) {
                QRect grown = open[j++];
                grown.setHeight(grown.height() + 1);
                next.push_back(grown);
            } else {
                next.emplace_back(left, int(y), width, 1);
            }
        }
        while (j < open.size()) done.push_back(open[j++]);
        open = std::move(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    std::sort(done.begin(), done.end(), [](const QRect& a, const QRect& b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    return done;
}

}  // namespace fx::report
