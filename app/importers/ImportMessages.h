#pragma once
// Every text of the document importers that a user can read, in one place.

#include <QString>

namespace ImportMessages {

inline const QString PdfNoText = QStringLiteral("Diese PDF-Datei enthält keinen Text (nur Bilder).");
inline const QString PdfDamaged =
    QStringLiteral("Die PDF-Datei ist beschädigt oder wird nicht unterstützt und kann nicht gelesen werden.");
inline const QString PdfLocked = QStringLiteral("Die PDF-Datei ist durch ein Kennwort geschützt.");
inline const QString PasswordTitle = QStringLiteral("Kennwort");
inline const QString PasswordPrompt =
    QStringLiteral("Die PDF-Datei ist durch ein Kennwort geschützt. Bitte geben Sie das Kennwort ein:");
inline const QString PasswordWrong =
    QStringLiteral("Das Kennwort ist falsch. Bitte geben Sie das Kennwort erneut ein:");

inline const QString ArchiveDamaged =
    QStringLiteral("Die Datei ist beschädigt oder unvollständig und kann nicht gelesen werden.");
inline const QString ArchiveEncrypted =
    QStringLiteral("Die Datei ist durch ein Kennwort geschützt und kann nicht gelesen werden.");
inline QString ArchiveTooManyEntries(qint64 limit)
{
    return QStringLiteral("Die Datei besteht aus zu vielen Teilen (mehr als %1) und wird aus "
                          "Sicherheitsgründen nicht geöffnet.").arg(limit);
}
inline QString ArchiveTooLarge(qint64 limitMegabytes)
{
    return QStringLiteral("Die Datei würde entpackt mehr als %1 MB belegen und wird aus Sicherheitsgründen "
                          "nicht geöffnet.").arg(limitMegabytes);
}
inline const QString ArchiveRatio = QStringLiteral(
    "Die Datei ist ungewöhnlich stark gepackt (möglicherweise eine ZIP-Bombe) und wird aus Sicherheitsgründen "
    "nicht geöffnet.");
inline QString ArchiveUnsafePath(const QString &name)
{
    return QStringLiteral("Die Datei enthält einen unzulässigen Pfad (\u201E%1\u201C) und wird aus "
                          "Sicherheitsgründen nicht geöffnet.").arg(name);
}
inline QString ArchiveMissingPart(const QString &name)
{
    return QStringLiteral("In der Datei fehlt der Teil \u201E%1\u201C; sie kann nicht gelesen werden.").arg(name);
}

inline QString DocxMissingMainPart(const QString &name)
{
    return QStringLiteral("Dem Word-Dokument fehlt sein Hauptteil mit dem Text (\u201E%1\u201C); "
                          "es kann nicht gelesen werden.").arg(name);
}

inline const QString XmlEntities = QStringLiteral(
    "Die Datei enthält XML mit eigenen Entitätsdefinitionen, die aus Sicherheitsgründen nicht verarbeitet "
    "werden.");
inline QString XmlBroken(const QString &part, qint64 line)
{
    return QStringLiteral("Der Teil \u201E%1\u201C der Datei ist fehlerhaft (Zeile %2) und kann nicht gelesen "
                          "werden.").arg(part).arg(line);
}
inline const QString XmlTooDeep =
    QStringLiteral("Die Datei ist zu tief verschachtelt und wird aus Sicherheitsgründen nicht geöffnet.");

inline const QString EpubNoChapters = QStringLiteral("Die EPUB-Datei enthält kein lesbares Kapitel.");
inline const QString NotADocument =
    QStringLiteral("Die Datei ist kein unterstütztes Dokument (EPUB, ODT oder DOCX) und kann nicht gelesen werden.");

inline const QString AllReadableDocuments = QStringLiteral("Alle lesbaren Dokumente");
inline QString KeepOriginal(const QString &path)
{
    return QStringLiteral("Das Dokument wurde aus \u201E%1\u201C gelesen; diese Datei wird nicht überschrieben. "
                          "Bitte wählen Sie einen anderen Namen.").arg(path);
}

inline const QString ProgressCaption = QStringLiteral("Dokument öffnen");
inline const QString ProgressText = QStringLiteral("Das Dokument wird gelesen …");
inline const QString ProgressCancel = QStringLiteral("Abbrechen");

} // namespace ImportMessages
