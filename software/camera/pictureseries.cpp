#include "pictureseries.h"

#include "exportdialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

void PictureSeries::start(const QString &folder, const QDateTime &time)
{
    m_folder = folder;
    const QString stem
            = QStringLiteral("camera_") + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    m_stem = stem;
    // A series begun in the same second in the same folder goes beside it.
    for (int n = 2; QFileInfo::exists(fileName(1)); ++n)
        m_stem = stem + QLatin1Char('-') + QString::number(n);
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
    m_lastFileName = fileName(m_count + 1);
    const SaveResult result = saveWholeFile(m_lastFileName, pngBytes(picture));
    if (result == SaveResult::Saved)
        ++m_count;
    return result;
}

QString PictureSeries::fileName(int number) const
{
    return QDir(m_folder).filePath(
            QStringLiteral("%1_%2.png").arg(m_stem).arg(number, 6, 10, QLatin1Char('0')));
}
