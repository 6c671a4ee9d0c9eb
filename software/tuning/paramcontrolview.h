#ifndef PARAMCONTROLVIEW_H
#define PARAMCONTROLVIEW_H

#include "paramset.h"
#include "sendthrottle.h"

#include <QByteArray>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QSlider>
#include <QTimer>

class QGridLayout;

// The widgets of one control of the tuning panel, in one row of a grid: its
// name, then a slider with a number box, a number box, a switch or a button.
// It asks for its bytes to be sent when the user moves or clicks it, a
// moving slider no more often than its throttle lets it.
class ParamControlView : public QObject
{
    Q_OBJECT

public:
    // Puts its widgets into row of grid, which owns them from then on.
    ParamControlView(const ParamControl &control, QGridLayout *grid, int row,
                     QObject *parent = nullptr);
    ~ParamControlView() override;

    // The control with the value it shows now.
    const ParamControl &control() const { return m_control; }
    // The widget the user works: the slider, number box, switch or button.
    QWidget *input() const { return m_input; }
    QSlider *slider() const { return m_slider; }
    QDoubleSpinBox *numberBox() const { return m_numberBox; }

signals:
    void sendRequested(const QByteArray &bytes);

private:
    void sliderMoved(int position);
    void numberChanged(double value);
    // The user set value, by dragging or otherwise.
    void valueChosen(double value, bool dragging);
    void sendValue(std::optional<double> value);
    void sendDue();
    int positionOf(double value) const;

    ParamControl m_control;
    // The grid's widget owns them and may go first.
    QPointer<QLabel> m_label;
    QPointer<QWidget> m_input;
    QPointer<QSlider> m_slider;
    QPointer<QDoubleSpinBox> m_numberBox;
    SendThrottle m_throttle;
    QTimer m_dueTimer;
    QElapsedTimer m_clock;
};

#endif // PARAMCONTROLVIEW_H
