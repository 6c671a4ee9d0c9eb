#include "capturesource.h"

namespace {

// A raw dump is read in blocks of this size.
constexpr qint64 kRawBlock = 1 << 20;

} // namespace

CaptureSource::CaptureSource(const QString &path)
    : m_file(path)
{ }

bool CaptureSource::open(QString &error)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        error = m_file.errorString();
        return false;
    }
    if (rewind())
        return true;
    error = QStringLiteral("a capture of version %1, which this tool cannot read")
                    .arg(m_reader->version());
    return false;
}

bool CaptureSource::rewind()
{
    m_status = CaptureReader::Status::Record;
    if (!m_file.seek(0))
        return false;
    m_reader.emplace(&m_file);
    switch (m_reader->open()) {
    case CaptureReader::Kind::Raw:
        m_capture = false;
        return true;
    case CaptureReader::Kind::Capture:
        m_capture = true;
        return true;
    case CaptureReader::Kind::UnsupportedVersion:
        break;
    }
    return false;
}

bool CaptureSource::next(CaptureRecord &record)
{
    if (!m_capture) {
        record.micros = 0;
        record.bytes = m_file.read(kRawBlock);
        return !record.bytes.isEmpty();
    }
    m_status = m_reader->next(record);
    return m_status == CaptureReader::Status::Record;
}

bool CaptureSource::damaged() const
{
    return m_status == CaptureReader::Status::Truncated
            || m_status == CaptureReader::Status::Corrupt;
}

QString CaptureSource::damageText() const
{
    if (m_status == CaptureReader::Status::Truncated)
        return QStringLiteral("the file ends inside a record");
    if (m_status == CaptureReader::Status::Corrupt)
        return QStringLiteral("a record that cannot be (too long, or going back in time)");
    return QString();
}
