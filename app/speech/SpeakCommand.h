#pragma once
// SpeakCommand: the quenora-speak program, speaking or recording a text
// without the window, with the user's stored voice settings, prefix and
// suffix, through the same engine and text preparation as the editor.
//
//   quenora-speak [--voice N] [--speed P] [--pitch P] [--volume P] [--wav|--out FILE]
//                 [--list-voices] [--dry-run] [--no-filters]
//                 [--dictionary FILE ... | --no-dictionary] [--file DOCUMENT | TEXT | -]
//
// The text passes the active extensions' filters first, as in the editor,
// unless --no-filters says otherwise. The engine speaks it with the active
// pronunciation dictionaries, or the files given with --dictionary, or none;
// --dry-run prints it as the dictionaries make it.
//
// With --chapters or --out-dir it makes audiobooks of documents instead
// (BookCommand, in app/audiobook/export).
//
// Exit status 0 on success, 1 with a German message on stderr otherwise.

#include "DiskReserve.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

class SpeakCommand
{
public:
    struct Options {
        std::optional<QString> voice; // stored position, from 0
        std::optional<QString> speed; // percent
        std::optional<QString> pitch;
        std::optional<QString> volume;
        QString wavPath;
        QString documentPath; // --file: a text or RTF document, read as the editor reads it
        bool listVoices = false;
        bool dryRun = false;
        bool noFilters = false;
        QStringList dictionaries; // --dictionary, in order
        bool noDictionary = false;
        bool help = false;
        bool readStdin = true;
        QString text;
    };

    // Arguments without the program name. False with a message for an
    // unknown option or an option without its value.
    static bool parse(const QStringList &arguments, Options *options, QString *error);

    // What the program may use; tests make the limits small.
    struct Limits {
        DiskReserve::Probe freeSpace; // the recording's volume; empty: the real one
        qint64 inputBytes = qint64(512) * 1024 * 1024; // standard input, as for --file
    };

    // Runs the program; needs a QCoreApplication.
    static int run(const QStringList &arguments, std::FILE *in, std::FILE *out, std::FILE *err);
    static int run(const QStringList &arguments, std::FILE *in, std::FILE *out, std::FILE *err,
                   const Limits &limits);
};
