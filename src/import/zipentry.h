#pragma once

#include <QIODevice>
#include <QString>

struct zip;
struct zip_file;

namespace fx::import {

// An .xlsx file opened as a zip archive (libzip), read only. Entries are found by name and read
// as streams; nothing is ever extracted to disk.
class ZipArchive {
public:
    // Opens the archive; throws ReadError with the user's message when it is not a whole zip
    // file (damaged, truncated, encrypted, of another kind).
    explicit ZipArchive(const QString& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const QString& name) const;
    zip* handle() const { return zip_; }

private:
    zip* zip_ = nullptr;
};

// One entry of an archive as a sequential device, for QXmlStreamReader. Refuses, before
// reading, an entry that claims more than limit bytes unpacked or is encrypted, and stops with
// an error when the data unpacks to more than it claimed (or to more than the limit) or fails
// its checksum: a zip bomb or a damaged file never fills memory.
class ZipEntryDevice : public QIODevice {
public:
    // Throws ReadError when the entry is missing, encrypted or claims too much.
    ZipEntryDevice(const ZipArchive& archive, const QString& name, qint64 limit);
    ~ZipEntryDevice() override;

    bool isSequential() const override { return true; }
    // True when reading stopped because the data was damaged or too large.
    bool failed() const { return failed_; }
    // The message for the user when failed().
    const QString& failure() const { return failure_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file* file_ = nullptr;
    qint64 claimed_ = 0;
    qint64 limit_ = 0;
    qint64 read_ = 0;
    bool failed_ = false;
    QString failure_;
};

// The messages of a damaged or oversized archive.
namespace text {
QString damagedXlsx();
QString encryptedFile();
QString oversizedPart();
}  // namespace text

}  // namespace fx::import
