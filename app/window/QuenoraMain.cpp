#include "QuenoraMain.h"

#include "Clipboard.h"
#include "Clock.h"
#include "WholeFile.h"
#include "ActiveDictionaries.h"
#include "EspeakEngine.h"
#include "ExtensionLoader.h"
#include "FileTypeRegistration.h"
#include "PagePictures.h"
#include "Paths.h"
#include "PluginExtensionHost.h"
#include "ShippedExtensions.h"
#include "QtDialogs.h"
#include "RichTextMessages.h"
#include "ScriptTexts.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "SingleInstance.h"
#include "StartupCommandLine.h"
#include "WindowTexts.h"
#include "clsRegistryAccess.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QThreadPool>
#include <QTimer>

#include <optional>

int QuenoraMain(QApplication &app, const QStringList &arguments, const std::function<void(frmMain &)> &loaded)
{
    // The font database is filled from the system's font configuration the
    // first time any text is measured, which takes several milliseconds.
    // Filled on a worker (it is thread-safe) while the instance, the hive and
    // the settings are seen to, it is ready when the window's first text is.
    QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
    SingleInstance instance(QStringLiteral("quenora"));
    QtDialogs dialogs;
    if (!instance.isFirst()) {
        // Nothing is handed over to the running instance.
        dialogs.message(WindowTexts::AlreadyRunning, WindowTexts::Caption, Dialogs::Icon::Information,
                        Dialogs::Buttons::Ok);
        return 0;
    }

    // One connection to the hive serves the file type and the settings.
    const std::shared_ptr<RegistryHive> hive = RegistryHive::userHive();
    clsRegistryAccess registry(hive);
    FileTypeRegistration(registry, dialogs, FileTypeRegistration::currentEnvironment()).RegisterFileType(
        QStringLiteral(".vts"));

    // An installed Quenora registers the extensions it brings for whoever
    // starts it (a build tree has ./run.sh for that).
    const QString shippedRegistrations = QDir(Paths::dataDir()).filePath(QStringLiteral("extensions"));
    if (QFileInfo(shippedRegistrations).isDir())
        ShippedExtensions(registry, shippedRegistrations, Paths::pluginDir()).registerAll();

    SettingsStore settings(hive);
    // The start page's pictures are decoded while the window is built.
    if (settings.flag(SettingKeys::ShowWB))
        PagePictures::prefetch(frmMain::startPage());
    QString startUpFile = settings.read(SettingKeys::StartUpFile);
    // "--run NAME" runs a script of the library once the window is up (for
    // autostart and timed use); the rest is the classic command line.
    QStringList classicArguments = arguments;
    std::optional<QString> runScript;
    if (const qsizetype at = classicArguments.indexOf(QStringLiteral("--run")); at >= 0) {
        runScript = at + 1 < classicArguments.size() ? classicArguments.takeAt(at + 1) : QString();
        classicArguments.removeAt(at);
    }
    const StartupRequest request = StartupCommandLine::parse(StartupCommandLine::fromArguments(classicArguments));
    // A folder, device or pipe named there is refused with what it is once
    // the window is up: reading a pipe could wait for ever.
    QString refusedStartUpFile;
    if (!request.quotedPath.isEmpty() && WholeFile::FileExists(request.quotedPath)) {
        if (const QString why = WholeFile::NotAFileReason(request.quotedPath); !why.isEmpty())
            refusedStartUpFile = RichTextMessages::loadFailed(request.quotedPath, why);
        else
            startUpFile = request.quotedPath;
    }

    // Both instances speak with the active pronunciation dictionaries, read
    // afresh at every text.
    ActiveDictionaries pronunciation(settings);
    EspeakEngine voice;
    EspeakEngine voice2;
    voice.setPronunciation(&pronunciation);
    voice2.setPronunciation(&pronunciation);
    QtShell shell;
    SystemClock clock;
    // Extensions are read from the same hive at every event; their libraries
    // run in a process of their own, so one that crashes or hangs is switched
    // off with a word to the user instead of taking the document with it.
    ExtensionProcess extensionProcess(Paths::extensionHostProgram(), clock);
    ExtensionLoader extensionLoader(registry, extensionProcess);
    PluginExtensionHost extensions(registry, extensionLoader, [&dialogs](const QString &caption, const QString &text) {
        dialogs.message(text, caption, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
    });
    QtClipboard clipboard;
    frmMain::Collaborators c{clock, clipboard};
    c.voice = &voice;
    c.voice2 = &voice2;
    c.dialogs = &dialogs;
    c.shell = &shell;
    c.extensions = &extensions;
    c.settings = &settings;
    c.endProcess = [] { QCoreApplication::exit(0); };
    frmMain window(c);
    dialogs.setParent(&window);
    // An extension's own window (Mailhook's question) opens over the window
    // the user works in.
    extensionProcess.setOwnerWindow([&window] {
        QWidget *owner = QApplication::activeModalWidget();
        if (!owner)
            owner = QApplication::activeWindow();
        if (!owner)
            owner = &window;
        return QGuiApplication::platformName() == QLatin1String("xcb") ? quint64(owner->winId()) : quint64(0);
    });

    // Both switches are known before the window loads, so "/t /s" speaks too.
    window.StartUpFile = startUpFile;
    window.SpeakAtStart = request.speakAtStart;
    window.Form_Load();
    if (request.textMode || request.speakAtStart)
        window.Textmode();
    if (loaded)
        loaded(window);
    if (!refusedStartUpFile.isEmpty()) {
        QTimer::singleShot(0, &window, [&dialogs, refusedStartUpFile] {
            dialogs.message(refusedStartUpFile, WindowTexts::TitleError, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        });
    }
    if (runScript) {
        QTimer::singleShot(0, &window, [&window, &dialogs, name = *runScript] {
            if (name.trimmed().isEmpty())
                dialogs.message(ScriptTexts::RunNeedsName, ScriptTexts::TitleError, Dialogs::Icon::Warning,
                                Dialogs::Buttons::Ok);
            else
                window.RunScriptByName(name);
        });
    }
    const int exitCode = app.exec();
    // The window goes before the extension process does.
    extensionProcess.setOwnerWindow({});
    return exitCode;
}
