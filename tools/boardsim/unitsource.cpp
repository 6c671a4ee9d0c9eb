#include "unitsource.h"

#include "camerasource.h"
#include "capturereplaysource.h"
#include "ccdsource.h"
#include "plotsource.h"
#include "replaysource.h"
#include "scopesource.h"
#include "simoptions.h"
#include "textsource.h"

#include <QFile>

std::unique_ptr<UnitSource> createUnitSource(const SimOptions &options, QString &error,
                                             QString *warning)
{
    switch (options.mode) {
    case SimMode::Text:
        return std::make_unique<TextSource>(options.rate, options.seed);
    case SimMode::Scope:
        return std::make_unique<ScopeSource>(options.rate, options.frequencies, options.amplitudes,
                                             options.seed);
    case SimMode::Ccd:
        return std::make_unique<CcdSource>(options.rate, options.seed);
    case SimMode::Camera:
        return std::make_unique<CameraSource>(options.width, options.height, options.rate,
                                              options.seed, options.cameraFraming, options.jpeg);
    case SimMode::Plot:
        return std::make_unique<PlotSource>(options.plotFraming, options.channels, options.rate,
                                            options.seed);
    case SimMode::Replay: {
        QFile file(options.file);
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read '%1': %2").arg(options.file, file.errorString());
            return nullptr;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            error = QStringLiteral("cannot read '%1': %2").arg(options.file, file.errorString());
            return nullptr;
        }
        if (bytes.isEmpty()) {
            error = QStringLiteral("'%1' is empty: nothing to replay").arg(options.file);
            return nullptr;
        }
        QList<CaptureRecord> records;
        QString damage;
        if (!CaptureReplaySource::readCapture(bytes, records, damage))
            return std::make_unique<ReplaySource>(bytes, options.loop);
        if (warning)
            *warning = damage;
        if (records.isEmpty()) {
            error = QStringLiteral("'%1' is a capture without records: nothing to replay")
                            .arg(options.file);
            return nullptr;
        }
        return std::make_unique<CaptureReplaySource>(records, options.loop);
    }
    }
    error = QStringLiteral("unknown mode");
    return nullptr;
}
