#include "zipentry.h"

#include <QFile>
#include <array>
#include <cstdint>
#include <vector>

namespace fx::test {

namespace {

quint32 le16(const QByteArray& b, qsizetype at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8;
}

quint32 le32(const QByteArray& b, qsizetype at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

// Bit reader over the deflate stream, least significant bit first.
class Bits {
public:
    explicit Bits(const QByteArray& data) : data_(data) {}
    bool bits(int n, int* out) {
        int value = 0;
        for (int i = 0; i < n; ++i) {
            if (pos_ >= data_.size() * 8) return false;
            const int bit = (quint8(data_[pos_ / 8]) >> (pos_ % 8)) & 1;
            value |= bit << i;
            ++pos_;
        }
        *out = value;
        return true;
    }
    void alignToByte() { pos_ = (pos_ + 7) / 8 * 8; }
    qsizetype bytePos() const { return pos_ / 8; }
    void skipBytes(qsizetype n) { pos_ += n * 8; }
    const QByteArray& data() const { return data_; }

private:
    const QByteArray& data_;
    qsizetype pos_ = 0;
};

// A canonical Huffman code: symbol counts per length and symbols in code order.
struct Huffman {
    std::array<int, 16> count{};
    std::vector<int> symbol;
};

bool build(Huffman* h, const int* lengths, int n) {
    h->count.fill(0);
    for (int i = 0; i < n; ++i) ++h->count[std::size_t(lengths[i])];
    h->count[0] = 0;
    std::array<int, 16> offset{};
    for (int len = 1; len < 16; ++len)
        offset[std::size_t(len)] = offset[std::size_t(len - 1)] + h->count[std::size_t(len - 1)];
    h->symbol.assign(std::size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0) h->symbol[std::size_t(offset[std::size_t(lengths[i])]++)] = i;
    }
    return true;
}

bool decode(Bits& in, const Huffman& h, int* out) {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
        int bit = 0;
        if (!in.bits(1, &bit)) return false;
        code |= bit;
        const int count = h.count[std::size_t(len)];
        if (code - count < first) {
            *out = h.symbol[std::size_t(index + (code - first))];
            return true;
        }
        index += count;
        first += count;
        first <<= 1;
        code <<= 1;
    }
    return false;
}

const int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistBase[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                          6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

bool codes(Bits& in, QByteArray* out, const Huffman& lit, const Huffman& dist) {
    for (;;) {
        int sym = 0;
        if (!decode(in, lit, &sym)) return false;
        if (sym < 256) {
            out->append(char(sym));
        } else if (sym == 256) {
            return true;
        } else {
            sym -= 257;
            if (sym >= 29) return false;
            int extra = 0;
            if (!in.bits(kLengthExtra[sym], &extra)) return false;
            const int length = kLengthBase[sym] + extra;
            int d = 0;
            if (!decode(in, dist, &d) || d >= 30) return false;
            if (!in.bits(kDistExtra[d], &extra)) return false;
            const qsizetype distance = kDistBase[d] + extra;
            if (distance > out->size()) return false;
            for (int i = 0; i < length; ++i) out->append(out->at(out->size() - distance));
        }
    }
}

bool fixedBlock(Bits& in, QByteArray* out) {
    int lengths[288];
    int i = 0;
    for (; i < 144; ++i) lengths[i] = 8;
    for (; i < 256; ++i) lengths[i] = 9;
    for (; i < 280; ++i) lengths[i] = 7;
    for (; i < 288; ++i) lengths[i] = 8;
    Huffman lit, dist;
    build(&lit, lengths, 288);
    for (i = 0; i < 30; ++i) lengths[i] = 5;
    build(&dist, lengths, 30);
    return codes(in, out, lit, dist);
}

bool dynamicBlock(Bits& in, QByteArray* out) {
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int nlen = 0, ndist = 0, ncode = 0;
    if (!in.bits(5, &nlen) || !in.bits(5, &ndist) || !in.bits(4, &ncode)) return false;
    nlen += 257;
    ndist += 1;
    ncode += 4;
    int lengths[320] = {};
    for (int i = 0; i < ncode; ++i) {
        if (!in.bits(3, &lengths[order[i]])) return false;
    }
    Huffman lencode;
    build(&lencode, lengths, 19);
    int index = 0;
    while (index < nlen + ndist) {
        int sym = 0;
        if (!decode(in, lencode, &sym)) return false;
        if (sym < 16) {
            lengths[index++] = sym;
            continue;
        }
        int repeat = 0, len = 0;
        if (sym == 16) {
            if (index == 0 || !in.bits(2, &repeat)) return false;
            len = lengths[index - 1];
            repeat += 3;
        } else if (sym == 17) {
            if (!in.bits(3, &repeat)) return false;
            repeat += 3;
        } else {
            if (!in.bits(7, &repeat)) return false;
            repeat += 11;
        }
        if (index + repeat > nlen + ndist) return false;
        while (repeat--) lengths[index++] = len;
    }
    Huffman lit, dist;
    build(&lit, lengths, nlen);
    build(&dist, lengths + nlen, ndist);
    return codes(in, out, lit, dist);
}

}  // namespace

bool inflateRaw(const QByteArray& in, QByteArray* out) {
    Bits bits(in);
    int last = 0;
    do {
        int type = 0;
        if (!bits.bits(1, &last) || !bits.bits(2, &type)) return false;
        if (type == 0) {
            bits.alignToByte();
            const qsizetype at = bits.bytePos();
            if (at + 4 > in.size()) return false;
            const quint32 len = le16(in, at);
            if (at + 4 + qsizetype(len) > in.size()) return false;
            out->append(in.mid(at + 4, qsizetype(len)));
            bits.skipBytes(4 + qsizetype(len));
        } else if (type == 1) {
            if (!fixedBlock(bits, out)) return false;
        } else if (type == 2) {
            if (!dynamicBlock(bits, out)) return false;
        } else {
            return false;
        }
    } while (!last);
    return true;
}

bool readZipEntry(const QString& zipPath, const QString& entry, QByteArray* out, QString* error) {
    QFile f(zipPath);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return false;
    }
    const QByteArray zip = f.readAll();
    // The end of central directory record: signature 0x06054b50 within the last 64 KiB.
    qsizetype end = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 65557; --at) {
        if (le32(zip, at) == 0x06054b50) {
            end = at;
            break;
        }
    }
    if (end < 0) {
        *error = QStringLiteral("no end of central directory");
        return false;
    }
    const quint32 entries = le16(zip, end + 10);
    qsizetype at = qsizetype(le32(zip, end + 16));
    const QByteArray wanted = entry.toUtf8();
    for (quint32 i = 0; i < entries; ++i) {
        if (at + 46 > zip.size() || le32(zip, at) != 0x02014b50) break;
        const quint32 method = le16(zip, at + 10);
        const quint32 compressed = le32(zip, at + 20);
        const quint32 nameLen = le16(zip, at + 28);
        const quint32 extraLen = le16(zip, at + 30);
        const quint32 commentLen = le16(zip, at + 32);
        const qsizetype local = qsizetype(le32(zip, at + 42));
        const QByteArray name = zip.mid(at + 46, nameLen);
        at += 46 + nameLen + extraLen + commentLen;
        if (name != wanted) continue;
        if (local + 30 > zip.size() || le32(zip, local) != 0x04034b50) break;
        const qsizetype data = local + 30 + le16(zip, local + 26) + le16(zip, local + 28);
        const QByteArray raw = zip.mid(data, compressed);
        out->clear();
        if (method == 0) {
            *out = raw;
            return true;
        }
        if (method == 8 && inflateRaw(raw, out)) return true;
        *error = QStringLiteral("cannot inflate ") + entry;
        return false;
    }
    *error = QStringLiteral("no entry ") + entry;
    return false;
}

}  // namespace fx::test
