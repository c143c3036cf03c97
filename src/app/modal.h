#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace fx::ui {

// Runs a dialog modally and returns its result (QDialog::Accepted or Rejected). Every modal
// dialog of the program goes through here; no other code calls QDialog::exec.
int runModal(QDialog& dialog);

// Replaces the modal loop with a handler that fills in and closes the dialog directly (tests).
// The handler returns the dialog's result. An empty handler restores the real loop.
using ModalHandler = std::function<int(QDialog& dialog)>;
void setModalHandler(ModalHandler handler);

// The standard open and save dialogs, replaceable by tests the same way. They return the chosen
// path, or an empty string when the user cancelled.
struct FileRequest {
    bool save = false;
    QString caption;
    QString directory;  // start folder, or a full default path for saving
    QString filter;     // "备份文件 (*.qsl)" style
};
QString chooseFile(QWidget* parent, const FileRequest& request);
using FileHandler = std::function<QString(const FileRequest&)>;
void setFileHandler(FileHandler handler);

// Opens a document (help, an exported workbook) with the desktop's default program. Tests
// replace it to see what would have been opened. Returns false when nothing could open it.
bool openDocument(const QString& path);
using OpenHandler = std::function<bool(const QString& path)>;
void setOpenHandler(OpenHandler handler);

}  // namespace fx::ui
