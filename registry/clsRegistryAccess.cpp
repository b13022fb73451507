#include "clsRegistryAccess.h"

#include "Ansi.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct RootName {
    const char *longName;
    const char *shortName;
    RootKey root;
};

const std::array<RootName, 7> kRoots{{
    {"HKEY_CURRENT_USER", "HKCU", RootKey::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", RootKey::LocalMachine},
    {"HKEY_CLASSES_ROOT", "HKCR", RootKey::ClassesRoot},
    {"HKEY_USERS", "HKUS", RootKey::Users},
    {"HKEY_PERFORMANCE_DATA", "HKPD", RootKey::PerformanceData},
    {"HKEY_DYN_DATA", "HKDD", RootKey::DynData},
    {"HKEY_CURRENT_CONFIG", "HKCC", RootKey::CurrentConfig},
}};

const QByteArray kCrLf("\r\n");

QString removeBlanks(QString s)
{
    s.remove(QLatin1Char(' '));
    return s;
}

// "@" names the key's default (unnamed) value, as in .reg files.
QString valueName(const QString &sName)
{
    return sName == QLatin1String("@") ? QString() : sName;
}

bool isStringType(quint32 type)
{
    return type == RegType::String || type == RegType::ExpandString;
}

// The text a string value holds, or nothing when it is longer than the
// class's 255-byte buffer. A terminating zero written by another program is
// not part of the text.
std::optional<QString> stringData(const RegValue &v)
{
    QByteArray data = v.data;
    while (data.endsWith('\0'))
        data.chop(1);
    if (data.size() > clsRegistryAccess::BufferSize)
        return std::nullopt;
    return clsRegistryAccess::trimBlanks(Ansi::decode(data));
}

std::optional<qint32> dwordData(const RegValue &v)
{
    if (v.type != RegType::DWord || v.data.size() != 4)
        return std::nullopt;
    const auto *p = reinterpret_cast<const unsigned char *>(v.data.constData());
    return qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
}

QByteArray dwordBytes(qint32 v)
{
    const auto u = quint32(v);
    QByteArray b(4, '\0');
    b[0] = char(u & 0xff);
    b[1] = char((u >> 8) & 0xff);
    b[2] = char((u >> 16) & 0xff);
    b[3] = char((u >> 24) & 0xff);
    return b;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Encloses in double quotes when the text starts and ends with one.
QString unquote(const QString &s, bool *wasQuoted = nullptr)
{
    const bool quoted = s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"'));
    if (wasQuoted)
        *wasQuoted = quoted;
    return quoted ? s.mid(1, s.size() - 2) : s;
}

} // namespace

clsRegistryAccess::clsRegistryAccess() : clsRegistryAccess(RegistryHive::userHive()) {}

clsRegistryAccess::clsRegistryAccess(std::shared_ptr<RegistryHive> hive) : m_hive(std::move(hive)) {}

clsRegistryAccess::KeyPath clsRegistryAccess::ParsePath(const QString &sPath)
{
    QString path = sPath;
    // Only the root part is renamed: a subkey that happens to contain a root
    // name ("...\HKEY_USERS backup") must keep its name.
    for (const RootName &r : kRoots) {
        const QLatin1String longName(r.longName);
        if (path.startsWith(longName, Qt::CaseInsensitive)) {
            path = QLatin1String(r.shortName) + path.mid(longName.size());
            break;
        }
    }
    QString rootPart;
    KeyPath result;
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    if (slash >= 0) {
        rootPart = path.left(4).toUpper();
        result.subkey = path.mid(slash + 1);
    } else {
        rootPart = path.toUpper();
    }
    for (const RootName &r : kRoots) {
        if (rootPart == QLatin1String(r.shortName)) {
            result.root = r.root;
            break;
        }
    }
    return result;
}

QString clsRegistryAccess::LongRootPath(const QString &sPath)
{
    for (const RootName &r : kRoots) {
        const QLatin1String shortName(r.shortName);
        if (sPath.startsWith(shortName, Qt::CaseInsensitive)
            && (sPath.size() == 4 || sPath.at(4) == QLatin1Char('\\')))
            return QLatin1String(r.longName) + sPath.mid(4);
    }
    return sPath;
}

void clsRegistryAccess::noteResult()
{
    m_lastError = m_hive->status() == RegistryHive::Status::Failed ? m_hive->errorString() : QString();
}

clsRegistryAccess::Handle clsRegistryAccess::CreateKey(const QString &sPath)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return 0;
    }
    const auto id = m_hive->createKey(*p.root, p.subkey);
    noteResult();
    return id ? *id : 0;
}

clsRegistryAccess::Handle clsRegistryAccess::KillKey(const QString &sPath)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return 0;
    }
    const bool done = m_hive->deleteKey(*p.root, p.subkey);
    noteResult();
    return done ? 1 : 0;
}

bool clsRegistryAccess::KeyExists(const QString &sPath)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return false;
    }
    const auto id = m_hive->openKey(*p.root, p.subkey);
    noteResult();
    return id.has_value();
}

qint32 clsRegistryAccess::EnumKeys(const QString &sPath, QStringList &Key)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return -1;
    }
    const auto names = m_hive->subkeys(*p.root, p.subkey);
    noteResult();
    if (!names)
        return -1;
    Key = *names;
    return qint32(Key.size());
}

bool clsRegistryAccess::HaveSubkey(const QString &sPath)
{
    QStringList names;
    return EnumKeys(sPath, names) > 0;
}

std::optional<RegValue> clsRegistryAccess::readValue(const QString &sPath, const QString &sName)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return std::nullopt;
    }
    auto v = m_hive->value(*p.root, p.subkey, valueName(sName));
    noteResult();
    return v;
}

clsRegistryAccess::Handle clsRegistryAccess::writeValue(const QString &sPath, const QString &sName,
                                                        quint32 type, const QByteArray &data)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return 0;
    }
    const bool done = m_hive->setValue(*p.root, p.subkey, RegValue{valueName(sName), type, data},
                                       m_createKeyIfDoesntExists);
    noteResult();
    return done ? 1 : 0;
}

clsRegistryAccess::Handle clsRegistryAccess::WriteString(const QString &sPath, const QString &sName,
                                                         const QString &sValue)
{
    return writeValue(sPath, sName, RegType::String, Ansi::encode(sValue));
}

QString clsRegistryAccess::ReadString(const QString &sPath, const QString &sName, const QString &sDefault)
{
    const auto v = readValue(sPath, sName);
    if (!v || !isStringType(v->type))
        return sDefault;
    return stringData(*v).value_or(sDefault);
}

clsRegistryAccess::Handle clsRegistryAccess::WriteDWORD(const QString &sPath, const QString &sName, qint32 lValue)
{
    return writeValue(sPath, sName, RegType::DWord, dwordBytes(lValue));
}

qint32 clsRegistryAccess::ReadDWORD(const QString &sPath, const QString &sName, qint32 lDefault)
{
    const auto v = readValue(sPath, sName);
    if (!v)
        return lDefault;
    return dwordData(*v).value_or(lDefault);
}

clsRegistryAccess::Handle clsRegistryAccess::WriteBinary(const QString &sPath, const QString &sName,
                                                         const QString &sValue)
{
    bool ok = false;
    const QByteArray bytes = StrToBin(sValue, &ok);
    if (!ok) {
        m_lastError.clear();
        return 0;
    }
    return writeValue(sPath, sName, RegType::Binary, bytes);
}

QString clsRegistryAccess::ReadBinary(const QString &sPath, const QString &sName, const QString &sDefault)
{
    const auto v = readValue(sPath, sName);
    if (!v)
        return sDefault;
    return trimBlanks(BinToStr(v->data));
}

clsRegistryAccess::Handle clsRegistryAccess::KillValue(const QString &sPath, const QString &sName)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return 0;
    }
    const bool done = m_hive->deleteValue(*p.root, p.subkey, valueName(sName));
    noteResult();
    return done ? 1 : 0;
}

bool clsRegistryAccess::ValueExists(const QString &sPath, const QString &sName)
{
    return readValue(sPath, sName).has_value();
}

qint32 clsRegistryAccess::EnumValues(const QString &sPath, QStringList &sName, QVariantList &sValue,
                                     qint32 OnlyType)
{
    const KeyPath p = ParsePath(sPath);
    if (!p.root) {
        m_lastError.clear();
        return -1;
    }
    const auto values = m_hive->values(*p.root, p.subkey);
    noteResult();
    if (!values)
        return -1;
    sName.clear();
    sValue.clear();
    for (const RegValue &v : *values) {
        if (OnlyType != -1 && quint32(OnlyType) != v.type)
            continue;
        sName.append(trimBlanks(v.name));
        switch (v.type) {
        case RegType::Binary:
            sValue.append(v.data.isEmpty() ? QString() : trimBlanks(BinToStr(v.data)));
            break;
        case RegType::DWord:
            sValue.append(dwordData(v).value_or(0));
            break;
        case RegType::String:
            sValue.append(stringData(v).value_or(QString()));
            break;
        default:
            sValue.append(QVariant());
            break;
        }
    }
    return qint32(sName.size());
}

QByteArray clsRegistryAccess::StrToBin(const QString &sBin, bool *ok)
{
    if (ok)
        *ok = true;
    const QString digits = trimBlanks(removeBlanks(sBin));
    QByteArray out;
    out.reserve(digits.size() / 2 + 1);
    // Pieces of two digits from the start; an odd last digit stands alone.
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int hi = hexDigit(digits.at(i));
        const int lo = i + 1 < digits.size() ? hexDigit(digits.at(i + 1)) : -2;
        if (hi < 0 || lo == -1) {
            if (ok)
                *ok = false;
            return QByteArray();
        }
        out.append(char(lo == -2 ? hi : hi * 16 + lo));
    }
    return out;
}

QString clsRegistryAccess::trimBlanks(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString clsRegistryAccess::BinToStr(const QByteArray &sStr)
{
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(sStr.size() * 3);
    for (const char c : sStr) {
        const auto b = static_cast<unsigned char>(c);
        out.append(QLatin1Char(' '));
        out.append(QLatin1Char(digits[b >> 4]));
        out.append(QLatin1Char(digits[b & 0x0f]));
    }
    return out;
}

bool clsRegistryAccess::isBinValid(const QString &sBin)
{
    const QString s = trimBlanks(removeBlanks(sBin).toUpper());
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (!QStringLiteral("0123456789ABCDEF ").contains(c))
            return false;
    }
    return true;
}

// One key's block: the default string value, then the named strings, the
// binaries and the DWORDs, each kind in creation order.
void clsRegistryAccess::exportKey(const QString &sPath, const QList<RegValue> &values, QByteArray &out)
{
    out += '[' + Ansi::encode(LongRootPath(sPath)) + ']' + kCrLf;
    for (const RegValue &v : values) {
        if (v.name.isEmpty() && isStringType(v.type)) {
            if (const auto text = stringData(v))
                out += "@=\"" + Ansi::encode(*text) + '"' + kCrLf;
        }
    }
    for (const RegValue &v : values) {
        const QString name = trimBlanks(v.name);
        if (v.type == RegType::String && !name.isEmpty())
            out += '"' + Ansi::encode(name) + "\"=\"" + Ansi::encode(stringData(v).value_or(QString())) + '"' + kCrLf;
    }
    for (const RegValue &v : values) {
        if (v.type != RegType::Binary)
            continue;
        const QString hex = trimBlanks(BinToStr(v.data)).replace(QLatin1Char(' '), QLatin1Char(','));
        out += '"' + Ansi::encode(trimBlanks(v.name)) + "\"=hex:" + hex.toLatin1() + kCrLf;
    }
    for (const RegValue &v : values) {
        if (v.type != RegType::DWord)
            continue;
        const QString hex =
            QStringLiteral("%1").arg(quint32(dwordData(v).value_or(0)), 8, 16, QLatin1Char('0')).toUpper();
        out += '"' + Ansi::encode(trimBlanks(v.name)) + "\"=dword:" + hex.toLatin1() + kCrLf;
    }
    out += kCrLf;
}

qint32 clsRegistryAccess::ExportToReg(const QString &sPath, const QString &sRegFile, bool IncludeSubkeys,
                                      const ProgressCallback &Output)
{
    if (sRegFile.isEmpty() || QFileInfo::exists(sRegFile))
        return 0;
    const KeyPath start = ParsePath(sPath);
    if (!start.root) {
        m_lastError.clear();
        return 0;
    }
    const auto startId = m_hive->openKey(*start.root, start.subkey);
    noteResult();
    if (!startId)
        return 0;

    // Streamed through a QSaveFile: memory stays bounded whatever the size
    // of the tree, and a failed export leaves no half file behind that would
    // block the next attempt.
    QSaveFile file(sRegFile);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    constexpr qsizetype FlushBytes = 1 << 20;
    QByteArray out = "REGEDIT4" + kCrLf + kCrLf;

    // Depth first, each key before its subkeys, subkeys in enumeration order;
    // an explicit stack so that no key tree can exhaust the call stack, and
    // keys by id so that no path is looked up again from its root.
    struct Pending {
        QString path;
        qint64 id;
    };
    std::vector<Pending> pending{{sPath, *startId}};
    while (!pending.empty()) {
        const Pending key = std::move(pending.back());
        pending.pop_back();
        if (Output)
            Output(LongRootPath(key.path));
        const auto values = m_hive->valuesOf(key.id);
        noteResult();
        if (!values)
            return 0;
        exportKey(key.path, *values, out);
        if (IncludeSubkeys) {
            const auto subkeys = m_hive->subkeysOf(key.id);
            noteResult();
            if (!subkeys)
                return 0;
            for (auto it = subkeys->crbegin(); it != subkeys->crend(); ++it)
                pending.push_back({key.path + QLatin1Char('\\') + it->name, it->id});
        }
        if (out.size() >= FlushBytes) {
            if (file.write(out) != out.size())
                return 0;
            out.clear();
        }
    }
    if (file.write(out) != out.size() || !file.commit())
        return 0;
    return 1;
}

void clsRegistryAccess::noteImportFault(qsizetype line, const QString &fault)
{
    m_importFaults.append(QStringLiteral("Zeile %1: %2").arg(line).arg(fault));
}

qint32 clsRegistryAccess::ImportFromReg(const QString &sRegFile)
{
    m_createKeyIfDoesntExists = true;
    m_importFaults.clear();
    QFile file(sRegFile);
    if (!QFileInfo(sRegFile).isFile() || !file.open(QIODevice::ReadOnly))
        return 0;
    const QString text = Ansi::decode(file.readAll());
    file.close();

    const QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.isEmpty() || lines.first().toUpper() != QLatin1String("REGEDIT4")) {
        const QString first = text.left(9).toUpper();
        if (first == QLatin1String("REGEDIT4\n"))
            noteImportFault(1, QStringLiteral("Zeilenenden LF statt CR LF"));
        else
            noteImportFault(1, QStringLiteral("REGEDIT4 erwartet"));
        return 0;
    }
    // Why a write failed, in the hive's own words when it was the hive.
    auto writeFault = [this](qsizetype line, const QString &key, const QString &name) {
        if (!ParsePath(key).root)
            noteImportFault(line, QStringLiteral("unbekannter Hauptschlüssel in %1").arg(key));
        else if (!m_lastError.isEmpty())
            noteImportFault(line, m_lastError);
        else
            noteImportFault(line, QStringLiteral("der Wert %1 in %2 konnte nicht geschrieben werden")
                                      .arg(name.isEmpty() ? QStringLiteral("@") : name, key));
    };

    bool allWritten = true;
    std::optional<QString> key;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString line = trimBlanks(lines.at(n));
        if (line.startsWith(QLatin1Char('['))) {
            QString path = line.size() >= 2 ? line.mid(1, line.size() - 2) : QString();
            path.remove(QLatin1Char('"'));
            if (path.startsWith(QLatin1Char('-'))) {
                KillKey(path.mid(1));
                key.reset();
            } else {
                key = path;
            }
            continue;
        }
        if (!key || line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;

        // The name runs to the first "=", the data is everything after it;
        // only the quotes around each are syntax, quotes and "=" inside stay.
        const QString name = unquote(trimBlanks(line.left(eq)));
        bool quoted = false;
        const QString data = unquote(trimBlanks(line.mid(eq + 1)), &quoted);

        if (!quoted && data == QLatin1String("-")) {
            KillValue(*key, name);
        } else if (!quoted && data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
            const QString hex = data.mid(4).replace(QLatin1Char(','), QLatin1Char(' '));
            bool valid = false;
            StrToBin(hex, &valid);
            if (!valid) {
                noteImportFault(n + 1, QStringLiteral("ungültiger Hex-Wert"));
                allWritten = false;
            } else if (!WriteBinary(*key, name, hex)) {
                writeFault(n + 1, *key, name);
                allWritten = false;
            }
        } else if (!quoted && data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            const QString digits = trimBlanks(data.mid(6));
            bool ok = digits.size() >= 1 && digits.size() <= 8
                && std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return hexDigit(c) >= 0; });
            const quint32 number = ok ? digits.toUInt(&ok, 16) : 0;
            if (!ok) {
                noteImportFault(n + 1, QStringLiteral("ungültiger DWORD-Wert (bis zu acht Hexadezimalziffern)"));
                allWritten = false;
            } else if (!WriteDWORD(*key, name, qint32(number))) {
                writeFault(n + 1, *key, name);
                allWritten = false;
            }
        } else {
            if (!WriteString(*key, name, data)) {
                writeFault(n + 1, *key, name);
                allWritten = false;
            } else if (name == QLatin1String("@") && data.isEmpty()) {
                KillValue(*key, QString());
            }
        }
    }
    return allWritten ? 1 : 0;
}
