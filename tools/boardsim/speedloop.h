#ifndef SPEEDLOOP_H
#define SPEEDLOOP_H

// A simulated speed loop: a PID controller driving a motor that follows its
// drive with a time constant, as a car's speed follows its PWM. Its gains and
// target are open, so that they can be changed while it runs.
class SpeedLoop
{
public:
    // Advances the loop by dt seconds and returns the new speed.
    double step(double dt);
    double speed() const { return m_speed; }
    // The controller's output, limited to what the motor driver takes.
    double drive() const { return m_drive; }

    double kp = 1.2;
    double ki = 6.0;
    double kd = 0.02;
    double target = 0.0;

    // The motor's time constant in seconds and the driver's limit.
    static constexpr double kTimeConstant = 0.5;
    static constexpr double kDriveLimit = 20.0;

private:
    double m_speed = 0.0;
    double m_drive = 0.0;
    double m_integral = 0.0;
    double m_lastError = 0.0;
};

#endif // SPEEDLOOP_H
