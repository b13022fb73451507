#pragma once
// frmPronunciation: the dialog "Aussprache-Wörterbuch". Above, the active
// dictionaries in order with a check box each (on/off), new, import,
// export, remove, up and down; below, the entries of the selected one in a
// table (written, spoken, the three options, the reason an entry cannot be
// used), with a search, add and delete, and "Probehören" in each row and
// under the table, which speaks the written form through the selected
// dictionary. Every change is stored at once (DictionaryEditor), so the
// next text spoken uses it. The cells are edited in place (F2 or typing),
// the options toggled with the space bar.

#include "DictionaryEditor.h"

#include <QDialog>

#include <functional>

class Dialogs;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class SettingsStore;
class SpeechEngine;

class frmPronunciation : public QDialog
{
    Q_OBJECT
public:
    // stopSpeaking ends what the program is speaking before a sample plays.
    frmPronunciation(SettingsStore &settings, SpeechEngine &voice, Dialogs &dialogs,
                     std::function<void()> stopSpeaking, QWidget *parent = nullptr);

    // The dialog over parent, modal, until it is closed (Extras menu).
    static void showModal(SettingsStore &settings, SpeechEngine &voice, Dialogs &dialogs,
                          std::function<void()> stopSpeaking, QWidget *parent);

    // For tests and the keyboard: the selected dictionary and entry row.
    void selectDictionary(int index);
    // Speaks the entry shown in that table row.
    void listen(int row);

private:
    void fillDictionaries();
    void fillEntries();
    void entryEdited(int row, int column);
    void saveEntries();
    void addEntry();
    void deleteEntry();
    void newDictionary();
    void importDictionary();
    void exportDictionary();
    void moveDictionary(int delta);
    void removeDictionary();
    void updateButtons();
    void fail(const QString &message);

    ActiveDictionaries m_active;
    DictionaryEditor m_editor;
    SpeechEngine &m_voice;
    Dialogs &m_dialogs;
    std::function<void()> m_stopSpeaking;

    QListWidget *m_list;
    QTableWidget *m_table;
    QLineEdit *m_search;
    QLabel *m_notice;
    QPushButton *m_export, *m_remove, *m_up, *m_down, *m_add, *m_delete, *m_listen;
    QList<PronunciationEntry> m_entries; // of the selected dictionary
    int m_current = -1;
    bool m_filling = false;
};
