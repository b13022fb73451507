#pragma once
// frmTaskEditor: the script editor. Holds one script and its name, opens a
// script file, saves into the scripts folder and says so (saved), or asks
// for a run of the saved script (runRequested); the window listens and
// refreshes its task pane or runs the entry. One instance, hidden between
// uses so it keeps its text. The command builder is its child.

#include <QDialog>
#include <QPoint>

#include <optional>

class Dialogs;
class QLineEdit;
class QPushButton;
class ScriptHighlighter;
class ScriptTextEdit;
class frmTask;

class frmTaskEditor : public QDialog
{
    Q_OBJECT
public:
    frmTaskEditor(Dialogs &dialogs, QString scriptsDir, QWidget *parent = nullptr);

    QLineEdit *txtSkriptname() const { return m_txtSkriptname; }
    ScriptTextEdit *rtfSkript() const { return m_rtfSkript; }
    frmTask *builder() const { return m_builder; }

    // "Task hinzufügen": the builder, modal to the editor.
    void showBuilder();
    // "Taskscript öffnen"
    void openScript();
    // "Taskscript speichern": true when saved (the editor is then hidden).
    bool saveScript();
    // "Ausführen": saves, then asks for a run; the editor stays open.
    void runScript();

    // Why a name cannot be a script's file name, or empty when it can.
    static QString nameProblem(const QString &name);

signals:
    // fileName: the script's file name in the scripts folder.
    void saved(const QString &fileName);
    void runRequested(const QString &fileName);

protected:
    // Kept hidden between uses: shown again where it was (a window manager
    // would otherwise put it lower by its title bar each time).
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool writeScript();

    Dialogs &m_dialogs;
    QString m_scriptsDir;
    QString m_openDir;    // where the open dialog starts
    QString m_openedPath; // the file the text came from or went to last
    QLineEdit *m_txtSkriptname;
    ScriptTextEdit *m_rtfSkript;
    ScriptHighlighter *m_highlighter;
    frmTask *m_builder;
    std::optional<QPoint> m_placement; // the frame's place when last hidden
};
