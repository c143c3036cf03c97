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
    enum class Stage { Done, OpenSource, CreateTarget, Write, Check };
    Stage stage = Stage::Done;
    QString message;  // the system's message, naming the file, when not Done
    bool ok() const { return stage == Stage::Done; }
};

// Checks a copy while the disk is still writing it; returns an empty string when it is good,
// else what is wrong with it.
using CopyCheck = std::function<QString()>;

// Creates (or empties) target and copies the whole of source into it with copyInChunks, then
// flushes it and its folder to the disk. The check, if any, runs once the bytes are in place,
// while the disk writes them (the wait for the disk comes after it); a refused copy ends with
// the stage Check and the check's words. A failed copy leaves a partial target for the caller
// to remove.
CopyOutcome copyFileInChunks(const QString& source, const QString& target,
                             const ChunkProgress& progress, const CopyCheck& check = {});

// True when the two files hold the same bytes.
bool sameContent(const QString& a, const QString& b);

// Flushes a folder's entries (after a rename or a new file) to the disk.
void syncDirectoryOf(const QString& path);

}  // namespace fx::backup
