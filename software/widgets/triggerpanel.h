#ifndef TRIGGERPANEL_H
#define TRIGGERPANEL_H

#include "settingsgroup.h"
#include "trigger.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The trigger's controls, in four compact rows: the box that switches it on
// (off at first), its state and the re-arm button; source and edge; mode and
// pre-trigger share; level and noise band. In a narrow panel the level and
// the band get a row each, wide enough for any value. The tab applies what
// they say.
class TriggerPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TriggerPanel(bool narrow, QWidget *parent = nullptr);

    bool isOn() const;
    void setOn(bool on);
    // The source list's entries; the one chosen last is chosen again when it
    // exists, as a plot's channels come and go.
    void setSourceNames(const QStringList &names);
    int source() const;
    void setSource(int index);
    Trigger::Settings settings() const;
    void setSettings(const Trigger::Settings &settings);
    // Shown after the level and the band, as "V".
    void setUnit(const QString &unit);
    // The level goes from -bound to bound, the band from 0 to bound.
    void setLevelBound(double bound);
    // Shown beside the box while the trigger is on.
    void setState(Trigger::State state);

    // Under "trigger/" in the tab's group.
    void save(SettingsGroup &group) const;
    // Takes each valid value.
    void restore(const SettingsGroup &group);

    // A plot has at most 64 channels.
    static constexpr int kMaxSources = 64;

signals:
    // Any setting, the box or the source changed.
    void changed();
    void rearmClicked();

private:
    QCheckBox *m_on;
    QLabel *m_state;
    QPushButton *m_rearm;
    QComboBox *m_source;
    QComboBox *m_edge;
    QComboBox *m_mode;
    QSpinBox *m_pre;
    QDoubleSpinBox *m_level;
    QDoubleSpinBox *m_band;
    int m_wantedSource = 0;
};

#endif // TRIGGERPANEL_H
