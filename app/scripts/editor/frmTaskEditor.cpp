#include "frmTaskEditor.h"

#include "Dialogs.h"
#include "EditorTexts.h"
#include "ScriptHighlighter.h"
#include "ScriptRunner.h"
#include "ScriptTextEdit.h"
#include "WholeFile.h"
#include "frmTask.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QHideEvent>
#include <QLineEdit>
#include <QShowEvent>
#include <QPushButton>
#include <QVBoxLayout>

frmTaskEditor::frmTaskEditor(Dialogs &dialogs, QString scriptsDir, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_scriptsDir(std::move(scriptsDir))
    , m_txtSkriptname(new QLineEdit(EditorTexts::DefaultName, this))
    , m_rtfSkript(new ScriptTextEdit(this))
    , m_highlighter(new ScriptHighlighter(m_rtfSkript->document()))
    , m_builder(new frmTask(dialogs, this))
{
    setObjectName(QStringLiteral("frmTaskEditor"));
    setWindowTitle(EditorTexts::EditorCaption);
    m_txtSkriptname->setObjectName(QStringLiteral("txtSkriptname"));
    m_rtfSkript->setObjectName(QStringLiteral("rtfSkript"));
    m_rtfSkript->setAccessibleName(EditorTexts::ScriptTextName);

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(EditorTexts::LabelName, this);
    nameLabel->setBuddy(m_txtSkriptname);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_txtSkriptname, 1);

    const auto button = [this](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *open = button(EditorTexts::ButtonOpen, "Command3");
    QPushButton *add = button(EditorTexts::ButtonAddTask, "Command1");
    QPushButton *save = button(EditorTexts::ButtonSave, "Command2");
    QPushButton *run = button(EditorTexts::ButtonRun, "cmdRun");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(add);
    buttons->addStretch();
    buttons->addWidget(run);
    buttons->addWidget(save);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(m_rtfSkript, 1);
    layout->addLayout(buttons);
    resize(620, 440);

    connect(open, &QPushButton::clicked, this, &frmTaskEditor::openScript);
    connect(add, &QPushButton::clicked, this, &frmTaskEditor::showBuilder);
    connect(save, &QPushButton::clicked, this, &frmTaskEditor::saveScript);
    connect(run, &QPushButton::clicked, this, &frmTaskEditor::runScript);
    connect(m_builder, &frmTask::statementAdded, m_rtfSkript, &ScriptTextEdit::appendLine);
}

void frmTaskEditor::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_placement = frameGeometry().topLeft();
    QDialog::hideEvent(event);
}

void frmTaskEditor::showEvent(QShowEvent *event)
{
    // move() places the frame, as frameGeometry() reported it.
    if (m_placement && !event->spontaneous())
        move(*m_placement);
    QDialog::showEvent(event);
}

void frmTaskEditor::showBuilder()
{
    // open(), not exec(): modal to the editor without a nested event loop,
    // so a script running meanwhile keeps its pace.
    m_builder->open();
    m_builder->raise();
    m_builder->activateWindow();
}

void frmTaskEditor::openScript()
{
    if (m_openDir.isEmpty())
        m_openDir = m_scriptsDir;
    Dialogs::FileRequest request;
    request.title = EditorTexts::OpenTitle;
    request.filter = EditorTexts::OpenFilter;
    request.initialPath = m_openDir;
    request.fileMustExist = true;
    const std::optional<QString> chosen = m_dialogs.openFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    const QFileInfo info(*chosen);
    m_openDir = info.absolutePath();
    QString reason;
    if (!info.isFile() || !WholeFile::FileExists(*chosen))
        reason = EditorTexts::NotReadable;
    else if (info.size() > ScriptRunner::kMaxScriptSize)
        reason = EditorTexts::TooLarge;
    if (!reason.isEmpty()) {
        m_dialogs.message(EditorTexts::OpenFailed(*chosen, reason), EditorTexts::TitleOpen, Dialogs::Icon::Warning,
                          Dialogs::Buttons::Ok);
        return;
    }
    m_rtfSkript->setScriptText(WholeFile::ReadWholeFile(*chosen));
    QString name = info.fileName();
    if (name.endsWith(QLatin1String(".vts"), Qt::CaseInsensitive))
        name.chop(4);
    m_txtSkriptname->setText(name);
    m_openedPath = info.absoluteFilePath();
}

QString frmTaskEditor::nameProblem(const QString &name)
{
    if (name.isEmpty())
        return EditorTexts::NameEmpty;
    // A leading dot would hide the file (and ".." leave the folder); a slash
    // or NUL cannot be part of a file name.
    if (name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return EditorTexts::NameInvalid;
    return QString();
}

bool frmTaskEditor::writeScript()
{
    const QString name = m_txtSkriptname->text();
    const QString problem = nameProblem(name);
    if (!problem.isEmpty()) {
        m_dialogs.message(problem, EditorTexts::TitleSave, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        m_txtSkriptname->setFocus();
        return false;
    }
    const QString fileName = name + QLatin1String(".vts");
    const QString path = QDir(m_scriptsDir).filePath(fileName);
    const QFileInfo target(path);
    if (target.exists() && target.absoluteFilePath() != m_openedPath) {
        const auto answer = m_dialogs.message(EditorTexts::AskOverwrite(name), EditorTexts::TitleSave,
                                              Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes)
            return false;
    }
    QString reason;
    if (!QFileInfo(m_scriptsDir).isDir() && !QDir().mkpath(m_scriptsDir))
        reason = EditorTexts::FolderMissing;
    if (reason.isEmpty() && WholeFile::WriteWholeFile(path, m_rtfSkript->scriptText(), &reason) != 0
        && reason.isEmpty())
        reason = EditorTexts::ReasonUnknown;
    if (!reason.isEmpty()) {
        m_dialogs.message(EditorTexts::SaveFailed(path, reason), EditorTexts::TitleSave, Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
        return false;
    }
    m_openedPath = target.absoluteFilePath();
    emit saved(fileName);
    return true;
}

bool frmTaskEditor::saveScript()
{
    if (!writeScript())
        return false;
    hide();
    return true;
}

void frmTaskEditor::runScript()
{
    if (writeScript())
        emit runRequested(m_txtSkriptname->text() + QLatin1String(".vts"));
}
