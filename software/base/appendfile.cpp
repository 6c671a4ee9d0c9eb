#include "appendfile.h"

#include <QFileInfo>

SaveResult AppendFile::open(const QString &fileName, const QByteArray &header)
{
    close();
    // A named pipe would hold the program until something reads it, and a
    // device cannot be cut back after a failed write.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return SaveResult::OpenFailed;
    m_file.setFileName(fileName);
    // Unbuffered: every record is one write that either lands or is undone,
    // and nothing is left in a buffer when the program ends unexpectedly.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return SaveResult::OpenFailed;
    m_size = 0;
    m_records = 0;
    if (!append(header))
        return SaveResult::WriteFailed;
    m_records = 0;
    return SaveResult::Saved;
}

bool AppendFile::append(const QByteArray &record)
{
    if (!m_file.isOpen())
        return false;
    if (m_file.write(record) != record.size()) {
        // A full disk or a size limit may have let part of it through.
        m_file.resize(m_size);
        m_file.close();
        return false;
    }
    m_size += record.size();
    ++m_records;
    return true;
}

void AppendFile::close()
{
    m_file.close();
}
