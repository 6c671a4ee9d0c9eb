#ifndef SENDHISTORY_H
#define SENDHISTORY_H

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The last different sends, newest first, and the user's walk through them
// in the send editor, as a shell walks through its command history.
class SendHistory
{
public:
    // An editor's content and how it was sent.
    struct Entry
    {
        QString text;
        bool hex = false;

        bool operator==(const Entry &other) const { return hex == other.hex && text == other.text; }
        bool operator!=(const Entry &other) const { return !(*this == other); }
    };

    static constexpr int kLimit = 20;
    // Longer content (a loaded file, say) is not kept: it could not be sent
    // whole anyway, and the settings would carry it on every start.
    static constexpr int kMaxTextLength = 16384;

    // Puts entry first; an equal one further down goes, and so does the
    // oldest beyond kLimit. Blank or over-long text is not kept. Ends a walk.
    void add(const Entry &entry);
    void clear();
    const QList<Entry> &entries() const { return m_entries; }

    // One step back (older) or forward (newer) from current, the editor's
    // content. A walk begins at the content being written, which the last
    // step forward gives back; content edited during a walk begins a new one.
    // Nothing where there is no further entry.
    std::optional<Entry> older(const Entry &current);
    std::optional<Entry> newer(const Entry &current);

    // As the settings keep it, "text:" or "hex:" before each text, and back.
    // Strings of any other form are skipped.
    QStringList toStrings() const;
    void setStrings(const QStringList &strings);

private:
    void followEdits(const Entry &current);

    QList<Entry> m_entries;
    // The entry the editor shows during a walk, or -1 outside one.
    int m_position = -1;
    Entry m_draft;
};

#endif // SENDHISTORY_H
