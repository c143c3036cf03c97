#include "displaylist.h"

namespace fx::report {

bool operator==(const Primitive& a, const Primitive& b) {
    return a.kind == b.kind && a.band == b.band && a.item == b.item && a.rect == b.rect &&
           a.line == b.line && a.text == b.text && a.font == b.font && a.align == b.align &&
           a.color == b.color && a.penWidth == b.penWidth && a.fill == b.fill &&
           a.image == b.image && a.symbology == b.symbology && a.bars == b.bars;
}

}  // namespace fx::report
