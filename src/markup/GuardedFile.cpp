#include "GuardedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

GuardedRead failure(GuardedRead::Status status, const QString &error)
{
    GuardedRead result;
    result.status = status;
    result.error = error;
    return result;
}

#ifdef Q_OS_UNIX
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"adresář"_s;
    if (S_ISFIFO(mode))
        return u"pojmenovaná roura"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"zařízení"_s;
    if (S_ISSOCK(mode))
        return u"soket"_s;
    return u"zvláštní soubor"_s;
}
#endif

} // namespace

GuardedOpen openGuardedFile(QFile &file, const QString &path, qint64 maxBytes)
{
    GuardedOpen result;
#ifdef Q_OS_UNIX
    // Opened without waiting (a pipe would otherwise block here until written to), then
    // judged by what is really open, so a file swapped for a pipe meanwhile is caught.
    const QByteArray native = QFile::encodeName(path);
    // A socket cannot even be opened; a look at the name comes first.
    struct stat named {};
    if (::stat(native.constData(), &named) == 0 && !S_ISREG(named.st_mode)) {
        result.status = GuardedRead::Status::NotRegularFile;
        result.error = u"%1 je %2, ne soubor."_s.arg(path, kindOf(named.st_mode));
        return result;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        file.setFileName(path);
        file.open(QIODevice::ReadOnly);
        result.error = file.errorString();
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const mode_t mode = info.st_mode;
        ::close(fd);
        result.status = GuardedRead::Status::NotRegularFile;
        result.error = u"%1 je %2, ne soubor."_s.arg(path, kindOf(mode));
        return result;
    }
    if (maxBytes >= 0 && info.st_size > maxBytes) {
        ::close(fd);
        result.status = GuardedRead::Status::TooLarge;
        result.error = tooLargeFileMessage(path);
        return result;
    }
    // Reads from a regular file never block; clearing the flag keeps reads plain.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.error = file.errorString();
        return result;
    }
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.status = GuardedRead::Status::NotRegularFile;
        result.error = u"%1 je %2, ne soubor."_s.arg(path, info.isDir() ? u"adresář"_s : u"zvláštní soubor"_s);
        return result;
    }
    if (maxBytes >= 0 && info.size() > maxBytes) {
        result.status = GuardedRead::Status::TooLarge;
        result.error = tooLargeFileMessage(path);
        return result;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
#endif
    result.status = GuardedRead::Status::Ok;
    return result;
}

GuardedRead readGuardedFile(const QString &path, qint64 maxBytes)
{
    QFile file;
    const GuardedOpen opened = openGuardedFile(file, path, maxBytes);
    if (!opened.ok())
        return failure(opened.status, opened.error);
    // Up to one byte more than allowed, so a file that grew after its size was taken is
    // still caught without reading all of it.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(GuardedRead::Status::CannotOpen, file.errorString());
    if (bytes.size() > maxBytes)
        return failure(GuardedRead::Status::TooLarge, tooLargeFileMessage(path));
    GuardedRead result;
    result.status = GuardedRead::Status::Ok;
    result.bytes = std::move(bytes);
    return result;
}

QString tooLargeFileMessage(const QString &path)
{
    return u"Soubor %1 je příliš velký: editor pojme nejvýše %2 znaků."_s.arg(
        path, QString::number(MaxDocumentLength));
}

QString doesNotFitMessage()
{
    return u"Text se do dokumentu nevejde: editor pojme nejvýše %1 znaků. Dokument zůstal beze změny."_s.arg(
        MaxDocumentLength);
}

QString commitFile(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    // A small file stays in the write buffer until commit, whose final flush does not
    // report a full disk: flush and check here, so a failed write never replaces the file.
    if (!file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
