#pragma once
// Dialogs: every message box, file dialog and progress window of Quenora
// goes through this interface. QtDialogs shows real dialogs; tests use ScriptedDialogs, which
// records what was asked and answers from a queue. Logic classes take a
// Dialogs& and never open a dialog themselves.

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

class Dialogs
{
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    // What a file dialog is asked to do. `filter` is in the form
    // "Description|*.a;*.b|Other|*.c" that Quenora's texts use.
    struct FileRequest {
        QString title;
        QString filter;
        QString initialPath;       // a file to show selected, or the folder to start in
        QString defaultSuffix;     // without the dot, e.g. "txt"; a filter of one type gives its own
        int selectedFilter = 0;    // the filter the dialog starts on, counted from 0
        bool fileMustExist = false; // open: the chosen file must exist
        bool confirmOverwrite = false; // save: ask before replacing a file
    };

    // A progress window (ProgressRunner shows one while work runs off the
    // GUI thread).
    struct ProgressRequest {
        QString title;
        QString label;
        QString cancel;        // the button's caption
        int showAfterMs = 400; // work done sooner never shows the window
    };
    class Progress
    {
    public:
        virtual ~Progress() = default; // closes the window
        // The share done, in thousandths.
        virtual void setValue(int permille) = 0;
        // What is being done now, in place of the request's label.
        virtual void setLabel(const QString &label) { Q_UNUSED(label); }
        // Whether the window is on screen (it is then modal).
        virtual bool isShown() const = 0;
    };

    virtual ~Dialogs() = default;

    virtual Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const FileRequest &request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest &request) = 0;
    // A folder (request's title and initialPath only); nothing when the
    // user cancelled. A Dialogs that cannot ask answers nothing.
    virtual std::optional<QString> chooseFolder(const FileRequest &request)
    {
        Q_UNUSED(request);
        return std::nullopt;
    }
    // Asks for a password (hidden while typed); nothing when cancelled.
    // A Dialogs that cannot ask answers nothing.
    virtual std::optional<QString> password(const QString &text, const QString &title)
    {
        Q_UNUSED(text);
        Q_UNUSED(title);
        return std::nullopt;
    }
    // A window-modal progress window that appears once the work has taken
    // showAfterMs; its button calls cancel (on the GUI thread). A Dialogs
    // that cannot show one gives a window that never shows.
    virtual std::unique_ptr<Progress> progress(const ProgressRequest &request, std::function<void()> cancel);
};

// Converts "Description|*.a;*.b|Other|*.c" into Qt's name filters
// ("Description (*.a *.b);;Other (*.c)"). A description that already ends in
// a parenthesised list keeps it; Qt then shows the description as written.
QString qtNameFilters(const QString &filter);

// The suffix a typed name without one gets under filter number `index`: the
// filter's type when it names exactly one ("*.rtf" gives "rtf"), else
// `fallback`. So "brief" typed with the RTF filter chosen becomes brief.rtf.
QString defaultSuffixForFilter(const QString &filter, int index, const QString &fallback);
