#ifndef PICTURESERIES_H
#define PICTURESERIES_H

#include "filesaving.h"

#include <QDateTime>
#include <QString>

class QImage;

// Saves pictures one after the other as numbered PNG files into a folder:
// camera_20240501-140307_000001.png, _000002.png, ... named after the time
// the series began, so that a later series in the same folder adds files
// beside the earlier ones instead of replacing them (camera_..._000001.png
// becomes camera_...-2_000001.png for a second series within one second).
class PictureSeries
{
public:
    void start(const QString &folder, const QDateTime &time);
    void stop();
    bool isActive() const { return m_active; }

    // Saves picture as the next file of the series, whole or not at all.
    SaveResult save(const QImage &picture);

    QString folder() const { return m_folder; }
    // Pictures saved since start.
    int count() const { return m_count; }
    // The file the last save wrote, or failed to write.
    QString lastFileName() const { return m_lastFileName; }

private:
    QString fileName(int number) const;

    QString m_folder;
    QString m_stem;
    int m_count = 0;
    QString m_lastFileName;
    bool m_active = false;
};

#endif // PICTURESERIES_H
