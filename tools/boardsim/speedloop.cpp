#include "speedloop.h"

#include <algorithm>

double SpeedLoop::step(double dt)
{
    if (dt <= 0)
        return m_speed;
    const double error = target - m_speed;
    const double derivative = (error - m_lastError) / dt;
    m_lastError = error;
    const double unlimited = kp * error + ki * (m_integral + error * dt) + kd * derivative;
    m_drive = std::clamp(unlimited, -kDriveLimit, kDriveLimit);
    // The integral stops growing while the drive is at its limit (no wind-up).
    if (unlimited == m_drive)
        m_integral += error * dt;
    m_speed += (m_drive - m_speed) * dt / kTimeConstant;
    return m_speed;
}
