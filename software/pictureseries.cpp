#include "pictureseries.h"

#include "exportdialogs.h"

#include <QDir>
#include <QImage>

void PictureSeries::start(const QString &folder, const QDateTime &time)
{
    m_folder = folder;
    m_stem = QStringLiteral("camera_") + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    m_count = 0;
    m_lastFileName.clear();
    m_active = true;
}

void PictureSeries::stop()
{
    m_active = false;
}

SaveResult PictureSeries::save(const QImage &picture)
{
    m_lastFileName = QDir(m_folder).filePath(
            QStringLiteral("%1_%2.png").arg(m_stem).arg(m_count + 1, 6, 10, QLatin1Char('0')));
    const SaveResult result = saveWholeFile(m_lastFileName, pngBytes(picture));
    if (result == SaveResult::Saved)
        ++m_count;
    return result;
}
