#include "modal.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace fx::ui {

namespace {

ModalHandler& modalHandler() {
    static ModalHandler h;
    return h;
}

FileHandler& fileHandler() {
    static FileHandler h;
    return h;
}

OpenHandler& openHandler() {
    static OpenHandler h;
    return h;
}

}  // namespace

int runModal(QDialog& dialog) {
    if (modalHandler()) return modalHandler()(dialog);
    return dialog.exec();
}

void setModalHandler(ModalHandler h) {
    modalHandler() = std::move(h);
}

QString chooseFile(QWidget* parent, const FileRequest& request) {
    if (fileHandler()) return fileHandler()(request);
    if (request.save)
        return QFileDialog::getSaveFileName(parent, request.caption, request.directory,
                                            request.filter);
    return QFileDialog::getOpenFileName(parent, request.caption, request.directory, request.filter);
}

void setFileHandler(FileHandler h) {
    fileHandler() = std::move(h);
}

bool openDocument(const QString& path) {
    if (openHandler()) return openHandler()(path);
    if (!QFileInfo::exists(path)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setOpenHandler(OpenHandler h) {
    openHandler() = std::move(h);
}

}  // namespace fx::ui
