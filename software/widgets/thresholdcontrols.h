#ifndef THRESHOLDCONTROLS_H
#define THRESHOLDCONTROLS_H

#include "algorithmlibrary.h"
#include "greylevels.h"
#include "settingsgroup.h"

#include <QString>

class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;

// How a grey tab binarizes, over the widgets of the tab's own form: three
// mode buttons, a fixed threshold in a spin box that a slider mirrors, and
// the custom algorithm, chosen in the loader's dialog and named in a
// read-only line edit. Each tab has its own, so each keeps its own
// algorithm. The tab's slots call in here; what the tab refreshes afterwards
// is the tab's own rule.
class ThresholdControls
{
public:
    struct Widgets
    {
        QRadioButton *midValue;
        QRadioButton *fixedValue;
        QRadioButton *custom;
        QSpinBox *threshold;
        QSlider *slider;
        QLineEdit *algorithmName;
    };

    // Gives the spin box and the slider the range of a grey level.
    explicit ThresholdControls(const Widgets &widgets);

    ThresholdMode mode() const;
    int fixedThreshold() const;
    // The custom algorithm's entry point, or null.
    ImgProcFunc algorithm() const { return m_imgProc; }
    // The library whose ImgProc the custom mode calls; empty without one.
    QString algorithmPath() const;

    // Mirrors the spin box's new value on the slider. True when the fixed
    // mode is on and so cuts at the new value.
    bool spinBoxChanged(int value);
    // Mirrors the slider's new value in the spin box, whose own change
    // follows. Setting a control to the value it has emits nothing, so the
    // two never loop.
    void sliderChanged(int value);

    // Asks for a library in the loader's dialog and shows the name it gives.
    void chooseAlgorithm();
    // The custom mode's button: asks only while there is no algorithm.
    void chooseAlgorithmIfNone();
    // Loads the library at path without asking or telling the user anything.
    // False, changing nothing, when it gives no ImgProc.
    bool loadAlgorithmQuietly(const QString &path);

    // The mode, the fixed threshold and the plug-in's path, in the tab's group.
    void save(SettingsGroup &group) const;
    // Takes each valid value. The plug-in is loaded before the mode is
    // chosen, so that a custom mode finds its algorithm; the mode's button is
    // checked without a click, so no dialog opens. True when the mode or the
    // algorithm was taken: the tab then refreshes as after a click.
    bool restore(const SettingsGroup &group);

private:
    Widgets m_widgets;
    ImgProcFunc m_imgProc = nullptr;
};

#endif // THRESHOLDCONTROLS_H
