#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

namespace fx::backup {

// The progress bar of a copy runs from 0 to kProgressMaximum and advances by kProgressStep for
// each of the kChunks chunks a file is copied in.
inline constexpr int kChunks = 60;
inline constexpr int kProgressStep = 5;
inline constexpr int kProgressMaximum = kChunks * kProgressStep;

// Told after each whole chunk with the number of chunks copied so far. A file of 3600 bytes or
// more is copied in exactly 60 chunks and a remainder; a smaller file may take more chunks
// (the bar then stops at its maximum) or, under 60 bytes, none.
using ChunkProgress = std::function<void(int chunksCopied)>;

// The bar value after a number of chunks, never past the maximum.
int progressValue(int chunksCopied);

// Copies size bytes from the start of the source to the start of the target in chunks of
// size / 60 bytes and a remainder; a file under 60 bytes is copied in one go. Returns an empty
// string on success, else the system's message.
QString copyInChunks(int sourceFd, int targetFd, qint64 size, const ChunkProgress& progress);

// How a file copy ended.
struct CopyOutcome {
    enum class Stage { Done, OpenSource, CreateTarget, Write };
    Stage stage = Stage::Done;
    QString message;  // the system's message, naming the file, when not Done
    bool ok() const { return stage == Stage::Done; }
};

// How far a finished copy is pushed towards the disk before copyFileInChunks returns.
//  - WaitForDisk: the copy is flushed (fsync), and the folder entry naming it too.
//  - StartWriting: the kernel is told to start writing the copy out, and the call returns
//    without waiting; the caller flushes it later (a backup checks the copy meanwhile).
enum class Flush { WaitForDisk, StartWriting };

// Creates (or empties) target with the given mode (filemode.h; applied whatever the umask)
// and copies the whole of source into it with copyInChunks, then flushes it as asked. A failed
// copy or flush leaves a partial target for the caller to remove.
CopyOutcome copyFileInChunks(const QString& source, const QString& target,
                             const ChunkProgress& progress, Flush flush, int mode);

}  // namespace fx::backup
