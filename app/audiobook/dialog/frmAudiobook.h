#pragma once
// frmAudiobook: the dialog "Als Hörbuch exportieren". It shows the chapters
// of the document in the document box (a check box, the title to edit, the
// words and the spoken length at the user's speed), the heading level that
// starts chapters (or, for a document without headings, a rule for the
// lines that do), the book's title and author, and how the book is written:
// files per chapter or one file with chapter marks, format, subtitles,
// loudness, pauses and where to. "Exportieren" tells a refusal before
// anything is spoken, then runs the export with a progress window whose
// "Abbrechen" stops it, and tells at the end what was written, or why not
// and which files were kept. The choices are remembered for next time.

#include "AudiobookChoices.h"
#include "Book.h"
#include "BookExport.h"
#include "ProgressRunner.h"

#include <QDialog>

#include <functional>

class Dialogs;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTextDocument;
class SettingsStore;

class frmAudiobook : public QDialog
{
    Q_OBJECT
public:
    // Speaks the book into files; runs on a worker thread and calls progress
    // there. The window passes BookExport::run with its workers and clock.
    using Export = std::function<AudiobookWriter::Result(const Book &, const AudiobookOptions &, const BookVoice &,
                                                         const BookExport::Progress &)>;

    // documentPath: the file the document came from, or empty; its name is
    // the book's title where the document names none.
    frmAudiobook(const QTextDocument &document, const QString &documentPath, SettingsStore &settings,
                 Dialogs &dialogs, Export exportBook, QWidget *parent = nullptr);
    ~frmAudiobook() override;

    // The dialog over parent, modal, until it is closed.
    static void showModal(const QTextDocument &document, const QString &documentPath, SettingsStore &settings,
                          Dialogs &dialogs, Export exportBook, QWidget *parent);

    // What "Exportieren" would export now: the chapters as shown (edited
    // titles, check boxes), and the options of the controls.
    Book book() const;
    AudiobookOptions options() const;
    // The voice the book is spoken with: the user's stored voice settings
    // and the active pronunciation dictionaries.
    static BookVoice storedVoice(const SettingsStore &settings);

    // "Exportieren": true when the export ran and wrote the book.
    bool exportBook();

private:
    void buildControls();
    void fillLevels();
    void rebuild();
    void fillTable();
    void showSummary();
    void chapterEdited(int row, int column);
    void layoutChanged();
    void formatChanged();
    void chooseTarget();
    QString defaultFileName() const;
    AudiobookChoices choices() const;
    AudiobookWriter::Result run(const Book &book, const AudiobookOptions &options);
    void tellResult(const AudiobookWriter::Result &result, const AudiobookOptions &options);
    void tell(const QString &text, bool problem);

    const QTextDocument &m_document;
    SettingsStore &m_settings;
    Dialogs &m_dialogs;
    Export m_export;
    ProgressRunner m_runner;
    AudiobookChoices m_choices;
    Book m_book;
    // Headings choose where chapters start; without any, the rule does.
    bool m_headings = false;
    int m_wordsPerMinute = 0;
    QString m_folderTarget;
    QString m_fileTarget;
    bool m_filling = false;

    QFormLayout *m_structure = nullptr;
    QComboBox *m_level = nullptr;
    QLineEdit *m_rule = nullptr;
    QLabel *m_note = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_summary = nullptr;
    QLineEdit *m_title = nullptr;
    QLineEdit *m_author = nullptr;
    QComboBox *m_layout = nullptr;
    QComboBox *m_format = nullptr;
    QComboBox *m_subtitles = nullptr;
    QCheckBox *m_normalize = nullptr;
    QDoubleSpinBox *m_before = nullptr;
    QDoubleSpinBox *m_after = nullptr;
    QDoubleSpinBox *m_paragraph = nullptr;
    QLabel *m_targetLabel = nullptr;
    QLineEdit *m_target = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_exportButton = nullptr;
};
