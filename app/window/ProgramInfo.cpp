#include "ProgramInfo.h"

#include "QuenoraVersion.h"

#include <cstdio>

QString ProgramInfo::helpText()
{
    return QStringLiteral(
        "Aufruf: quenora [DOKUMENT] [/t] [/s]\n"
        "       quenora --run SKRIPT\n"
        "\n"
        "Quenora ist ein Editor, der Texte vorliest: Dokumente schreiben, öffnen\n"
        "oder einfügen und mit der eingestellten Stimme vorlesen lassen.\n"
        "\n"
        "  DOKUMENT      ein Dokument, das beim Start geöffnet wird: Text, RTF, PDF,\n"
        "                EPUB, ODT, DOCX, HTML oder Markdown\n"
        "  /t            mit der Textansicht statt der Startseite beginnen\n"
        "  /s            das Dokument vorlesen, sobald das Fenster offen ist\n"
        "  --run SKRIPT  das Taskscript SKRIPT aus der Skriptbibliothek ausführen,\n"
        "                sobald das Fenster offen ist\n"
        "  --help        diese Hilfe\n"
        "  --version     die Version\n"
        "\n"
        "Läuft Quenora bereits, meldet ein zweiter Start das und endet.\n"
        "Mit gesetzter Umgebungsvariable QUENORA_HOME liegt alles, was Quenora\n"
        "schreibt (Registrierung, Skripte, temporäre Aufnahmen), in diesem Ordner.\n");
}

QString ProgramInfo::versionText()
{
    return QStringLiteral("quenora " QUENORA_VERSION_STRING "\n");
}

std::optional<int> ProgramInfo::answer(const QStringList &arguments)
{
    // Only as the one argument: a document may well be called "--help".
    if (arguments.size() != 1)
        return std::nullopt;
    QString text;
    if (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h"))
        text = helpText();
    else if (arguments.first() == QLatin1String("--version"))
        text = versionText();
    else
        return std::nullopt;
    const QByteArray out = text.toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return 0;
}
