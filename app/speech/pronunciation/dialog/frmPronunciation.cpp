#include "frmPronunciation.h"

#include "Dialogs.h"
#include "PronunciationTexts.h"
#include "SpeechEngine.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Written, Spoken, WholeWord, CaseSensitive, Regex, Problem, Listen, ColumnCount };

// The selected dictionary alone, for a sample.
class OneDictionary : public PronunciationSource
{
public:
    explicit OneDictionary(QList<PronunciationEntry> entries)
        : m_pronouncer(std::make_shared<const Pronouncer>(std::move(entries)))
    {
    }
    std::shared_ptr<const Pronouncer> current() override { return m_pronouncer; }
    QStringList fileProblems() const override { return {}; }

private:
    std::shared_ptr<const Pronouncer> m_pronouncer;
};

QTableWidgetItem *checkItem(bool on, bool editable)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | (editable ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

frmPronunciation::frmPronunciation(SettingsStore &settings, SpeechEngine &voice, Dialogs &dialogs,
                                   std::function<void()> stopSpeaking, QWidget *parent)
    : QDialog(parent), m_active(settings), m_editor(m_active), m_voice(voice), m_dialogs(dialogs),
      m_stopSpeaking(std::move(stopSpeaking))
{
    setWindowTitle(PronunciationTexts::DialogTitle);
    auto *layout = new QVBoxLayout(this);

    auto *listLabel = new QLabel(PronunciationTexts::Dictionaries, this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstDictionaries"));
    m_list->setAccessibleName(PronunciationTexts::DialogTitle);
    listLabel->setBuddy(m_list);
    layout->addWidget(listLabel);
    auto *listRow = new QHBoxLayout;
    listRow->addWidget(m_list, 1);
    auto *listButtons = new QVBoxLayout;
    const auto button = [this](const QString &text, const char *name, QBoxLayout *into, auto handler) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        into->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    button(PronunciationTexts::New, "cmdNew", listButtons, [this] { newDictionary(); });
    button(PronunciationTexts::Import, "cmdImport", listButtons, [this] { importDictionary(); });
    m_export = button(PronunciationTexts::Export, "cmdExport", listButtons, [this] { exportDictionary(); });
    m_remove = button(PronunciationTexts::Remove, "cmdRemove", listButtons, [this] { removeDictionary(); });
    m_up = button(PronunciationTexts::Up, "cmdUp", listButtons, [this] { moveDictionary(-1); });
    m_down = button(PronunciationTexts::Down, "cmdDown", listButtons, [this] { moveDictionary(1); });
    listButtons->addStretch();
    listRow->addLayout(listButtons);
    layout->addLayout(listRow, 1);

    auto *entriesLabel = new QLabel(PronunciationTexts::Entries, this);
    layout->addWidget(entriesLabel);
    auto *searchRow = new QHBoxLayout;
    auto *searchLabel = new QLabel(PronunciationTexts::Search, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("tblEntries"));
    m_table->setAccessibleName(PronunciationTexts::Entries);
    entriesLabel->setBuddy(m_table);
    m_table->setHorizontalHeaderLabels({PronunciationTexts::ColumnWritten, PronunciationTexts::ColumnSpoken,
                                        PronunciationTexts::ColumnWholeWord, PronunciationTexts::ColumnCase,
                                        PronunciationTexts::ColumnRegex, PronunciationTexts::ColumnProblem,
                                        QString()});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    for (const int c : {WholeWord, CaseSensitive, Regex, Listen})
        m_table->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(Problem, QHeaderView::Stretch);
    m_table->setColumnWidth(Written, 150);
    m_table->setColumnWidth(Spoken, 200);
    layout->addWidget(m_table, 2);
    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_notice);

    auto *entryButtons = new QHBoxLayout;
    m_add = button(PronunciationTexts::AddEntry, "cmdAddEntry", entryButtons, [this] { addEntry(); });
    m_delete = button(PronunciationTexts::DeleteEntry, "cmdDeleteEntry", entryButtons, [this] { deleteEntry(); });
    m_listen = button(QStringLiteral("&") + PronunciationTexts::Listen, "cmdListen", entryButtons,
                      [this] { listen(m_table->currentRow()); });
    entryButtons->addStretch();
    auto *close = button(PronunciationTexts::Close, "cmdClose", entryButtons, [this] { accept(); });
    close->setDefault(true);
    layout->addLayout(entryButtons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_current = row;
        fillEntries();
    });
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_filling)
            return;
        if (!m_editor.setActive(m_list->row(item), item->checkState() == Qt::Checked))
            fail(PronunciationTexts::SettingNotStored);
    });
    connect(m_table, &QTableWidget::cellChanged, this, &frmPronunciation::entryEdited);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
    connect(m_search, &QLineEdit::textChanged, this, [this] { fillEntries(); });

    fillDictionaries();
    resize(860, 560);
}

void frmPronunciation::showModal(SettingsStore &settings, SpeechEngine &voice, Dialogs &dialogs,
                                 std::function<void()> stopSpeaking, QWidget *parent)
{
    frmPronunciation dialog(settings, voice, dialogs, std::move(stopSpeaking), parent);
    dialog.exec();
}

void frmPronunciation::fail(const QString &message)
{
    m_dialogs.message(message, PronunciationTexts::TitleError, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
}

void frmPronunciation::fillDictionaries()
{
    const int keep = m_current;
    m_filling = true;
    m_list->clear();
    for (const DictionaryRef &d : m_editor.dictionaries()) {
        auto *item = new QListWidgetItem(d.isShipped() ? QStringLiteral("%1 (%2)").arg(d.displayName(),
                                                                                         PronunciationTexts::Shipped)
                                                       : d.displayName() + QStringLiteral(" – ") + d.path());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(d.active ? Qt::Checked : Qt::Unchecked);
        m_list->addItem(item);
    }
    m_filling = false;
    selectDictionary(std::clamp(keep, m_list->count() ? 0 : -1, m_list->count() - 1));
}

void frmPronunciation::selectDictionary(int index)
{
    if (m_list->currentRow() == index) {
        m_current = index;
        fillEntries();
    } else {
        m_list->setCurrentRow(index);
    }
}

void frmPronunciation::fillEntries()
{
    const PronunciationFile file = m_editor.entries(m_current);
    m_entries = file.entries;
    QStringList notes;
    if (!file.error.isEmpty())
        notes.append(file.error);
    if (!file.brokenLines.isEmpty())
        notes.append(PronunciationTexts::brokenLinesNotice(file.brokenLines));
    m_notice->setText(notes.join(QLatin1Char('\n')));
    m_notice->setVisible(!notes.isEmpty());

    const bool editable = m_editor.isEditable(m_current);
    m_filling = true;
    m_table->setRowCount(0);
    for (int i = 0; i < m_entries.size(); ++i) {
        const PronunciationEntry &e = m_entries.at(i);
        if (!DictionaryEditor::matches(e, m_search->text()))
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        auto *written = new QTableWidgetItem(e.written);
        written->setData(Qt::UserRole, i);
        auto *spoken = new QTableWidgetItem(e.spoken);
        if (!editable) {
            written->setFlags(written->flags() & ~Qt::ItemIsEditable);
            spoken->setFlags(spoken->flags() & ~Qt::ItemIsEditable);
        }
        m_table->setItem(row, Written, written);
        m_table->setItem(row, Spoken, spoken);
        m_table->setItem(row, WholeWord, checkItem(e.wholeWord, editable));
        m_table->setItem(row, CaseSensitive, checkItem(e.caseSensitive, editable));
        m_table->setItem(row, Regex, checkItem(e.regex, editable));
        auto *problem = new QTableWidgetItem(Pronouncer::check(e));
        problem->setToolTip(problem->text());
        problem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_table->setItem(row, Problem, problem);
        auto *play = new QPushButton(PronunciationTexts::Listen, m_table);
        play->setFocusPolicy(Qt::NoFocus); // the keyboard uses the button under the table
        play->setAccessibleName(PronunciationTexts::Listen + QLatin1Char(' ') + e.written);
        connect(play, &QPushButton::clicked, this, [this, written] { listen(written->row()); });
        m_table->setCellWidget(row, Listen, play);
    }
    m_filling = false;
    updateButtons();
}

void frmPronunciation::updateButtons()
{
    const bool any = m_current >= 0;
    const bool editable = m_editor.isEditable(m_current);
    m_export->setEnabled(any);
    m_remove->setEnabled(any);
    m_up->setEnabled(m_current > 0);
    m_down->setEnabled(any && m_current < m_list->count() - 1);
    m_add->setEnabled(editable);
    m_delete->setEnabled(editable && m_table->currentRow() >= 0);
    m_listen->setEnabled(m_table->currentRow() >= 0);
}

void frmPronunciation::entryEdited(int row, int column)
{
    if (m_filling)
        return;
    QTableWidgetItem *written = m_table->item(row, Written);
    if (!written)
        return;
    PronunciationEntry &e = m_entries[written->data(Qt::UserRole).toInt()];
    const auto checked = [&](int c) { return m_table->item(row, c)->checkState() == Qt::Checked; };
    switch (column) {
    case Written: e.written = written->text().trimmed(); break;
    case Spoken: e.spoken = m_table->item(row, Spoken)->text().trimmed(); break;
    case WholeWord: e.wholeWord = checked(WholeWord); break;
    case CaseSensitive: e.caseSensitive = checked(CaseSensitive); break;
    case Regex: e.regex = checked(Regex); break;
    default: return;
    }
    m_filling = true;
    m_table->item(row, Problem)->setText(Pronouncer::check(e));
    m_table->item(row, Problem)->setToolTip(m_table->item(row, Problem)->text());
    m_filling = false;
    saveEntries();
}

void frmPronunciation::saveEntries()
{
    // An entry without a written form would be a broken line: it waits.
    QList<PronunciationEntry> complete;
    for (const PronunciationEntry &e : m_entries) {
        if (!e.written.isEmpty())
            complete.append(e);
    }
    QString error;
    if (!m_editor.save(m_current, complete, &error))
        fail(PronunciationTexts::notSaved(error));
}

void frmPronunciation::addEntry()
{
    PronunciationEntry e;
    e.written = m_search->text().trimmed();
    m_search->clear();
    m_entries.append(e);
    saveEntries();
    fillEntries();
    const int row = m_table->rowCount() - 1;
    m_table->setCurrentCell(row, e.written.isEmpty() ? Written : Spoken);
    m_table->setFocus();
    m_table->editItem(m_table->item(row, e.written.isEmpty() ? Written : Spoken));
}

void frmPronunciation::deleteEntry()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    m_entries.removeAt(m_table->item(row, Written)->data(Qt::UserRole).toInt());
    saveEntries();
    fillEntries();
    m_table->setCurrentCell(std::min(row, m_table->rowCount() - 1), Written);
}

void frmPronunciation::listen(int row)
{
    if (row < 0 || row >= m_table->rowCount())
        return;
    const PronunciationEntry &e = m_entries.at(m_table->item(row, Written)->data(Qt::UserRole).toInt());
    if (m_stopSpeaking)
        m_stopSpeaking();
    else
        m_voice.reset();
    // The engine asks for its dictionaries as it takes the text: for this
    // text, the selected one, written as the table shows it.
    OneDictionary selected(m_entries);
    PronunciationSource *usual = m_voice.pronunciation();
    m_voice.setPronunciation(&selected);
    m_voice.speak(e.written);
    m_voice.setPronunciation(usual);
}

void frmPronunciation::newDictionary()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, PronunciationTexts::DialogTitle, PronunciationTexts::NewName,
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    QString error;
    if (!m_editor.create(name, &error))
        return fail(error);
    m_current = int(m_editor.dictionaries().size()) - 1;
    fillDictionaries();
}

void frmPronunciation::importDictionary()
{
    Dialogs::FileRequest request;
    request.title = PronunciationTexts::ImportTitle;
    request.filter = PronunciationTexts::FileFilter;
    request.fileMustExist = true;
    const std::optional<QString> path = m_dialogs.openFile(request);
    if (!path)
        return;
    QString note;
    if (!m_editor.import(*path, &note))
        return fail(note);
    m_current = int(m_editor.dictionaries().size()) - 1;
    fillDictionaries();
    if (!note.isEmpty())
        m_dialogs.message(note, PronunciationTexts::TitleNotice, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void frmPronunciation::exportDictionary()
{
    Dialogs::FileRequest request;
    request.title = PronunciationTexts::ExportTitle;
    request.filter = PronunciationTexts::FileFilter;
    request.defaultSuffix = QStringLiteral("txt");
    request.confirmOverwrite = true;
    const std::optional<QString> path = m_dialogs.saveFile(request);
    if (!path)
        return;
    QString error;
    if (!m_editor.exportTo(m_current, *path, &error))
        fail(PronunciationTexts::notSaved(error));
}

void frmPronunciation::moveDictionary(int delta)
{
    if (!m_editor.move(m_current, delta))
        return;
    m_current += delta;
    fillDictionaries();
    m_list->setFocus();
}

void frmPronunciation::removeDictionary()
{
    if (!m_editor.remove(m_current))
        return;
    fillDictionaries();
}
