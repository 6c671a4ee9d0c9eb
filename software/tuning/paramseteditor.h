#ifndef PARAMSETEDITOR_H
#define PARAMSETEDITOR_H

#include "paramset.h"

#include <QDialog>

class QListWidget;

namespace Ui {
class ParamSetEditor;
}

// The dialog that adds, edits, removes and reorders the tuning panel's
// controls and quick commands. Each change is checked as it is made: one
// that cannot be sent, such as a template that does not form, is named under
// the fields and not taken, and OK waits until it is put right.
class ParamSetEditor : public QDialog
{
    Q_OBJECT

public:
    explicit ParamSetEditor(const ParamSet &set, QWidget *parent = nullptr);
    ~ParamSetEditor() override;

    ParamSet paramSet() const { return m_set; }
    // What is wrong with the fields as they are, or empty.
    QString problem() const;

private:
    enum class Kind { None, Control, Command };

    void select(Kind kind, int index);
    void showItem();
    // Takes the fields into the set if they make a valid item.
    void takeFields();
    void showProblem(const QString &problem);
    void add(Kind kind);
    void remove(Kind kind);
    void moveBy(Kind kind, int offset);
    void fillLists();
    QListWidget *list(Kind kind) const;
    QString itemText(Kind kind, int index) const;

    Ui::ParamSetEditor *ui;
    ParamSet m_set;
    Kind m_kind = Kind::None;
    int m_index = -1;
    bool m_showing = false;
};

#endif // PARAMSETEDITOR_H
