#include "paramcontrolview.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

ParamControlView::ParamControlView(const ParamControl &control, QGridLayout *grid, int row,
                                   QObject *parent)
    : QObject(parent)
    , m_control(control)
{
    m_clock.start();
    m_dueTimer.setSingleShot(true);
    connect(&m_dueTimer, &QTimer::timeout, this, &ParamControlView::sendDue);
    m_throttle.setSendsOnRelease(control.onRelease);

    const QString tip = control.commandText();
    const auto name = [&](QWidget *widget) {
        widget->setAccessibleName(control.name);
        widget->setToolTip(tip);
    };
    switch (control.type) {
    case ParamControl::Type::Slider:
    case ParamControl::Type::Number: {
        m_label = new QLabel(control.name);
        grid->addWidget(m_label, row, 0);
        m_numberBox = new QDoubleSpinBox;
        m_numberBox->setRange(control.minimum, control.maximum);
        m_numberBox->setDecimals(control.decimals);
        m_numberBox->setSingleStep(control.step);
        m_numberBox->setValue(control.value);
        // Sends what is typed once it is entered, not each digit on the way.
        m_numberBox->setKeyboardTracking(false);
        name(m_numberBox);
        connect(m_numberBox, &QDoubleSpinBox::valueChanged, this, &ParamControlView::numberChanged);
        if (control.type == ParamControl::Type::Slider) {
            m_slider = new QSlider(Qt::Horizontal);
            m_slider->setRange(0, positionOf(control.maximum));
            m_slider->setValue(positionOf(control.value));
            name(m_slider);
            connect(m_slider, &QSlider::valueChanged, this, &ParamControlView::sliderMoved);
            connect(m_slider, &QSlider::sliderReleased, this,
                    [this] { sendValue(m_throttle.release(m_control.value, m_clock.elapsed())); });
            grid->addWidget(m_slider, row, 1);
            grid->addWidget(m_numberBox, row, 2);
            m_input = m_slider;
        } else {
            grid->addWidget(m_numberBox, row, 1, 1, 2);
            m_input = m_numberBox;
        }
        break;
    }
    case ParamControl::Type::Switch: {
        auto *box = new QCheckBox(control.name);
        name(box);
        connect(box, &QCheckBox::toggled, this, [this](bool on) {
            emit sendRequested(
                    CommandTemplate::form(on ? m_control.on : m_control.off, m_control.mode));
        });
        grid->addWidget(box, row, 0, 1, 3);
        m_input = box;
        break;
    }
    case ParamControl::Type::Button: {
        auto *button = new QPushButton(control.name);
        name(button);
        connect(button, &QPushButton::clicked, this, [this] {
            emit sendRequested(CommandTemplate::form(m_control.command, m_control.mode));
        });
        grid->addWidget(button, row, 0, 1, 3);
        m_input = button;
        break;
    }
    }
}

ParamControlView::~ParamControlView()
{
    // The input is the slider or the number box, or neither.
    delete m_label;
    delete m_slider;
    delete m_numberBox;
    delete m_input;
}

int ParamControlView::positionOf(double value) const
{
    return int(std::lround((value - m_control.minimum) / m_control.step));
}

void ParamControlView::sliderMoved(int position)
{
    const double value = qMin(m_control.maximum, m_control.minimum + position * m_control.step);
    {
        const QSignalBlocker blocker(m_numberBox);
        m_numberBox->setValue(value);
    }
    // The number box rounds to the control's decimals, as the board sees it.
    valueChosen(m_numberBox->value(), m_slider->isSliderDown());
}

void ParamControlView::numberChanged(double value)
{
    if (m_slider) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(positionOf(value));
    }
    valueChosen(value, false);
}

void ParamControlView::valueChosen(double value, bool dragging)
{
    m_control.value = value;
    const qint64 now = m_clock.elapsed();
    // A step by key or number box counts as a release for a control that
    // sends only then.
    if (!dragging && m_throttle.sendsOnRelease())
        sendValue(m_throttle.release(value, now));
    else
        sendValue(m_throttle.move(value, now));
    if (const auto wait = m_throttle.msUntilDue(now))
        m_dueTimer.start(int(*wait));
}

void ParamControlView::sendDue()
{
    const qint64 now = m_clock.elapsed();
    sendValue(m_throttle.due(now));
    // A timer may wake a millisecond early.
    if (const auto wait = m_throttle.msUntilDue(now))
        m_dueTimer.start(int(qMax<qint64>(1, *wait)));
}

void ParamControlView::sendValue(std::optional<double> value)
{
    if (value)
        emit sendRequested(CommandTemplate::form(m_control.command, m_control.mode, *value,
                                                 m_control.decimals));
}
