#ifndef RECEIVEDISPLAY_H
#define RECEIVEDISPLAY_H

#include "receiverenderer.h"

#include <QCoreApplication>
#include <QString>

class QPlainTextEdit;
class ReceiveHistory;

// Keeps the terminal's receive display: appends each delivery, holds the
// newest bytes' worth of lines only, and renders what it holds again in
// another mode. When it has dropped older lines, or when the history could
// not move bytes to its file, its first line says so.
class ReceiveDisplay
{
    Q_DECLARE_TR_FUNCTIONS(ReceiveDisplay)

public:
    static constexpr qint64 kDefaultLimit = 4 * 1024 * 1024;

    // Both must outlive the display.
    ReceiveDisplay(QPlainTextEdit *edit, ReceiveHistory *history);

    // Received bytes whose lines the display holds at least, and about an
    // half more at most.
    void setLimit(qint64 bytes);

    // Shows bytes that the history has just kept, which arrived at msecs.
    void append(const QByteArray &bytes, qint64 msecs);
    // Shows again what the display holds: in hexadecimal or as text in
    // encoding, with or without the arrival times.
    void render(bool hex, const QString &encoding, bool timestamps);
    // Empties the display; the history is emptied by its owner.
    void clear();

    // Offset of the first byte shown.
    qint64 firstShown() const { return m_renderer.paragraphStarts().front(); }

private:
    void trim();
    void updateHeader();
    QString headerText() const;
    qint64 renderStart(bool hex);

    QPlainTextEdit *m_edit;
    ReceiveHistory *m_history;
    ReceiveRenderer m_renderer;
    qint64 m_limit = kDefaultLimit;
    // The display's first paragraph is the header rather than received data.
    bool m_hasHeader = false;
    bool m_headerTellsFailure = false;
    // The oldest byte the display is meant to hold; a render may start a
    // little earlier, at the start of its line.
    qint64 m_windowStart = 0;
    bool m_hex = true;
    QString m_encoding;
    bool m_timestamps = false;
};

#endif // RECEIVEDISPLAY_H
