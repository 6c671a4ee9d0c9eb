#include "paramseteditor.h"
#include "ui_paramseteditor.h"

#include <QPushButton>

ParamSetEditor::ParamSetEditor(const ParamSet &set, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ParamSetEditor)
    , m_set(set)
{
    ui->setupUi(this);
    ui->shortcutBox->addItem(tr("无"));
    for (int n = 1; n <= 9; ++n)
        ui->shortcutBox->addItem(QStringLiteral("Ctrl+%1").arg(n));
    ui->periodBox->setMinimum(0);

    for (const Kind kind : { Kind::Control, Kind::Command }) {
        connect(list(kind), &QListWidget::currentRowChanged, this, [this, kind](int row) {
            if (row >= 0)
                select(kind, row);
        });
    }
    connect(ui->addControl, &QPushButton::clicked, this, [this] { add(Kind::Control); });
    connect(ui->addCommand, &QPushButton::clicked, this, [this] { add(Kind::Command); });
    connect(ui->removeControl, &QPushButton::clicked, this, [this] { remove(Kind::Control); });
    connect(ui->removeCommand, &QPushButton::clicked, this, [this] { remove(Kind::Command); });
    connect(ui->upControl, &QPushButton::clicked, this, [this] { moveBy(Kind::Control, -1); });
    connect(ui->upCommand, &QPushButton::clicked, this, [this] { moveBy(Kind::Command, -1); });
    connect(ui->downControl, &QPushButton::clicked, this, [this] { moveBy(Kind::Control, 1); });
    connect(ui->downCommand, &QPushButton::clicked, this, [this] { moveBy(Kind::Command, 1); });

    for (QLineEdit *edit : { ui->nameEdit, ui->commandEdit, ui->onEdit, ui->offEdit })
        connect(edit, &QLineEdit::textEdited, this, &ParamSetEditor::takeFields);
    for (QComboBox *box : { ui->typeBox, ui->modeBox, ui->shortcutBox })
        connect(box, &QComboBox::currentIndexChanged, this, &ParamSetEditor::takeFields);
    for (QDoubleSpinBox *box : { ui->minBox, ui->maxBox, ui->stepBox, ui->valueBox })
        connect(box, &QDoubleSpinBox::valueChanged, this, &ParamSetEditor::takeFields);
    for (QSpinBox *box : { ui->decimalsBox, ui->periodBox })
        connect(box, &QSpinBox::valueChanged, this, &ParamSetEditor::takeFields);
    connect(ui->onReleaseBox, &QCheckBox::toggled, this, &ParamSetEditor::takeFields);

    fillLists();
    select(m_set.controls.isEmpty() && !m_set.commands.isEmpty() ? Kind::Command : Kind::Control,
           0);
}

ParamSetEditor::~ParamSetEditor()
{
    delete ui;
}

QString ParamSetEditor::problem() const
{
    return ui->problemLabel->text();
}

QListWidget *ParamSetEditor::list(Kind kind) const
{
    return kind == Kind::Command ? ui->commandList : ui->controlList;
}

QString ParamSetEditor::itemText(Kind kind, int index) const
{
    if (kind == Kind::Command) {
        const QuickCommand &command = m_set.commands.at(index);
        return command.shortcut == 0
                ? command.name
                : QStringLiteral("%1  (Ctrl+%2)").arg(command.name).arg(command.shortcut);
    }
    const ParamControl &control = m_set.controls.at(index);
    return QStringLiteral("%1  (%2)").arg(control.name, ui->typeBox->itemText(int(control.type)));
}

void ParamSetEditor::fillLists()
{
    for (const Kind kind : { Kind::Control, Kind::Command }) {
        QListWidget *items = list(kind);
        const QSignalBlocker blocker(items);
        items->clear();
        const qsizetype count
                = kind == Kind::Command ? m_set.commands.size() : m_set.controls.size();
        for (int n = 0; n < count; ++n)
            items->addItem(itemText(kind, n));
    }
}

void ParamSetEditor::select(Kind kind, int index)
{
    const qsizetype count = kind == Kind::Command ? m_set.commands.size() : m_set.controls.size();
    if (index < 0 || index >= count) {
        kind = Kind::None;
        index = -1;
    }
    m_kind = kind;
    m_index = index;
    for (const Kind each : { Kind::Control, Kind::Command }) {
        const QSignalBlocker blocker(list(each));
        list(each)->setCurrentRow(each == kind ? index : -1);
    }
    showItem();
}

void ParamSetEditor::showItem()
{
    m_showing = true;
    ui->itemBox->setEnabled(m_kind != Kind::None);
    const bool control = m_kind == Kind::Control;
    const bool command = m_kind == Kind::Command;
    ParamControl shownControl = control ? m_set.controls.at(m_index) : ParamControl();
    const QuickCommand shownCommand = command ? m_set.commands.at(m_index) : QuickCommand();
    const bool valued = control && shownControl.hasValue();
    const bool isSwitch = control && shownControl.type == ParamControl::Type::Switch;

    ui->typeBox->setCurrentIndex(int(shownControl.type));
    ui->nameEdit->setText(command ? shownCommand.name : shownControl.name);
    const CommandMode mode = command ? shownCommand.mode : shownControl.mode;
    ui->modeBox->setCurrentIndex(mode == CommandMode::Hex ? 1 : 0);
    ui->commandEdit->setText(
            CommandTemplate::oneLine(command ? shownCommand.command : shownControl.command, mode));
    ui->onEdit->setText(CommandTemplate::oneLine(shownControl.on, mode));
    ui->offEdit->setText(CommandTemplate::oneLine(shownControl.off, mode));
    ui->minBox->setValue(shownControl.minimum);
    ui->maxBox->setValue(shownControl.maximum);
    ui->stepBox->setValue(shownControl.step);
    ui->decimalsBox->setValue(shownControl.decimals);
    ui->valueBox->setValue(shownControl.value);
    ui->onReleaseBox->setChecked(shownControl.onRelease);
    ui->shortcutBox->setCurrentIndex(shownCommand.shortcut);
    ui->periodBox->setValue(shownCommand.periodMs);

    ui->fields->setRowVisible(ui->typeBox, !command);
    ui->fields->setRowVisible(ui->commandEdit, !isSwitch);
    for (QWidget *field : { ui->onEdit, ui->offEdit })
        ui->fields->setRowVisible(field, isSwitch);
    for (QWidget *field :
         { static_cast<QWidget *>(ui->minBox), static_cast<QWidget *>(ui->maxBox),
           static_cast<QWidget *>(ui->stepBox), static_cast<QWidget *>(ui->decimalsBox),
           static_cast<QWidget *>(ui->valueBox), static_cast<QWidget *>(ui->onReleaseBox) })
        ui->fields->setRowVisible(field, valued);
    for (QWidget *field :
         { static_cast<QWidget *>(ui->shortcutBox), static_cast<QWidget *>(ui->periodBox) })
        ui->fields->setRowVisible(field, command);
    m_showing = false;
    showProblem(QString());
}

void ParamSetEditor::takeFields()
{
    if (m_showing || m_kind == Kind::None)
        return;
    const CommandMode mode
            = ui->modeBox->currentIndex() == 1 ? CommandMode::Hex : CommandMode::Text;
    std::optional<QString> problem;
    bool typeChanged = false;
    ParamSet candidate = m_set;
    if (m_kind == Kind::Command) {
        QuickCommand &command = candidate.commands[m_index];
        command.name = ui->nameEdit->text();
        command.mode = mode;
        command.command = ui->commandEdit->text();
        command.shortcut = ui->shortcutBox->currentIndex();
        command.periodMs = ui->periodBox->value();
        problem = ParamSet::checkCommand(command);
    } else {
        ParamControl &control = candidate.controls[m_index];
        const auto type = ParamControl::Type(ui->typeBox->currentIndex());
        typeChanged = type != control.type;
        control.type = type;
        control.name = ui->nameEdit->text();
        control.mode = mode;
        control.command = ui->commandEdit->text();
        control.on = ui->onEdit->text();
        control.off = ui->offEdit->text();
        control.minimum = ui->minBox->value();
        control.maximum = ui->maxBox->value();
        control.step = ui->stepBox->value();
        control.decimals = ui->decimalsBox->value();
        control.value = ui->valueBox->value();
        control.onRelease = ui->onReleaseBox->isChecked();
        problem = ParamSet::checkControl(control);
        if (typeChanged && problem) {
            // Commands that suit the new type, such as a button's without {v}.
            const QString stem
                    = control.name + (control.hasValue() ? QStringLiteral("={v}") : QString());
            control.mode = CommandMode::Text;
            control.command = stem + QStringLiteral("\\n");
            control.on = control.name + QStringLiteral("=1\\n");
            control.off = control.name + QStringLiteral("=0\\n");
            problem = ParamSet::checkControl(control);
        }
    }
    if (!problem)
        problem = candidate.check();
    if (!problem) {
        m_set = candidate;
        list(m_kind)->item(m_index)->setText(itemText(m_kind, m_index));
    }
    // A new type shows its own fields, or the old type stays.
    if (typeChanged)
        showItem();
    showProblem(problem.value_or(QString()));
}

void ParamSetEditor::showProblem(const QString &problem)
{
    ui->problemLabel->setText(problem);
    ui->buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}

void ParamSetEditor::add(Kind kind)
{
    const qsizetype count = kind == Kind::Command ? m_set.commands.size() : m_set.controls.size();
    if (count >= ParamSet::kMaxItems)
        return;
    // A name that is not taken yet, and a command that goes with it.
    int number = int(count) + 1;
    const auto taken = [this](const QString &name) {
        for (const ParamControl &control : std::as_const(m_set.controls)) {
            if (control.name == name)
                return true;
        }
        return false;
    };
    if (kind == Kind::Command) {
        QuickCommand command;
        command.name = tr("指令%1").arg(number);
        command.command = QStringLiteral("cmd%1\\n").arg(number);
        m_set.commands.append(command);
    } else {
        while (taken(QStringLiteral("p%1").arg(number)))
            ++number;
        ParamControl control;
        control.name = QStringLiteral("p%1").arg(number);
        control.command = control.name + QStringLiteral("={v}\\n");
        m_set.controls.append(control);
    }
    fillLists();
    select(kind, int(count));
}

void ParamSetEditor::remove(Kind kind)
{
    if (m_kind != kind)
        return;
    if (kind == Kind::Command)
        m_set.commands.removeAt(m_index);
    else
        m_set.controls.removeAt(m_index);
    fillLists();
    select(kind, m_index > 0 ? m_index - 1 : 0);
}

void ParamSetEditor::moveBy(Kind kind, int offset)
{
    if (m_kind != kind)
        return;
    const int to = m_index + offset;
    const qsizetype count = kind == Kind::Command ? m_set.commands.size() : m_set.controls.size();
    if (to < 0 || to >= count)
        return;
    if (kind == Kind::Command)
        m_set.commands.move(m_index, to);
    else
        m_set.controls.move(m_index, to);
    fillLists();
    select(kind, to);
}
