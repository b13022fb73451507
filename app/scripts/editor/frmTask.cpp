#include "frmTask.h"

#include "Dialogs.h"
#include "EditorTexts.h"
#include "BuilderRules.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmTask::frmTask(Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_cmbCommand(new QComboBox(this))
    , m_txtParameter(new QLineEdit(this))
    , m_txtParameter2(new QLineEdit(this))
    , m_lblCommandBold(new QLabel(this))
    , m_lblParameter(new QLabel(this))
    , m_lblDesc(new QLabel(this))
{
    setWindowTitle(EditorTexts::BuilderCaption);
    setObjectName(QStringLiteral("frmTask"));
    m_cmbCommand->setObjectName(QStringLiteral("cmbCommand"));
    m_txtParameter->setObjectName(QStringLiteral("txtParameter"));
    m_txtParameter2->setObjectName(QStringLiteral("txtParameter2"));
    m_lblCommandBold->setObjectName(QStringLiteral("lblCommandBold"));
    m_lblParameter->setObjectName(QStringLiteral("lblParameter"));
    m_lblDesc->setObjectName(QStringLiteral("lblDesc"));
    m_txtParameter2->setText(EditorTexts::NotNeeded);

    QFont bold = m_lblCommandBold->font();
    bold.setBold(true);
    m_lblCommandBold->setFont(bold);
    m_lblDesc->setWordWrap(true);
    m_lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDesc->setMinimumHeight(m_lblDesc->fontMetrics().lineSpacing() * 4);

    auto *form = new QFormLayout;
    form->addRow(EditorTexts::LabelCommand, m_cmbCommand);
    form->addRow(EditorTexts::LabelParameter1, m_txtParameter);
    form->addRow(EditorTexts::LabelParameter2, m_txtParameter2);

    auto *info = new QGroupBox(EditorTexts::FrameInfo, this);
    auto *headline = new QHBoxLayout;
    // The pattern reads as the rest of the statement: right after the word.
    headline->setSpacing(1);
    headline->addWidget(m_lblCommandBold);
    headline->addWidget(m_lblParameter);
    headline->addStretch();
    auto *infoLayout = new QVBoxLayout(info);
    infoLayout->addLayout(headline);
    infoLayout->addWidget(m_lblDesc);

    auto *add = new QPushButton(EditorTexts::ButtonAdd, this);
    add->setObjectName(QStringLiteral("Command1"));
    add->setDefault(true);
    auto *done = new QPushButton(EditorTexts::ButtonDone, this);
    done->setObjectName(QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add);
    buttons->addWidget(done);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(EditorTexts::BuilderIntro, this));
    layout->addLayout(form);
    layout->addWidget(info);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(add, &QPushButton::clicked, this, &frmTask::addStatement);
    connect(done, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_cmbCommand, &QComboBox::currentIndexChanged, this, &frmTask::commandSelected);

    FillCMB();
}

void frmTask::FillCMB()
{
    m_commands = BuilderRules::offeredCommands();
    // Adding the first item selects it, which shows its row.
    for (const ScriptCommands::Command *command : std::as_const(m_commands))
        m_cmbCommand->addItem(command->word);
    m_cmbCommand->setCurrentIndex(0);
}

void frmTask::EnableParameter1()
{
    m_txtParameter->setEnabled(true);
    m_txtParameter->clear();
}

void frmTask::DisableParameter1()
{
    m_txtParameter->setEnabled(false);
    m_txtParameter->setText(EditorTexts::NotNeeded);
}

void frmTask::EnableParameter2()
{
    m_txtParameter2->setEnabled(true);
    m_txtParameter2->clear();
}

void frmTask::DisableParameter2()
{
    m_txtParameter2->setEnabled(false);
    m_txtParameter2->setText(EditorTexts::NotNeeded);
}

void frmTask::ShowError(const QString &word, ScriptCommands::ParameterType type)
{
    m_dialogs.message(EditorTexts::WrongType(word, ScriptCommands::typeWord(type)), EditorTexts::TitleError, Dialogs::Icon::Warning,
                      Dialogs::Buttons::Ok);
}

void frmTask::commandSelected(int index)
{
    if (index < 0 || index >= m_commands.size())
        return;
    const ScriptCommands::Command &command = *m_commands.at(index);
    m_lblCommandBold->setText(m_cmbCommand->itemText(index));
    m_lblDesc->setText(command.help);
    const int count = command.parameters;
    if (count == 0) {
        DisableParameter1();
        DisableParameter2();
    } else if (count == 1) {
        EnableParameter1();
        DisableParameter2();
    } else {
        EnableParameter1();
        EnableParameter2();
    }
    m_lblParameter->setText(BuilderRules::parameterPattern(count, command.type));
    // The command box carries the "Befehlsinfo" as its description, so a
    // screen reader says it with the box and whenever the command changes.
    // Queued: the box announces its new value only after this handler, and
    // the description is to follow the value, not to be cut off by it.
    QMetaObject::invokeMethod(
        this, [this] { m_cmbCommand->setAccessibleDescription(commandInfo()); }, Qt::QueuedConnection);
}

QString frmTask::commandInfo() const
{
    return m_lblCommandBold->text() + m_lblParameter->text() + QLatin1Char(' ') + m_lblDesc->text();
}

void frmTask::addStatement()
{
    const int index = m_cmbCommand->currentIndex();
    if (index < 0 || index >= m_commands.size())
        return;
    const QString word = m_cmbCommand->currentText();
    const ScriptCommands::ParameterType type = m_commands.at(index)->type;
    // The widget's locale is the user's unless a test sets another.
    if (!BuilderRules::isAcceptable(m_txtParameter->text(), type, locale())) {
        ShowError(word, type);
        return;
    }
    if (type == ScriptCommands::ParameterType::Nothing) {
        m_txtParameter->clear();
        m_txtParameter2->clear();
    }
    const int count = m_commands.at(index)->parameters;
    const QString problem = BuilderRules::unwritable(count, m_txtParameter->text(), m_txtParameter2->text());
    if (!problem.isEmpty()) {
        m_dialogs.message(problem, EditorTexts::TitleError, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        return;
    }
    emit statementAdded(
        BuilderRules::statement(word, count, m_txtParameter->text(), m_txtParameter2->text()));
    m_txtParameter->clear();
}
