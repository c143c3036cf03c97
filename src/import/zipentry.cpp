#include "zipentry.h"

#include <zip.h>

#include <QFile>

#include "sheettable.h"

namespace fx::import {

namespace text {

QString damagedXlsx() {
    return QStringLiteral(
        "该文件已损坏或不是 Excel 工作簿（.xlsx），不能导入。请用 Excel 打开并另存后再试。");
}

QString encryptedFile() {
    return QStringLiteral(
        "该文件设有打开密码（已加密），不能导入。请在 Excel 中取消密码、另存后再导入。");
}

QString oversizedPart() {
    return QStringLiteral(
        "该文件解压后的内容过大（超过 1 GB），可能已损坏或是恶意构造的文件，不能导入。");
}

}  // namespace text

namespace {

// Office files protected by a password are not zip archives but OLE compound files.
bool isCompoundFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return f.read(8) == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

}  // namespace

ZipArchive::ZipArchive(const QString& path) {
    if (!QFile::exists(path)) throw ReadError(QStringLiteral("文件不存在：") + path);
    if (QFile(path).size() == 0)
        throw ReadError(QStringLiteral("文件是空的，没有可以导入的内容。"));
    if (isCompoundFile(path)) throw ReadError(text::encryptedFile());
    int error = 0;
    zip_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip_) throw ReadError(text::damagedXlsx());
}

ZipArchive::~ZipArchive() {
    if (zip_) zip_discard(zip_);
}

bool ZipArchive::contains(const QString& name) const {
    return zip_name_locate(zip_, name.toUtf8().constData(), 0) >= 0;
}

ZipEntryDevice::ZipEntryDevice(const ZipArchive& archive, const QString& name, qint64 limit)
    : limit_(limit) {
    const QByteArray entry = name.toUtf8();
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(archive.handle(), entry.constData(), 0, &st) != 0)
        throw ReadError(text::damagedXlsx());
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        throw ReadError(text::encryptedFile());
    if (!(st.valid & ZIP_STAT_SIZE)) throw ReadError(text::damagedXlsx());
    claimed_ = qint64(st.size);
    if (claimed_ < 0 || claimed_ > limit_) throw ReadError(text::oversizedPart());
    file_ = zip_fopen(archive.handle(), entry.constData(), 0);
    if (!file_) throw ReadError(text::damagedXlsx());
    open(QIODevice::ReadOnly);
}

ZipEntryDevice::~ZipEntryDevice() {
    if (file_) zip_fclose(file_);
}

qint64 ZipEntryDevice::readData(char* data, qint64 maxSize) {
    if (failed_) return -1;
    const zip_int64_t n = zip_fread(file_, data, zip_uint64_t(maxSize));
    if (n < 0) {
        failed_ = true;
        failure_ = text::damagedXlsx();
        return -1;
    }
    read_ += n;
    if (read_ > claimed_ || read_ > limit_) {
        failed_ = true;
        failure_ = text::oversizedPart();
        return -1;
    }
    return n;
}

}  // namespace fx::import
