#include "algorithmlibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <cstring>

namespace {

// A field of the ELF header or program-header table; zero past the end.
template<typename T>
T fieldAt(const QByteArray &bytes, qint64 offset)
{
    T value = 0;
    if (offset >= 0 && offset + qint64(sizeof value) <= bytes.size())
        std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

// False for an ELF library of this program's word size and byte order whose
// segments reach past the end of the file, as after a copy that failed: the
// system maps it anyway, and touching the missing pages kills the program
// inside the loader. Other ELF files are the system's to refuse.
bool elfSegmentsPresent(QFile &file)
{
    constexpr bool wide = QT_POINTER_SIZE == 8;
    constexpr char elfClass = wide ? 2 : 1;
    constexpr char elfData = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2;
    constexpr qint64 headerSize = wide ? 64 : 52;
    const QByteArray header = file.read(headerSize);
    if (!header.startsWith("\x7F"
                           "ELF"))
        return true;
    if (header.size() < headerSize)
        return false;
    if (header[4] != elfClass || header[5] != elfData)
        return true;

    const quint64 size = quint64(file.size());
    const quint64 tableOffset = wide ? fieldAt<quint64>(header, 32) : fieldAt<quint32>(header, 28);
    const quint16 entrySize = fieldAt<quint16>(header, wide ? 54 : 42);
    const quint16 entries = fieldAt<quint16>(header, wide ? 56 : 44);
    const quint64 tableSize = quint64(entrySize) * entries;
    if (entrySize < (wide ? 56 : 32) || tableOffset > size || tableSize > size - tableOffset)
        return false;
    if (!file.seek(qint64(tableOffset)))
        return false;
    const QByteArray table = file.read(qint64(tableSize));
    if (quint64(table.size()) != tableSize)
        return false;
    constexpr quint32 loadable = 1;
    for (quint64 at = 0; at < tableSize; at += entrySize) {
        if (fieldAt<quint32>(table, qint64(at)) != loadable)
            continue;
        const quint64 offset = wide ? fieldAt<quint64>(table, qint64(at + 8))
                                    : fieldAt<quint32>(table, qint64(at + 4));
        const quint64 length = wide ? fieldAt<quint64>(table, qint64(at + 32))
                                    : fieldAt<quint32>(table, qint64(at + 16));
        if (offset > size || length > size - offset)
            return false;
    }
    return true;
}

// Only a plain file is handed to the system's loader: it would wait forever
// on a named pipe, and crash on a library cut short.
bool isLoadableFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && elfSegmentsPresent(file);
}

} // namespace

AlgorithmLoadResult loadAlgorithmLibrary(const QString &path)
{
    AlgorithmLoadResult result;
    if (!QLibrary::isLibrary(path)) {
        result.errorText
                = QCoreApplication::translate("AlgorithmLibrary", "%1 不是dll文件").arg(path);
        return result;
    }

    // The QLibrary object goes out of scope without unload(), which keeps the
    // library mapped for the rest of the run.
    QLibrary library(path);
    if (!isLoadableFile(path) || !library.load()) {
        result.status = AlgorithmLoadResult::LoadFailed;
        result.errorText = QCoreApplication::translate("AlgorithmLibrary", "无法载入%1").arg(path);
        return result;
    }

    result.imgProc = reinterpret_cast<ImgProcFunc>(library.resolve("ImgProc"));
    if (!result.imgProc) {
        result.status = AlgorithmLoadResult::NoEntryPoint;
        result.errorText
                = QCoreApplication::translate("AlgorithmLibrary", "无效的dll:%1").arg(path);
        return result;
    }
    result.status = AlgorithmLoadResult::Loaded;
    result.fileName = library.fileName();
    return result;
}
