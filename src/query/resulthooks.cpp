#include "resulthooks.h"

namespace fx::query {

namespace {

PrintHandler& printSlot() {
    static PrintHandler h;
    return h;
}

BatchTransferHandler& transferSlot() {
    static BatchTransferHandler h;
    return h;
}

}  // namespace

void setPrintHandler(PrintHandler handler) {
    printSlot() = std::move(handler);
}

const PrintHandler& printHandler() {
    return printSlot();
}

void setBatchTransferHandler(BatchTransferHandler handler) {
    transferSlot() = std::move(handler);
}

const BatchTransferHandler& batchTransferHandler() {
    return transferSlot();
}

}  // namespace fx::query
