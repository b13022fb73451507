// Qt's own texts in German with the real translation catalogue, the file
// dialog's type choice deciding the suffix, and the application icon.
#include "AppIcon.h"
#include "QtDialogs.h"
#include "QtTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>

namespace {

QStringList actionTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *a : menu.actions())
        if (!a->isSeparator())
            texts << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    return texts;
}

// Runs `answer` on the file dialog once it is open.
void whenDialogOpens(std::function<void(QFileDialog &)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            whenDialogOpens(answer);
            return;
        }
        answer(*dialog);
    });
}

} // namespace

class TestGermanQt : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QtTranslations::installGerman(*qApp), "qtbase_de is not installed");
    }

    void contextMenuOfTheDocumentBox()
    {
        QTextEdit box;
        box.setPlainText(QStringLiteral("Text"));
        box.selectAll();
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        const QStringList texts = actionTexts(*menu);
        for (const QString &german : {QStringLiteral("Rückgängig"), QStringLiteral("Wiederherstellen"),
                                      QStringLiteral("Ausschneiden"), QStringLiteral("Kopieren"),
                                      QStringLiteral("Einfügen"), QStringLiteral("Löschen"),
                                      QStringLiteral("Alles auswählen")})
            QVERIFY2(texts.contains(german), qPrintable(texts.join(QLatin1String(", "))));
        QVERIFY(!texts.contains(QStringLiteral("Undo")));
    }

    void saveDialogIsGermanAndTheChosenTypeDecidesTheSuffix_data()
    {
        QTest::addColumn<int>("startFilter");
        QTest::addColumn<int>("chosenFilter"); // -1: left as it started
        QTest::addColumn<QString>("written");
        QTest::newRow("RTF chosen") << 0 << 1 << "brief.rtf";
        QTest::newRow("started on RTF") << 1 << -1 << "brief.rtf";
        QTest::newRow("text files") << 1 << 0 << "brief.txt";
        QTest::newRow("all files keeps the default") << 0 << 2 << "brief.txt";
    }
    void saveDialogIsGermanAndTheChosenTypeDecidesTheSuffix()
    {
        QFETCH(int, startFilter);
        QFETCH(int, chosenFilter);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QtDialogs dialogs;
        Dialogs::FileRequest request;
        request.filter = QStringLiteral("Textdateien (*.txt)|*.txt|Wordpad Dateien (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*");
        request.defaultSuffix = QStringLiteral("txt");
        request.selectedFilter = startFilter;
        request.initialPath = dir.filePath(QStringLiteral("x"));
        QStringList buttons;
        whenDialogOpens([&](QFileDialog &d) {
            for (const QAbstractButton *b : d.findChildren<QPushButton *>())
                buttons << b->text().remove(QLatin1Char('&'));
            auto *types = d.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            if (types && chosenFilter >= 0) {
                types->setCurrentIndex(chosenFilter);
                // What a choice with the mouse sends.
                emit types->activated(chosenFilter);
                emit types->textActivated(types->currentText());
            }
            d.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("brief"));
            QMetaObject::invokeMethod(&d, "accept", Qt::QueuedConnection);
        });
        const auto chosen = dialogs.saveFile(request);
        QVERIFY(chosen);
        QCOMPARE(QFileInfo(*chosen).fileName(), written);
        QVERIFY2(buttons.contains(QStringLiteral("Speichern")), qPrintable(buttons.join(QLatin1String(", "))));
        QVERIFY2(buttons.contains(QStringLiteral("Abbrechen")), qPrintable(buttons.join(QLatin1String(", "))));
    }

    void applicationIcon()
    {
        const QIcon icon = AppIcon::icon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 32, 48, 256}) {
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Transparent corners, the coloured ground in the middle.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY(qAlpha(image.pixel(size / 2, size - size / 16 - 1)) > 200);
        }
        QApplication::setWindowIcon(icon);
        QWidget window;
        QCOMPARE(window.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    }
};

QTEST_MAIN(TestGermanQt)
#include "tst_germanqt.moc"
