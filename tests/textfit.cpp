#include "textfit.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <QtMath>

namespace {

// The style option the widget paints itself with. initStyleOption is
// protected; a pointer to it taken through a subclass still calls the
// widget's own override.
template<typename Option, typename Widget>
Option styleOption(const Widget *widget)
{
    struct Access : Widget
    {
        using Widget::initStyleOption;
    };
    Option option;
    (widget->*&Access::initStyleOption)(&option);
    return option;
}

// The text a spin box shows for value, as the spin box itself builds it.
template<typename SpinBox, typename Value>
QString spinBoxText(const SpinBox *spinBox, Value value)
{
    struct Access : SpinBox
    {
        using SpinBox::textFromValue;
    };
    if (value == spinBox->minimum() && !spinBox->specialValueText().isEmpty())
        return spinBox->specialValueText();
    return spinBox->prefix() + (spinBox->*&Access::textFromValue)(value) + spinBox->suffix();
}

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// One line of text as QLineEdit and the styles' drawItemText lay it out.
QSize lineSize(const QWidget *widget, const QString &text)
{
    const QFontMetricsF metrics(widget->font(), widget);
    return QSize(qCeil(metrics.horizontalAdvance(text)), qCeil(metrics.height()));
}

// Where a line edit of the given size draws its text: its contents less the
// text margins and the two pixels it keeps free on either side.
QSize lineEditRoom(const QLineEdit *edit, const QSize &size)
{
    auto option = styleOption<QStyleOptionFrame>(edit);
    option.rect = QRect(QPoint(0, 0), size);
    QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    contents = contents.marginsRemoved(edit->textMargins());
    return QSize(contents.width() - 2 * 2, contents.height());
}

void measureLabel(const QLabel *label, QList<TextRoom> &rooms)
{
    // Image labels have no text to cut; their picture is scaled to them.
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return;
    // The label's document rectangle: contents less margin and indent.
    const int margin = label->margin();
    QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
    if (indent > 0 && (label->alignment() & (Qt::AlignLeft | Qt::AlignRight)))
        room.setWidth(room.width() - indent);

    const bool wrap = label->wordWrap();
    QSize needed;
    const bool rich = label->textFormat() == Qt::RichText
            || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich) {
        // Laid out as the label's own text document: no margin, its font.
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        QTextOption option = document.defaultTextOption();
        option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
        document.setDefaultTextOption(option);
        document.setHtml(label->text());
        document.setTextWidth(wrap ? room.width() : -1);
        needed = QSize(qCeil(document.idealWidth()), qCeil(document.size().height()));
    } else if (wrap) {
        needed = label->fontMetrics()
                         .boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX),
                                       Qt::TextWordWrap | Qt::TextExpandTabs, label->text())
                         .size();
    } else {
        needed = label->fontMetrics().size(Qt::TextExpandTabs, label->text());
    }
    rooms.append({ nameOf(label), label->text(), needed, room.size(), true });
}

void measurePushButton(const QPushButton *button, QList<TextRoom> &rooms)
{
    if (button->text().isEmpty())
        return;
    // The margins the style adds around a button's contents. A large content
    // size keeps the style's minimum button width out of the figure.
    const auto option = styleOption<QStyleOptionButton>(button);
    const QSize large(1000, 1000);
    const QSize margins
            = button->style()->sizeFromContents(QStyle::CT_PushButton, &option, large, button)
            - large;
    QSize needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull())
        needed.rwidth() += button->iconSize().width() + 4;
    rooms.append({ nameOf(button), button->text(), needed, button->size() - margins, false });
}

void measureIndicatorButton(const QAbstractButton *button, QStyle::SubElement contents,
                            QList<TextRoom> &rooms)
{
    if (button->text().isEmpty())
        return;
    QStyleOptionButton option;
    if (auto *radio = qobject_cast<const QRadioButton *>(button))
        option = styleOption<QStyleOptionButton>(radio);
    else
        option = styleOption<QStyleOptionButton>(qobject_cast<const QCheckBox *>(button));
    // Text beside the indicator and its spacing, as the style places it.
    const QRect room = button->style()->subElementRect(contents, &option, button);
    QSize needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull())
        needed.rwidth() += button->iconSize().width() + 4;
    rooms.append({ nameOf(button), button->text(), needed, room.size(), false });
}

void measureComboBox(const QComboBox *combo, QList<TextRoom> &rooms)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    if (!texts.contains(combo->currentText()))
        texts.append(combo->currentText());
    texts.removeAll(QString());

    const auto option = styleOption<QStyleOptionComboBox>(combo);
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    // A closed box draws its text one pixel in from either side of the field,
    // clipped to it; an editable one shows it in its line edit over the field.
    const QSize room = combo->lineEdit() ? lineEditRoom(combo->lineEdit(), field.size())
                                         : field.adjusted(1, 0, -1, 0).size();
    for (const QString &text : std::as_const(texts))
        rooms.append({ nameOf(combo), text, lineSize(combo, text), room, true });
}

void measureSpinBox(const QAbstractSpinBox *spinBox, QList<TextRoom> &rooms)
{
    // The value shown, then the range ends a user can step to.
    QStringList texts;
    if (auto *spin = qobject_cast<const QSpinBox *>(spinBox)) {
        texts << spinBoxText(spin, spin->value()) << spinBoxText(spin, spin->minimum())
              << spinBoxText(spin, spin->maximum());
    } else if (auto *spin = qobject_cast<const QDoubleSpinBox *>(spinBox)) {
        texts << spinBoxText(spin, spin->value()) << spinBoxText(spin, spin->minimum())
              << spinBoxText(spin, spin->maximum());
    } else {
        texts << spinBox->text();
    }
    texts.removeDuplicates();

    const auto *edit = spinBox->findChild<QLineEdit *>();
    if (!edit)
        return;
    const auto option = styleOption<QStyleOptionSpinBox>(spinBox);
    const QRect field = spinBox->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                         QStyle::SC_SpinBoxEditField, spinBox);
    const QSize room = lineEditRoom(edit, field.size());
    for (int i = 0; i < texts.size(); ++i) {
        rooms.append({ nameOf(spinBox), texts.at(i), lineSize(spinBox, texts.at(i)), room, true,
                       i > 0 });
    }
}

void measureLineEdit(const QLineEdit *edit, QList<TextRoom> &rooms)
{
    const QString text = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
    if (text.isEmpty() || edit->echoMode() != QLineEdit::Normal)
        return;
    rooms.append(
            { nameOf(edit), text, lineSize(edit, text), lineEditRoom(edit, edit->size()), true });
}

} // namespace

QString TextRoom::describe() const
{
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    if (heightMatters) {
        return QStringLiteral("%1 \"%2\": needs %3 x %4 px, has %5 x %6 px")
                .arg(objectName, shown)
                .arg(needed.width())
                .arg(needed.height())
                .arg(given.width())
                .arg(given.height());
    }
    return QStringLiteral("%1 \"%2\": needs %3 px wide, has %4 px")
            .arg(objectName, shown)
            .arg(needed.width())
            .arg(given.width());
}

QList<TextRoom> measureTexts(const QWidget *root)
{
    QList<const QWidget *> widgets { root };
    for (const QWidget *widget : root->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(root))
            widgets.append(widget);
    }

    QList<TextRoom> rooms;
    for (const QWidget *widget : std::as_const(widgets)) {
        if (auto *label = qobject_cast<const QLabel *>(widget)) {
            measureLabel(label, rooms);
        } else if (auto *button = qobject_cast<const QPushButton *>(widget)) {
            measurePushButton(button, rooms);
        } else if (auto *radio = qobject_cast<const QRadioButton *>(widget)) {
            measureIndicatorButton(radio, QStyle::SE_RadioButtonContents, rooms);
        } else if (auto *check = qobject_cast<const QCheckBox *>(widget)) {
            measureIndicatorButton(check, QStyle::SE_CheckBoxContents, rooms);
        } else if (auto *combo = qobject_cast<const QComboBox *>(widget)) {
            measureComboBox(combo, rooms);
        } else if (auto *spinBox = qobject_cast<const QAbstractSpinBox *>(widget)) {
            measureSpinBox(spinBox, rooms);
        } else if (auto *edit = qobject_cast<const QLineEdit *>(widget)) {
            // The line edits of combo and spin boxes are measured with them.
            const QObject *owner = edit->parent();
            if (!qobject_cast<const QComboBox *>(owner)
                && !qobject_cast<const QAbstractSpinBox *>(owner))
                measureLineEdit(edit, rooms);
        }
    }
    return rooms;
}

QStringList textsThatDoNotFit(const QWidget *root)
{
    QStringList problems;
    for (const TextRoom &room : measureTexts(root)) {
        if (!room.fits())
            problems.append(room.describe());
    }
    return problems;
}
