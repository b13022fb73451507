// The audiobook dialog: the table shows the document's chapters, what the
// user edits and chooses is what the export gets and what is remembered,
// refusals come before anything is spoken, and the progress window and the
// closing message say what happened. The export itself is a recording fake.

#include "AudiobookTexts.h"
#include "ScriptedDialogs.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "frmAudiobook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// One block a line; "## Titel" is a heading of level 2.
void fill(QTextDocument &doc, const QStringList &lines)
{
    QTextCursor cursor(&doc);
    for (int i = 0; i < lines.size(); ++i) {
        QString text = lines[i];
        int level = 0;
        while (text.startsWith(u'#')) {
            ++level;
            text.remove(0, 1);
        }
        if (i > 0)
            cursor.insertBlock();
        QTextBlockFormat format;
        format.setHeadingLevel(level);
        cursor.setBlockFormat(format);
        cursor.insertText(text.trimmed());
    }
}

const QStringList kThreeChapters{"# Anfang", "eins zwei drei", "# Mitte", "## Unterteil", "vier fünf",
                                 "# Ende", "sechs"};

// What the dialog handed to the export, and what it answers.
struct RecordedExport {
    int calls = 0;
    Book book;
    AudiobookOptions options;
    BookVoice voice;
    QList<BookProgress> reports;
    AudiobookWriter::Result answer;

    frmAudiobook::Export function()
    {
        return [this](const Book &b, const AudiobookOptions &o, const BookVoice &v, const BookExport::Progress &p) {
            ++calls;
            book = b;
            options = o;
            voice = v;
            for (const BookProgress &report : std::as_const(reports))
                p(report);
            return answer;
        };
    }
};

QStringList rows(const QTableWidget &table)
{
    QStringList out;
    for (int row = 0; row < table.rowCount(); ++row)
        out << QStringLiteral("%1|%2|%3").arg(table.item(row, 0)->text(), table.item(row, 1)->text(),
                                             table.item(row, 2)->text());
    return out;
}

} // namespace

class tst_frmAudiobook : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("QUENORA_HOME", QFile::encodeName(m_home->path()));
    }

    void tableShowsTheChapters_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("note");
        // At 0 % the engine speaks 80 words a minute: 4 words take 3 s.
        QTest::newRow("top level") << kThreeChapters << 0 << QString()
                                   << QStringList{"Anfang|4|0:03", "Mitte|4|0:03", "Ende|2|0:02"} << QString();
        QTest::newRow("level 2 chosen")
            << kThreeChapters << 2 << QString()
            << QStringList{"Anfang|4|0:03", "Mitte|1|0:01", "Unterteil|3|0:03", "Ende|2|0:02"} << QString();
        QTest::newRow("rule") << QStringList{"Vorwort", "Kapitel 1 Los", "a b", "Kapitel 2 Weiter", "c"} << 0
                              << "^Kapitel \\d+" << QStringList{"|1|0:01", "Kapitel 1 Los|5|0:04", "Kapitel 2 Weiter|4|0:03"}
                              << QString();
        QTest::newRow("no structure") << QStringList{"nur", "Text"} << 0 << "^Teil "
                                      << QStringList{"|2|0:02"} << AudiobookTexts::NoStructureRule;
        QTest::newRow("invalid rule") << QStringList{"nur", "Text"} << 0 << "(Kapitel"
                                      << QStringList{"|2|0:02"}
                                      << "Das Muster für Kapitelanfänge ist ungültig: missing closing parenthesis";
    }
    void tableShowsTheChapters()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, level);
        QFETCH(QString, rule);
        QFETCH(QStringList, expected);
        QFETCH(QString, note);
        SettingsStore settings;
        QVERIFY(settings.write(SettingKeys::SpeedWhenSpeaking, "0"));
        QVERIFY(settings.write(SettingKeys::AudiobookRule, "^Teil "));
        QTextDocument doc;
        fill(doc, lines);
        ScriptedDialogs dialogs;
        RecordedExport recorded;
        frmAudiobook dialog(doc, QString(), settings, dialogs, recorded.function());
        auto *levels = dialog.findChild<QComboBox *>("cboLevel");
        if (level)
            levels->setCurrentIndex(levels->findData(level));
        if (rule != "^Teil ") {
            // Typed, as the user does: each key finds the chapters anew.
            auto *field = dialog.findChild<QLineEdit *>("txtRule");
            field->clear();
            QTest::keyClicks(field, rule);
        }
        QCOMPARE(rows(*dialog.findChild<QTableWidget *>("tblChapters")), expected);
        QCOMPARE(dialog.findChild<QLabel *>("lblNote")->text(), note);
    }

    void exportGetsWhatTheUserChoseAndRemembersIt_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("subtitles");
        QTest::addColumn<bool>("normalize");
        QTest::addColumn<QString>("target"); // in the temporary folder
        QTest::addColumn<QString>("file");   // the one file's name given to the writer
        QTest::newRow("files per chapter, MP3, SRT")
            << int(AudiobookLayout::FilePerChapter) << int(AudiobookFormat::Mp3) << int(SubtitleFormat::Srt) << true
            << QString() << QString();
        QTest::newRow("one M4B, name without suffix")
            << int(AudiobookLayout::OneFileWithChapters) << int(AudiobookFormat::M4b) << int(SubtitleFormat::WebVtt)
            << false << "Buch" << "Buch.m4b";
        QTest::newRow("one Opus") << int(AudiobookLayout::OneFileWithChapters) << int(AudiobookFormat::Opus)
                                  << int(SubtitleFormat::Lrc) << false << "Buch.opus" << "Buch.opus";
    }
    void exportGetsWhatTheUserChoseAndRemembersIt()
    {
        QFETCH(int, layout);
        QFETCH(int, format);
        QFETCH(int, subtitles);
        QFETCH(bool, normalize);
        QFETCH(QString, target);
        QFETCH(QString, file);
        QTemporaryDir out;
        SettingsStore settings;
        QVERIFY(settings.write(SettingKeys::SpeedWhenSpeaking, "40"));
        QVERIFY(settings.write(SettingKeys::Voice, "3"));
        QTextDocument doc;
        fill(doc, kThreeChapters);
        ScriptedDialogs dialogs;
        RecordedExport recorded;
        recorded.answer.status = AudiobookWriter::Result::Status::Ok;
        recorded.answer.files = {out.filePath("01 Vorne.mp3")};
        {
            frmAudiobook dialog(doc, QString(), settings, dialogs, recorded.function());
            auto *table = dialog.findChild<QTableWidget *>("tblChapters");
            table->item(0, 0)->setText("Vorne\nneu");
            table->item(1, 0)->setCheckState(Qt::Unchecked);
            dialog.findChild<QLineEdit *>("txtTitle")->setText("Das Buch");
            dialog.findChild<QLineEdit *>("txtAuthor")->setText("A. Autorin");
            const auto choose = [&dialog](const char *name, int value) {
                auto *box = dialog.findChild<QComboBox *>(name);
                box->setCurrentIndex(box->findData(value));
            };
            choose("cboLayout", layout);
            choose("cboFormat", format);
            choose("cboSubtitles", subtitles);
            dialog.findChild<QCheckBox *>("chkNormalize")->setChecked(normalize);
            dialog.findChild<QDoubleSpinBox *>("spnSilenceBefore")->setValue(0.3);
            dialog.findChild<QDoubleSpinBox *>("spnSilenceAfter")->setValue(2.0);
            dialog.findChild<QDoubleSpinBox *>("spnParagraphPause")->setValue(1.2);
            QTest::keyClicks(dialog.findChild<QLineEdit *>("txtTarget"),
                             target.isEmpty() ? out.path() : out.filePath(target));
            QVERIFY(dialog.exportBook());
        }
        QCOMPARE(recorded.calls, 1);
        QStringList titles;
        for (const BookChapter &chapter : std::as_const(recorded.book.chapters))
            titles << chapter.title;
        QCOMPARE(titles, (QStringList{"Vorne neu", "Ende"}));
        QCOMPARE(recorded.book.info.title, QStringLiteral("Das Buch"));
        // The choices made above, as the export gets them.
        const auto chosen = [&](const AudiobookOptions &o) {
            QCOMPARE(int(o.layout), layout);
            QCOMPARE(int(o.format), format);
            QCOMPARE(int(o.subtitles), subtitles);
            QCOMPARE(o.normalize, normalize);
            QCOMPARE(o.silenceBeforeMs, 300);
            QCOMPARE(o.silenceAfterMs, 2000);
            QCOMPARE(o.paragraphPauseMs, 1200);
            QCOMPARE(o.folder, out.path());
        };
        const AudiobookOptions &o = recorded.options;
        QCOMPARE(o.book.author, QStringLiteral("A. Autorin"));
        chosen(o);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(o.file, file);
        QCOMPARE(recorded.voice.percentages.speed, 40);
        QCOMPARE(recorded.voice.percentages.voicePosition, 3);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].text.startsWith(AudiobookTexts::written(out.path()))
                     && dialogs.messages[0].text.endsWith("01 Vorne.mp3"),
                 qPrintable(dialogs.messages[0].text));

        // Opened again, the dialog starts with the same choices.
        frmAudiobook again(doc, QString(), settings, dialogs, recorded.function());
        chosen(again.options());
    }

    void oneFileTargetFollowsFolderAndFormat()
    {
        QTemporaryDir out;
        SettingsStore settings;
        QTextDocument doc;
        fill(doc, kThreeChapters);
        ScriptedDialogs dialogs;
        RecordedExport recorded;
        frmAudiobook dialog(doc, "/irgendwo/Die Reise.epub", settings, dialogs, recorded.function());
        auto *target = dialog.findChild<QLineEdit *>("txtTarget");
        QTest::keyClicks(target, out.path());
        auto *layout = dialog.findChild<QComboBox *>("cboLayout");
        layout->setCurrentIndex(layout->findData(int(AudiobookLayout::OneFileWithChapters)));
        QCOMPARE(target->text(), out.filePath("Die Reise.mp3"));
        auto *format = dialog.findChild<QComboBox *>("cboFormat");
        format->setCurrentIndex(format->findData(int(AudiobookFormat::M4b)));
        QCOMPARE(target->text(), out.filePath("Die Reise.m4b"));
    }

    void refusalIsShownAndNothingRuns_data()
    {
        QTest::addColumn<QString>("target"); // "-": the temporary folder's missing child
        QTest::addColumn<bool>("anyChapter");
        QTest::addColumn<QString>("message");
        QTest::newRow("no chapter") << "." << false << AudiobookTexts::NoChapterSelected;
        QTest::newRow("no target") << "" << true << AudiobookTexts::NoTarget;
        QTest::newRow("missing folder") << "-" << true << QString();
    }
    void refusalIsShownAndNothingRuns()
    {
        QFETCH(QString, target);
        QFETCH(bool, anyChapter);
        QFETCH(QString, message);
        QTemporaryDir out;
        const QString missing = out.filePath("fehlt");
        if (target == "-") {
            target = missing;
            message = AudiobookTexts::folderMissing(missing);
        } else if (target == ".") {
            target = out.path();
        }
        SettingsStore settings;
        QTextDocument doc;
        fill(doc, kThreeChapters);
        ScriptedDialogs dialogs;
        RecordedExport recorded;
        frmAudiobook dialog(doc, QString(), settings, dialogs, recorded.function());
        auto *table = dialog.findChild<QTableWidget *>("tblChapters");
        for (int row = 0; !anyChapter && row < table->rowCount(); ++row)
            table->item(row, 0)->setCheckState(Qt::Unchecked);
        dialog.findChild<QLineEdit *>("txtTarget")->setText(target);
        QVERIFY(!dialog.exportBook());
        QCOMPARE(recorded.calls, 0);
        QVERIFY(dialogs.progressWindows.isEmpty());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, message);
    }

    void progressAndEndAreTold_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled, one kept")
            << int(AudiobookWriter::Result::Status::Cancelled) << QStringList{"01 Anfang.mp3", "Buch.m3u8"}
            << QStringLiteral("Der Export wurde abgebrochen.\n\nFertig und behalten: „%1“\n01 Anfang.mp3\nBuch.m3u8");
        QTest::newRow("failed, nothing kept")
            << int(AudiobookWriter::Result::Status::Failed) << QStringList{}
            << QStringLiteral("Das Hörbuch wurde nicht fertig: Platte voll\n\n") + AudiobookTexts::NothingKept;
    }
    void progressAndEndAreTold()
    {
        QFETCH(int, status);
        QFETCH(QStringList, files);
        QFETCH(QString, message);
        QTemporaryDir out;
        SettingsStore settings;
        QTextDocument doc;
        fill(doc, kThreeChapters);
        ScriptedDialogs dialogs;
        RecordedExport recorded;
        recorded.reports = {{0, 3, "Anfang", 0.25, 150000, false},
                            {0, 3, "Anfang", 0.3, 150000, false},
                            {2, 3, "Ende", 0.9, 30000, false},
                            {2, 3, "", 0.95, -1, true}};
        recorded.answer.status = AudiobookWriter::Result::Status(status);
        recorded.answer.message = status == int(AudiobookWriter::Result::Status::Cancelled)
            ? AudiobookTexts::cancelled()
            : QStringLiteral("Platte voll");
        for (const QString &name : files)
            (name.endsWith(".m3u8") ? recorded.answer.playlist : recorded.answer.files.emplace_back()) =
                out.filePath(name);
        frmAudiobook dialog(doc, QString(), settings, dialogs, recorded.function());
        dialog.findChild<QLineEdit *>("txtTarget")->setText(out.path());
        QVERIFY(!dialog.exportBook());

        QCOMPARE(dialogs.progressWindows.size(), 1);
        const ScriptedDialogs::ProgressWindow &window = dialogs.progressWindows[0];
        QCOMPARE(window.values, (QList<int>{250, 300, 900, 950}));
        QCOMPARE(window.labels, (QStringList{"Kapitel 1 von 3: „Anfang“\nnoch etwa 3 Minuten",
                                             "Kapitel 3 von 3: „Ende“\nnoch weniger als eine Minute",
                                             "Die Dateien werden geschrieben …"}));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, message.contains("%1") ? message.arg(out.path()) : message);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(tst_frmAudiobook)
#include "tst_frmaudiobook.moc"
