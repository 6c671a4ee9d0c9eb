#include "framehealth.h"

#include "uilanguage.h"

namespace {

constexpr qint64 kWindowMs = 1000;

FrameCounts operator-(const FrameCounts &a, const FrameCounts &b)
{
    FrameCounts d;
    d.frames = a.frames - b.frames;
    d.garbageBytes = a.garbageBytes - b.garbageBytes;
    d.resyncs = a.resyncs - b.resyncs;
    d.skipped = a.skipped - b.skipped;
    d.misplaced = a.misplaced - b.misplaced;
    d.overflowBytes = a.overflowBytes - b.overflowBytes;
    return d;
}

// value in units of unit, cut (not rounded) to one decimal below ten units'
// worth of digits: 12.3 below 100, whole from there.
QString scaled(qint64 value, qint64 unit, const QString &suffix)
{
    if (value < 100 * unit)
        return QStringLiteral("%1.%2%3").arg(value / unit).arg(value * 10 / unit % 10).arg(suffix);
    return QString::number(value / unit) + suffix;
}

} // namespace

FrameHealth::FrameHealth(Kind kind)
    : m_kind(kind)
{
    reset(FrameCounts(), 0);
}

void FrameHealth::reset(const FrameCounts &totals, qint64 nowMs)
{
    m_base = totals;
    m_last = totals;
    m_samples = { { nowMs, totals.frames } };
}

void FrameHealth::update(const FrameCounts &totals, qint64 nowMs)
{
    m_last = totals;
    m_samples.append({ nowMs, totals.frames });
    // Keep the newest sample that is a second old, as the rate's start.
    while (m_samples.size() > 2 && m_samples.at(1).ms <= nowMs - kWindowMs)
        m_samples.removeFirst();
}

FrameCounts FrameHealth::counts() const
{
    return m_last - m_base;
}

qint64 FrameHealth::framesPerSecond() const
{
    const Sample &first = m_samples.first();
    const Sample &last = m_samples.last();
    const qint64 ms = last.ms - first.ms;
    if (ms <= 0)
        return 0;
    return ((last.frames - first.frames) * 1000 + ms / 2) / ms;
}

QString FrameHealth::text() const
{
    const FrameCounts c = counts();
    const QString rate = countText(framesPerSecond());
    if (m_kind == Kind::Scope)
        return format(m_kind, countText(c.frames), byteText(c.garbageBytes), countText(c.resyncs),
                      QString(), rate);
    return format(m_kind, countText(c.frames), countText(c.skipped), countText(c.misplaced),
                  byteText(c.overflowBytes), rate);
}

QString FrameHealth::format(Kind kind, const QString &frames, const QString &second,
                            const QString &third, const QString &overflow, const QString &rate)
{
    switch (kind) {
    case Kind::Scope:
        return tr("帧 %1 · 丢弃 %2 · 重同步 %3 · %4 帧/s").arg(frames, second, third, rate);
    case Kind::Line:
        return tr("行 %1 · 跳过 %2 · 错位 %3 · 溢出 %4 · %5 行/s")
                .arg(frames, second, third, overflow, rate);
    case Kind::Picture:
        break;
    }
    return tr("帧 %1 · 跳过 %2 · 错位 %3 · 溢出 %4 · %5 帧/s")
            .arg(frames, second, third, overflow, rate);
}

QString FrameHealth::toolTip() const
{
    const FrameCounts c = counts();
    const qint64 rate = framesPerSecond();
    const QString since = tr("单击“接收”计数或打开串口时清零");
    switch (m_kind) {
    case Kind::Scope:
        return tr("帧 %1：解码的数据帧\n"
                  "丢弃 %2 B：不属于任何帧而丢弃的字节\n"
                  "重同步 %3：丢弃字节后重新找到帧头 FF FF 的次数\n"
                  "%4 帧/s：最近一秒解码的帧数\n%5")
                .arg(c.frames)
                .arg(c.garbageBytes)
                .arg(c.resyncs)
                .arg(rate)
                .arg(since);
    case Kind::Line:
    case Kind::Picture:
        break;
    }
    // Whole sentences for each kind, so that each translates as a whole.
    const QString text = m_kind == Kind::Line
            ? tr("行 %1：显示的行\n"
                 "跳过 %2：完整但被同一批数据里更新的一行取代、没有显示的行\n"
                 "错位 %3：结束符 FF 没有紧跟在 128 个像素字节之后的次数\n"
                 "溢出 %4 B：接收缓冲区满时丢掉的最旧字节\n"
                 "%5 行/s：最近一秒显示的行数\n%6")
            : tr("帧 %1：显示的图像\n"
                 "跳过 %2：完整但被同一批数据里更新的一帧取代、没有显示的图像\n"
                 "错位 %3：结束符 FF 没有紧跟在 宽×高 个像素字节之后的次数\n"
                 "溢出 %4 B：接收缓冲区满时丢掉的最旧字节\n"
                 "%5 帧/s：最近一秒显示的图像数\n%6");
    return text.arg(c.frames)
            .arg(c.skipped)
            .arg(c.misplaced)
            .arg(c.overflowBytes)
            .arg(rate)
            .arg(since);
}

QStringList FrameHealth::widestTexts()
{
    // The widest digit in every length each language's counts take.
    QStringList counts;
    for (qint64 count = 88888; count < qint64(1e10); count = count * 10 + 8)
        counts << countText(count);
    const QString bytes[] = { QStringLiteral("8888 B"), QStringLiteral("88.8 KB"),
                              QStringLiteral("8888 KB"), QStringLiteral("88.8 MB") };
    // No serial line carries 100000 frames a second.
    const QString rate = QStringLiteral("88888");
    QStringList texts;
    for (const Kind kind : { Kind::Scope, Kind::Line, Kind::Picture }) {
        for (const QString &count : counts) {
            for (const QString &byte : bytes) {
                const bool scope = kind == Kind::Scope;
                texts << format(kind, count, scope ? byte : count, count, byte, rate);
            }
        }
    }
    return texts;
}

QString FrameHealth::countText(qint64 count)
{
    if (count < 100000)
        return QString::number(count);
    // Chinese counts in ten thousands, English in thousands.
    if (runningUiLanguage() == UiLanguage::Chinese) {
        if (count < 100000000)
            return scaled(count, 10000, QStringLiteral("万"));
        return scaled(count, 100000000, QStringLiteral("亿"));
    }
    if (count < 1000 * 1000)
        return scaled(count, 1000, QStringLiteral("k"));
    if (count < 1000 * 1000 * 1000)
        return scaled(count, 1000 * 1000, QStringLiteral("M"));
    return scaled(count, 1000 * 1000 * 1000, QStringLiteral("G"));
}

QString FrameHealth::byteText(qint64 bytes)
{
    if (bytes < 10000)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 10000 * 1000)
        return scaled(bytes, 1000, QStringLiteral(" KB"));
    if (bytes < qint64(10000) * 1000 * 1000)
        return scaled(bytes, 1000 * 1000, QStringLiteral(" MB"));
    return scaled(bytes, 1000 * 1000 * 1000, QStringLiteral(" GB"));
}

FrameCounts frameCountsOf(const ScopeFrameStats &stats)
{
    FrameCounts counts;
    counts.frames = stats.frames;
    counts.garbageBytes = stats.garbageBytes;
    counts.resyncs = stats.resyncs;
    return counts;
}

FrameCounts frameCountsOf(const FrameStats &stats)
{
    FrameCounts counts;
    counts.frames = stats.taken;
    counts.skipped = stats.skipped;
    counts.misplaced = stats.misplaced;
    return counts;
}
