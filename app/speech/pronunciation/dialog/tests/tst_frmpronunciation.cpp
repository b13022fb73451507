#include "FakeSpeechEngine.h"
#include "PronunciationFile.h"
#include "PronunciationSource.h"
#include "ScriptedDialogs.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "frmPronunciation.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QLineEdit>
#include <QtTest>

#include <optional>

#include <sys/stat.h>

// The dictionary dialog: what it changes is stored at once, in the active
// set and in the user's file, and "Probehören" speaks through the selected
// dictionary.
class tst_frmPronunciation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void listAndOrderAreStored();
    void editingWritesTheFileAndShowsProblems();
    void listenSpeaksThroughTheSelectedDictionary();
    void importNamesBrokenLinesAndExportWrites();
    void shippedDictionaryIsReadOnly();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

namespace {

// Remembers what each text would become through the dictionaries the
// engine had while taking it.
class ListeningEngine : public FakeSpeechEngine
{
public:
    void setPronunciation(PronunciationSource *source) override { m_source = source; }
    PronunciationSource *pronunciation() const override { return m_source; }
    void speak(const QString &text) override
    {
        heard.append(m_source ? m_source->current()->apply(text).spoken : text);
        FakeSpeechEngine::speak(text);
    }
    QStringList heard;

private:
    PronunciationSource *m_source = nullptr;
};

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(bytes);
    return path;
}

// The dialog and what it works on: the settings (the dictionary set is
// written before open()), an engine that remembers what it heard, scripted
// file dialogs and messages, and how often the dialog stopped the speech.
struct DialogRig {
    SettingsStore settings;
    ListeningEngine voice;
    ScriptedDialogs dialogs;
    int stopped = 0;
    std::optional<frmPronunciation> dialog;

    frmPronunciation &open()
    {
        dialog.emplace(settings, voice, dialogs, [this] { ++stopped; });
        return *dialog;
    }
    template <class T = QPushButton>
    T *child(const char *name) const
    {
        return dialog->findChild<T *>(QLatin1String(name));
    }
    void click(const char *name) { child(name)->click(); }
};

} // namespace

void tst_frmPronunciation::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    qputenv("QUENORA_HOME", QFile::encodeName(m_home->path()));
    qputenv("QUENORA_DATA_DIR", QFile::encodeName(QStringLiteral(QUENORA_SOURCE_DIR "/data")));
}

void tst_frmPronunciation::listAndOrderAreStored()
{
    DialogRig rig;
    const QString mine = writeFile(m_home->filePath("mein.txt"), "EZB\tZentralbank\n");
    QVERIFY(rig.settings.write(SettingKeys::PronunciationDictionaries, "1\tdata:deutsch.txt\n1\t" + mine));
    frmPronunciation &dialog = rig.open();
    auto *list = rig.child<QListWidget>("lstDictionaries");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("deutsch (mitgeliefert)"));
    dialog.selectDictionary(1);
    rig.click("cmdUp");
    QCOMPARE(rig.settings.read(SettingKeys::PronunciationDictionaries), "1\t" + mine + "\n1\tdata:deutsch.txt");
    QCOMPARE(list->currentRow(), 0);
    list->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(rig.settings.read(SettingKeys::PronunciationDictionaries), "1\t" + mine + "\n0\tdata:deutsch.txt");
    dialog.selectDictionary(0);
    rig.click("cmdRemove");
    QCOMPARE(rig.settings.read(SettingKeys::PronunciationDictionaries), QStringLiteral("0\tdata:deutsch.txt"));
    QVERIFY(QFile::exists(mine)); // removed from the set, not deleted
}

void tst_frmPronunciation::editingWritesTheFileAndShowsProblems()
{
    DialogRig rig;
    const QString mine = writeFile(m_home->filePath("mein.txt"), "EZB\tZentralbank\nkaputt\n");
    QVERIFY(rig.settings.write(SettingKeys::PronunciationDictionaries, "1\t" + mine));
    frmPronunciation &dialog = rig.open();
    auto *table = rig.child<QTableWidget>("tblEntries");
    QCOMPARE(table->rowCount(), 1);
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel *l) {
        return l->text().contains(QStringLiteral("Zeile 2: Geschriebene und gesprochene Form"));
    }));
    // Typing into the search and adding takes the search as written form.
    rig.child<QLineEdit>("txtSearch")->setText(QStringLiteral("(x"));
    QCOMPARE(table->rowCount(), 0);
    rig.click("cmdAddEntry");
    QCOMPARE(table->rowCount(), 2);
    table->item(1, 1)->setText(QStringLiteral("iks"));
    table->item(1, 4)->setCheckState(Qt::Checked);
    QVERIFY2(table->item(1, 5)->text().startsWith(QStringLiteral("Ungültiger regulärer Ausdruck")),
             qPrintable(table->item(1, 5)->text()));
    table->item(0, 3)->setCheckState(Qt::Checked);
    PronunciationFile saved = PronunciationFile::load(mine);
    QCOMPARE(saved.entries.size(), 2);
    QCOMPARE(PronunciationFile::format(saved.entries), QByteArray("EZB\tZentralbank\twc\n(x\tiks\twr\n"));
    table->setCurrentCell(0, 0);
    rig.click("cmdDeleteEntry");
    // The broken line is kept, made a comment.
    QFile file(mine);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("# kaputt\n(x\tiks\twr\n"));
}

void tst_frmPronunciation::listenSpeaksThroughTheSelectedDictionary()
{
    DialogRig rig;
    const QString mine = writeFile(m_home->filePath("mein.txt"), "EZB\tEuropäische Zentralbank\n");
    QVERIFY(rig.settings.write(SettingKeys::PronunciationDictionaries, "0\t" + mine));
    rig.open();
    rig.child<QTableWidget>("tblEntries")->setCurrentCell(0, 0);
    rig.click("cmdListen");
    // Switched off in the set, the selected dictionary is still what the
    // sample is spoken with; the engine's own dictionaries are back after.
    QCOMPARE(rig.voice.heard, QStringList{QStringLiteral("Europäische Zentralbank")});
    QCOMPARE(rig.stopped, 1);
    QCOMPARE(rig.voice.pronunciation(), nullptr);
}

void tst_frmPronunciation::importNamesBrokenLinesAndExportWrites()
{
    DialogRig rig;
    QVERIFY(rig.settings.write(SettingKeys::PronunciationDictionaries, QStringLiteral("0\t")));
    const QString source = writeFile(m_home->filePath("fremd.txt"), "Nr.\tNummer\nohne\n");
    rig.open();
    rig.dialogs.files.enqueue(source);
    rig.click("cmdImport");
    const QString copy = m_home->path() + QStringLiteral("/pronunciation/fremd.txt");
    QCOMPARE(rig.settings.read(SettingKeys::PronunciationDictionaries), "1\t" + copy);
    QCOMPARE(PronunciationFile::load(copy).entries.size(), 1);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages.first().text.contains(QStringLiteral("Zeile 2")));
    const QString target = m_home->filePath("export.txt");
    rig.dialogs.files.enqueue(target);
    rig.click("cmdExport");
    QCOMPARE(PronunciationFile::load(target).entries.size(), 1);
    // A FIFO is refused with the reason.
    const QString pipe = m_home->filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    rig.dialogs.files.enqueue(pipe);
    rig.click("cmdImport");
    QVERIFY(rig.dialogs.messages.last().text.contains(QStringLiteral("benannte Pipe")));
}

void tst_frmPronunciation::shippedDictionaryIsReadOnly()
{
    DialogRig rig;
    rig.open();
    auto *table = rig.child<QTableWidget>("tblEntries");
    QVERIFY(table->rowCount() > 50);
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));
    QVERIFY(!rig.child("cmdAddEntry")->isEnabled());
}

QTEST_MAIN(tst_frmPronunciation)
#include "tst_frmpronunciation.moc"
