#include "ScriptCommandTable.h"

#include "EditorTexts.h"

namespace ScriptCommandTable {

namespace {

// Kept as comma-separated lists, one entry per command in the builder's
// order; a help text therefore never holds a comma (the table test checks
// that every list still has its length).
const QString kCommands = QStringLiteral(
    "Sprechen,Sprechen2,Stopp,Pause,Laden,Speichern,Stimme,Geschwindigkeit,Helligkeit,Exportieren,Beenden,"
    "Wiederholen,Springe,Text,Meldung,WartenBis,Ersetzen,Warten,Wenn_nicht,Wenn,Ausführen,Dokument,Download");

const QString kTypes = QStringLiteral(
    "Nichts,Text,Nichts,Nichts,Text,Text,Text,Prozent,Prozent,Text,Modus,Nichts,Zahl,Text,Text,Zeit,Text,Zahl,"
    "Text,Text,Text,Text,Text,Text");

const QString kCounts = QStringLiteral("0,1,0,1,1,1,1,1,1,1,1,0,1,1,1,1,2,1,2,2,1,2,2");

// Wenn ends the run when the two texts differ, Wenn_nicht when they are the
// same: the help texts say what the commands do.
const QString kDescriptions = QStringLiteral(
    "Spricht den aktuellen vom Benutzer eingegebenen oder geladenen Text.,"
    "Spricht den Text 'Text'.,"
    "Stoppt die Sprachausgabe.,"
    "Pausiert die Sprachausgabe.,"
    "Öffnet die Datei 'Text' und zeigt sie an.,"
    "Speichert den aktuellen Text in die Datei 'Text'.,"
    "Wählt die Stimme mit den Namen 'Text' (sofern installiert).,"
    "Setzt die Geschwindigkeit des Sprechers auf 'Prozent' % der maximalen Geschwindigkeit. 'Prozent' muss "
    "hierbei eine gerundete Zahl sein.,"
    "Setzt die Helligkeit der aktuellen Stimme auf 'Prozent' % der maximalen Helligkeit. 'Prozent' muss hierbei "
    "eine gerundete Zahl sein.,"
    "Speichert die aktuelle Sprachausgabe als WAV-Datei mit dem Dateinamen 'Text' ab. Nach dem Aufrufen dieser "
    "Funktion muss Sprechen(); aufgerufen werden!,"
    "Beendet Quenora.,"
    "Startet das Skript von vorne. Achtung: Skript kann dann nur noch vom Benutzer beendet werden.,"
    "Springt zur Zeile 'Zahl' des Skripts und führt es von dort an wieder aus.,"
    "Zeigt den Text 'Text' in der Statusbar des Hauptdialoges an.,"
    "Zeigt die Meldung mit dem Text 'Text'. Solange die Meldung nicht weggeklickt wurde bleibt das Programm "
    "stehen.,"
    "Wartet mit der Ausführung des Taskscriptes bis die Zeit 'Zeit' erreicht ist. Parameter muss in der Form "
    "HH:MM:SS übergeben werden (z.B 21:05:11),"
    "Ersetzt den Text 'Text' mit 'Text2' im Dokument.,"
    "Wartet 'Zahl' Sekunden bis zur weiteren Ausführung des Taskscripts.,"
    "Überprüft ob 'Text' und 'Text2' den selben Inhalt haben. Wenn dies zutrifft wird die Ausführung des "
    "Skriptes abgebrochen. 'Text' oder 'Text2' sollten hier Variablen sein.,"
    "Überprüft ob 'Text' und 'Text2' den selben Inhalt haben. Wenn nicht wird die Ausführung des Skriptes "
    "abgebrochen. 'Text' oder 'Text2' sollten hier Variablen sein.,"
    "Führt die Datei oder den Befehl 'Text' aus. 'Text' kann entweder ein Pfad zu einer Ausführbare Datei sein "
    "(.exe .com .scr .bat) oder ein MS-DOS Befehl.,"
    "Setzt den Dokumenttext auf 'Text' oder fügt 'Text' an das aktuelle Dokument an. Wenn 'Text2' 0 ist wird der "
    "Text im Dokument durch 'Text' ersetzt. Wenn 'Text2' 1 ist wird der 'Text' angehängt.,"
    "Lädt die Datei 'Text' aus dem Internet und speicher Sie als 'Text2. Eine aktive Internetverbindung wird "
    "benötigt.'");

QString escaped(QString parameter)
{
    return parameter.replace(QLatin1Char(','), QLatin1String("\\,"));
}

} // namespace

QStringList commandWords() { return kCommands.split(QLatin1Char(',')); }
QStringList ParameterTypes() { return kTypes.split(QLatin1Char(',')); }
QStringList ParameterCounts() { return kCounts.split(QLatin1Char(',')); }
QStringList CommandDescriptions() { return kDescriptions.split(QLatin1Char(',')); }

bool needsNumber(const QString &type)
{
    return type == TypeNumber || type == TypePercent;
}

bool isNumeric(const QString &text, const QLocale &locale)
{
    bool ok = false;
    locale.toDouble(text.trimmed(), &ok);
    return ok;
}

bool isAcceptable(const QString &text, const QString &type, const QLocale &locale)
{
    if (type == TypePercent) {
        bool ok = false;
        text.trimmed().toInt(&ok);
        return ok;
    }
    return !needsNumber(type) || isNumeric(text, locale);
}

QString parameterPattern(int count, const QString &type)
{
    if (count <= 0)
        return QStringLiteral("();");
    if (count == 1)
        return QStringLiteral("(") + type + QStringLiteral(" als Parameter);");
    return QStringLiteral("(") + type + QStringLiteral(" als Parameter,") + type
        + QStringLiteral(" als zweiter Parameter);");
}

QString unwritable(int count, const QString &para1, const QString &para2)
{
    QStringList used;
    if (count >= 1)
        used << para1;
    if (count >= 2)
        used << para2;
    for (const QString &parameter : used) {
        if (parameter.contains(QLatin1Char('(')))
            return EditorTexts::ParameterParenthesis;
        if (parameter.contains(QLatin1String(");")))
            return EditorTexts::ParameterEnd;
    }
    if (count >= 2 && para1.endsWith(QLatin1Char('\\')))
        return EditorTexts::ParameterBackslash;
    return QString();
}

QString statement(const QString &word, int count, const QString &para1, const QString &para2)
{
    if (count <= 0)
        return word + QStringLiteral("();");
    if (count == 1)
        return word + QLatin1Char('(') + escaped(para1) + QStringLiteral(");");
    return word + QLatin1Char('(') + escaped(para1) + QLatin1Char(',') + escaped(para2) + QStringLiteral(");");
}

} // namespace ScriptCommandTable
