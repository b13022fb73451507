// The mail launcher: which link reaches the desktop after an export, what
// the question window shows and what it remembers. The links are caught
// before any mail program would see them.

#include "Form1.h"
#include "MailSettings.h"
#include "MailTexts.h"
#include "clsLaunchMail.h"
#include "clsRegistryAccess.h"
#include "quenora_extension.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLibrary>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <map>

namespace {

class MapSettings : public MailSettings
{
public:
    std::map<QString, QString> values;
    QString read(const QString &sName, const QString &sDefault) override
    {
        const auto it = values.find(sName);
        return it == values.end() ? sDefault : it->second;
    }
    void write(const QString &sName, const QString &sValue) override { values[sName] = sValue; }
};

// Stands in for the desktop's mail program.
class MailCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

enum class Answer { Yes, No, CloseBox };

struct Run {
    MapSettings settings;
    QStringList links;
    int windowsShown = 0;
    bool outlookShownChecked = false;
    bool iconRemoved = false;

    // One export; the window, if shown, gets the boxes and the answer given.
    void exportFile(const QString &path, Answer answer, bool checkOutlook = false, bool remember = false)
    {
        clsLaunchMail launcher(
            settings, [this](const QUrl &url) { links << url.toString(QUrl::FullyEncoded); },
            [&](Form1 &form) {
                ++windowsShown;
                outlookShownChecked = form.chkOutlook()->isChecked();
                iconRemoved = form.iconRemoved();
                form.chkOutlook()->setChecked(checkOutlook);
                form.chkRemember()->setChecked(remember);
                if (answer == Answer::Yes)
                    form.cmdYes()->click();
                else if (answer == Answer::No)
                    form.cmdNo()->click();
                else
                    form.reject();
            });
        QString file = path;
        const QVariant result = launcher.Export(file);
        QVERIFY(!result.isValid());
        QCOMPARE(launcher.sExpFile, path);
    }
};

const QString kFile = QStringLiteral("/home/anna/Sprachausgabe.wav");
const QString kFullLink =
    QStringLiteral("mailto:empfaenger@example.com?suject=Quenora&attach=/home/anna/Sprachausgabe.wav");

} // namespace

class TestMailhook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rememberedYesOpensAtOnce_data();
    void rememberedYesOpensAtOnce();
    void nothingStoredAsksAndYesOpensPlainLink();
    void yesWithOutlookOpensFullLink();
    void rememberedNoStillAsks();
    void rememberedYesStopsTheQuestion();
    void closeBoxWritesAndOpensNothing();
    void windowIconKeptOnlyAfterRememberedNo_data();
    void windowIconKeptOnlyAfterRememberedNo();
    void pathStaysOneParameter_data();
    void pathStaysOneParameter();
    void windowTexts();
    void questionBelongsToTheActiveWindow();
    void settingsLiveInTheHive();
    void pluginOpensThroughTheDesktop();

private:
    QTemporaryDir m_home;
};

void TestMailhook::initTestCase()
{
    // A hive of this run's own: answers remembered by an earlier run must
    // not decide this one.
    QVERIFY(m_home.isValid());
    qputenv("QUENORA_HOME", QFile::encodeName(m_home.path()));
}

void TestMailhook::rememberedYesOpensAtOnce_data()
{
    QTest::addColumn<QString>("outlook");
    QTest::addColumn<QString>("link");
    QTest::newRow("Outlook 0") << "0" << "mailto:";
    QTest::newRow("Outlook 1") << "1" << kFullLink;
    QTest::newRow("no Outlook value counts as 1") << QString() << kFullLink;
}

void TestMailhook::rememberedYesOpensAtOnce()
{
    QFETCH(QString, outlook);
    QFETCH(QString, link);
    Run run;
    run.settings.values[MailTexts::LaunchMailProgram] = QStringLiteral("true");
    if (!outlook.isNull())
        run.settings.values[MailTexts::Outlook] = outlook;
    run.exportFile(kFile, Answer::No);
    QCOMPARE(run.windowsShown, 0);
    QCOMPARE(run.links, QStringList{link});
}

void TestMailhook::nothingStoredAsksAndYesOpensPlainLink()
{
    Run run;
    run.exportFile(kFile, Answer::Yes);
    QCOMPARE(run.windowsShown, 1);
    QVERIFY(!run.outlookShownChecked);
    QCOMPARE(run.links, QStringList{QStringLiteral("mailto:")});
    QCOMPARE(run.settings.values, (std::map<QString, QString>{{MailTexts::Outlook, QStringLiteral("0")}}));
}

void TestMailhook::yesWithOutlookOpensFullLink()
{
    Run run;
    run.exportFile(kFile, Answer::Yes, true);
    QCOMPARE(run.links, QStringList{kFullLink});
    QCOMPARE(run.settings.values[MailTexts::Outlook], QStringLiteral("1"));
    // The box shows what was stored the next time.
    run.exportFile(kFile, Answer::No);
    QVERIFY(run.outlookShownChecked);
}

void TestMailhook::rememberedNoStillAsks()
{
    Run run;
    run.exportFile(kFile, Answer::No, false, true);
    QVERIFY(run.links.isEmpty());
    QCOMPARE(run.settings.values[MailTexts::LaunchMailProgram], QStringLiteral("false"));
    run.exportFile(kFile, Answer::No);
    QCOMPARE(run.windowsShown, 2);
    QVERIFY(run.links.isEmpty());
}

void TestMailhook::rememberedYesStopsTheQuestion()
{
    Run run;
    run.exportFile(kFile, Answer::Yes, true, true);
    QCOMPARE(run.settings.values[MailTexts::LaunchMailProgram], QStringLiteral("true"));
    run.exportFile(QStringLiteral("/tmp/zwei.wav"), Answer::No);
    QCOMPARE(run.windowsShown, 1);
    QCOMPARE(run.links.size(), 2);
    QVERIFY(run.links.at(1).endsWith(QLatin1String("attach=/tmp/zwei.wav")));
}

void TestMailhook::closeBoxWritesAndOpensNothing()
{
    Run run;
    run.exportFile(kFile, Answer::CloseBox, true, true);
    QCOMPARE(run.windowsShown, 1);
    QVERIFY(run.links.isEmpty());
    QVERIFY(run.settings.values.empty());
}

void TestMailhook::windowIconKeptOnlyAfterRememberedNo_data()
{
    QTest::addColumn<QString>("launch");
    QTest::addColumn<bool>("removed");
    QTest::newRow("nothing stored") << QString() << true;
    QTest::newRow("false") << "false" << false;
    QTest::newRow("False") << "False" << true;
    QTest::newRow("TRUE is not true") << "TRUE" << true;
}

void TestMailhook::windowIconKeptOnlyAfterRememberedNo()
{
    QFETCH(QString, launch);
    QFETCH(bool, removed);
    Run run;
    if (!launch.isNull())
        run.settings.values[MailTexts::LaunchMailProgram] = launch;
    run.exportFile(kFile, Answer::CloseBox);
    QCOMPARE(run.windowsShown, 1);
    QCOMPARE(run.iconRemoved, removed);
}

void TestMailhook::pathStaysOneParameter_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("blanks") << "/home/anna/Meine Aufnahmen/Sprach ausgabe.wav";
    QTest::newRow("ampersand and equals") << "/tmp/Rede & Antwort=1.wav";
    QTest::newRow("hash and question mark") << "/tmp/Nr #3?.mp3";
    QTest::newRow("umlauts and percent") << "/tmp/Grüße 100%.ogg";
}

void TestMailhook::pathStaysOneParameter()
{
    QFETCH(QString, path);
    const QUrl url(clsLaunchMail::mailLink(path), QUrl::StrictMode);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(), MailTexts::Recipient);
    const QUrlQuery query(url);
    QCOMPARE(query.queryItems(QUrl::FullyDecoded).size(), 2);
    QCOMPARE(query.queryItemValue(QStringLiteral("suject")), QStringLiteral("Quenora"));
    QCOMPARE(query.queryItemValue(QStringLiteral("attach"), QUrl::FullyDecoded), path);
}

void TestMailhook::windowTexts()
{
    MapSettings settings;
    clsLaunchMail launcher(settings, [](const QUrl &) {});
    Form1 form(launcher);
    QVERIFY(form.Form_Load());
    QCOMPARE(form.windowTitle(), QStringLiteral("Frage"));
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label2"))->text(), MailTexts::Question);
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("frmMail"))->text(), MailTexts::Explanation);
    QCOMPARE(form.chkOutlook()->text(), QStringLiteral("Ich benutze Outlook."));
    QCOMPARE(form.chkRemember()->text(), QStringLiteral("Antwort merken."));
    QCOMPARE(form.cmdYes()->text(), QStringLiteral("Ja"));
    QCOMPARE(form.cmdNo()->text(), QStringLiteral("Nein"));
    QVERIFY(!form.findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
    QVERIFY(form.font().families().contains(QStringLiteral("Tahoma")));
}

void TestMailhook::questionBelongsToTheActiveWindow()
{
    QWidget mainWindow;
    mainWindow.show();
    QApplication::setActiveWindow(&mainWindow);
    QCOMPARE(QApplication::activeWindow(), &mainWindow);
    MapSettings settings;
    QWidget *parent = nullptr;
    bool isWindow = false;
    clsLaunchMail launcher(settings, [](const QUrl &) {}, [&](Form1 &form) {
        parent = form.parentWidget();
        isWindow = form.isWindow();
        form.reject();
    });
    QString file = kFile;
    launcher.Export(file);
    QCOMPARE(parent, &mainWindow);
    QVERIFY(isWindow);
}

void TestMailhook::settingsLiveInTheHive()
{
    // Where the main program's settings dialog reads and clears them.
    clsRegistryAccess registry;
    registry.CreateKeyIfDoesntExists(true);
    registry.WriteString(HiveMailSettings::KeyPath, QStringLiteral("Outlook"), QStringLiteral("1"));
    HiveMailSettings settings;
    QCOMPARE(settings.read(QStringLiteral("outlook"), QStringLiteral("0")), QStringLiteral("1"));
    QCOMPARE(settings.read(QStringLiteral("LaunchMailProgram"), QString()), QString());
    settings.write(QStringLiteral("LaunchMailProgram"), QStringLiteral("true"));
    QCOMPARE(registry.ReadString(QStringLiteral("HKCU\\Software\\VB and VBA Program Settings\\Quenora\\Extension "
                                                "Settings"),
                                 QStringLiteral("LaunchMailProgram")),
             QStringLiteral("true"));
}

void TestMailhook::pluginOpensThroughTheDesktop()
{
    // The built library, as the host loads it: a remembered "Ja" opens the
    // link through the desktop's mailto handler, which this test stands in for.
    clsRegistryAccess registry;
    registry.CreateKeyIfDoesntExists(true);
    registry.WriteString(HiveMailSettings::KeyPath, QStringLiteral("LaunchMailProgram"), QStringLiteral("true"));
    registry.WriteString(HiveMailSettings::KeyPath, QStringLiteral("Outlook"), QStringLiteral("1"));
    MailCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");

    QLibrary library(QStringLiteral(MAILHOOK_PLUGIN));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    auto version = reinterpret_cast<qn_abi_version_fn>(library.resolve(QN_SYMBOL_ABI_VERSION));
    auto create = reinterpret_cast<qn_create_fn>(library.resolve(QN_SYMBOL_CREATE));
    auto invoke = reinterpret_cast<qn_invoke_fn>(library.resolve(QN_SYMBOL_INVOKE));
    auto release = reinterpret_cast<qn_release_fn>(library.resolve(QN_SYMBOL_RELEASE));
    QVERIFY(version && create && invoke && release && library.resolve(QN_SYMBOL_FREE));
    QCOMPARE(version(), QN_ABI_VERSION);
    QVERIFY(!create("Dialect"));

    qn_object *object = create("clsLaunchMail");
    QVERIFY(object);
    const QByteArray path = QStringLiteral("/tmp/Rede & Antwort.wav").toUtf8();
    qn_arg arg{path.constData(), size_t(path.size()), 1, nullptr, 0};
    qn_result result{nullptr, 0};
    QCOMPARE(invoke(object, "Startup", nullptr, 0, &result), QN_UNKNOWN_MEMBER);
    QCOMPARE(invoke(object, "Export", &arg, 1, &result), QN_OK);
    QCOMPARE(invoke(object, "Export", nullptr, 0, &result), QN_FAILED);
    release(object);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(QUrlQuery(catcher.opened.at(0)).queryItemValue(QStringLiteral("attach"), QUrl::FullyDecoded),
             QStringLiteral("/tmp/Rede & Antwort.wav"));
}

QTEST_MAIN(TestMailhook)
#include "tst_mailhook.moc"
