#include "chunkedcopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "diskflush.h"
#include "filemode.h"

namespace fx::backup {

namespace {

QString systemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Copies length bytes at offset with plain reads and writes (for file systems where the kernel
// cannot copy between the two files itself).
bool copyByReading(int in, int out, qint64 offset, qint64 length, int& error) {
    static constexpr qint64 kBuffer = 1 << 20;
    std::vector<char> buffer(static_cast<size_t>(std::min(length, kBuffer)));
    while (length > 0) {
        const size_t want = static_cast<size_t>(std::min<qint64>(length, kBuffer));
        const ssize_t got = ::pread(in, buffer.data(), want, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            error = got == 0 ? EIO : errno;  // the source ended before its size
            return false;
        }
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put =
                ::pwrite(out, buffer.data() + done, size_t(got - done), offset + done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                error = put == 0 ? ENOSPC : errno;
                return false;
            }
            done += put;
        }
        offset += got;
        length -= got;
    }
    return true;
}

// Copies length bytes at offset, letting the kernel move the data where it can.
bool copyRange(int in, int out, qint64 offset, qint64 length, int& error) {
    off_t inOffset = offset;
    off_t outOffset = offset;
    while (length > 0) {
        const ssize_t n = ::copy_file_range(in, &inOffset, out, &outOffset, size_t(length), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return copyByReading(in, out, inOffset, length, error);
        if (n <= 0) {
            error = n == 0 ? EIO : errno;
            return false;
        }
        length -= n;
    }
    return true;
}

}  // namespace

int progressValue(int chunksCopied) {
    return std::min(chunksCopied * kProgressStep, kProgressMaximum);
}

QString copyInChunks(int sourceFd, int targetFd, qint64 size, const ChunkProgress& progress) {
    int error = 0;
    const qint64 chunk = size / kChunks;
    qint64 position = 0;
    int chunks = 0;
    // Under 60 bytes the chunk is empty and the loop below would never end: such a file is
    // copied whole by the remainder step.
    if (chunk > 0) {
        while (position + chunk <= size) {
            if (!copyRange(sourceFd, targetFd, position, chunk, error)) return systemMessage(error);
            position += chunk;
            ++chunks;
            if (progress) progress(chunks);
        }
    }
    if (position < size && !copyRange(sourceFd, targetFd, position, size - position, error))
        return systemMessage(error);
    return QString();
}

CopyOutcome copyFileInChunks(const QString& source, const QString& target,
                             const ChunkProgress& progress, Flush flush, int mode) {
    using Stage = CopyOutcome::Stage;
    const auto failed = [](Stage stage, const QString& file, int error) {
        return CopyOutcome{stage, file + QStringLiteral("：") + systemMessage(error)};
    };
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return failed(Stage::OpenSource, source, errno);
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int e = errno;
        ::close(in);
        return failed(Stage::OpenSource, source, e);
    }
    const int out = ::open(QFile::encodeName(target).constData(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return failed(Stage::CreateTarget, target, e);
    }
    QString failure = applyMode(out, mode);
    if (failure.isEmpty()) failure = copyInChunks(in, out, st.st_size, progress);
    if (failure.isEmpty()) {
        if (flush == Flush::WaitForDisk)
            failure = flushFile(out);
        else
            ::sync_file_range(out, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    if (::close(out) != 0 && failure.isEmpty()) failure = systemMessage(errno);
    ::close(in);
    if (!failure.isEmpty()) return {Stage::Write, target + QStringLiteral("：") + failure};
    if (flush == Flush::WaitForDisk) {
        const QString folder = flushFolderOf(target);
        if (!folder.isEmpty()) return {Stage::Write, folder};
    }
    return {};
}

}  // namespace fx::backup
