#include "QnregCommand.h"

#include "QuenoraVersion.h"

#include "Ansi.h"
#include "RegistryTexts.h"
#include "clsRegistryAccess.h"

#include <QFileInfo>

namespace {

class Command
{
public:
    explicit Command(std::shared_ptr<RegistryHive> hive) : m_reg(std::move(hive)) {}

    QnregResult run(const QStringList &args);

private:
    int import(const QStringList &a);
    int exportKey(const QStringList &a);
    int get(const QStringList &a);
    int set(const QStringList &a);
    int remove(const QStringList &a);
    int keys(const QStringList &a);
    int values(const QStringList &a);

    int failure(const QString &message)
    {
        m_result.err += "qnreg: " + Ansi::encode(message) + '\n';
        return 1;
    }
    // The hive's own reason when it failed, else the given one.
    int hiveFailure(const QString &otherwise)
    {
        const QString why = m_reg.lastError();
        return failure(why.isEmpty() ? otherwise : why);
    }
    void print(const QString &line) { m_result.out += Ansi::encode(line) + '\n'; }
    bool checkRoot(const QString &key)
    {
        return clsRegistryAccess::ParsePath(key).root.has_value();
    }
    static QString displayName(const QString &name) { return name.isEmpty() ? QStringLiteral("@") : name; }
    static QString hiveName(const QString &name) { return name == QLatin1String("@") ? QString() : name; }
    static QString typeName(quint32 type);
    static QString valueText(const RegValue &v);

    clsRegistryAccess m_reg;
    QnregResult m_result;
};

QString Command::typeName(quint32 type)
{
    switch (type) {
    case RegType::String: return QStringLiteral("REG_SZ");
    case RegType::ExpandString: return QStringLiteral("REG_EXPAND_SZ");
    case RegType::Binary: return QStringLiteral("REG_BINARY");
    case RegType::DWord: return QStringLiteral("REG_DWORD");
    case RegType::MultiString: return QStringLiteral("REG_MULTI_SZ");
    default: return QStringLiteral("REG_TYPE_%1").arg(type);
    }
}

QString Command::valueText(const RegValue &v)
{
    if (v.type == RegType::String || v.type == RegType::ExpandString) {
        QByteArray data = v.data;
        while (data.endsWith('\0'))
            data.chop(1);
        return Ansi::decode(data);
    }
    if (v.type == RegType::DWord && v.data.size() == 4) {
        const auto *p = reinterpret_cast<const unsigned char *>(v.data.constData());
        const quint32 u = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        return QString::number(u);
    }
    return clsRegistryAccess::BinToStr(v.data).trimmed();
}

QnregResult Command::run(const QStringList &args)
{
    if (args.isEmpty()) {
        m_result.err = RegistryTexts::qnregUsage;
        m_result.exitCode = 1;
        return m_result;
    }
    const QString verb = args.first();
    const QStringList rest = args.mid(1);
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
        m_result.out = RegistryTexts::qnregUsage;
        return m_result;
    }
    if (verb == QLatin1String("--version")) {
        m_result.out = QByteArray("qnreg " QUENORA_VERSION_STRING "\n");
        return m_result;
    }
    int code;
    if (verb == QLatin1String("import"))
        code = import(rest);
    else if (verb == QLatin1String("export"))
        code = exportKey(rest);
    else if (verb == QLatin1String("get"))
        code = get(rest);
    else if (verb == QLatin1String("set"))
        code = set(rest);
    else if (verb == QLatin1String("delete"))
        code = remove(rest);
    else if (verb == QLatin1String("keys"))
        code = keys(rest);
    else if (verb == QLatin1String("values"))
        code = values(rest);
    else
        code = failure(RegistryTexts::unknownCommand(verb));
    m_result.exitCode = code;
    return m_result;
}

int Command::import(const QStringList &a)
{
    if (a.size() != 1)
        return failure(RegistryTexts::usage(QStringLiteral("import")));
    const QString file = a.first();
    if (!QFileInfo(file).isFile())
        return failure(RegistryTexts::fileNotFound(file));
    if (m_reg.ImportFromReg(file))
        return 0;
    // One line for each fault, so a long file with many cannot flood the
    // terminal beyond a screenful.
    const QStringList faults = m_reg.importFaults();
    constexpr qsizetype Shown = 20;
    for (qsizetype i = 0; i < faults.size() && i < Shown; ++i)
        failure(RegistryTexts::importFault(file, faults.at(i)));
    if (faults.size() > Shown)
        failure(RegistryTexts::moreImportFaults(file, faults.size() - Shown));
    if (!faults.isEmpty())
        return 1;
    if (!m_reg.lastError().isEmpty())
        return failure(m_reg.lastError());
    return failure(RegistryTexts::importIncomplete(file));
}

int Command::exportKey(const QStringList &a)
{
    QStringList plain = a;
    const bool subkeys = plain.removeAll(QStringLiteral("--subkeys")) > 0;
    if (plain.size() != 2)
        return failure(RegistryTexts::usage(QStringLiteral("export")));
    const QString &key = plain[0];
    const QString &file = plain[1];
    if (QFileInfo::exists(file))
        return failure(RegistryTexts::fileExists(file));
    if (!m_reg.KeyExists(key))
        return hiveFailure(RegistryTexts::keyMissing(key));
    if (m_reg.ExportToReg(key, file, subkeys))
        return 0;
    return hiveFailure(RegistryTexts::fileNotWritten(file));
}

int Command::get(const QStringList &a)
{
    if (a.size() != 2)
        return failure(RegistryTexts::usage(QStringLiteral("get")));
    const auto path = clsRegistryAccess::ParsePath(a[0]);
    if (!path.root)
        return failure(RegistryTexts::unknownRoot(a[0]));
    // Straight from the hive, so that long values come out whole.
    const auto v = m_reg.hive().value(*path.root, path.subkey, hiveName(a[1]));
    if (!v) {
        if (m_reg.hive().status() == RegistryHive::Status::Failed)
            return failure(m_reg.hive().errorString());
        return failure(RegistryTexts::valueMissing(a[1], a[0]));
    }
    print(valueText(*v));
    return 0;
}

int Command::set(const QStringList &a)
{
    QStringList plain;
    bool dword = false;
    bool binary = false;
    for (const QString &s : a) {
        if (s == QLatin1String("--dword"))
            dword = true;
        else if (s == QLatin1String("--binary"))
            binary = true;
        else
            plain.append(s);
    }
    if (plain.size() != 3 || (dword && binary))
        return failure(RegistryTexts::usage(QStringLiteral("set")));
    const QString &key = plain[0];
    const QString &name = plain[1];
    const QString &value = plain[2];
    if (!checkRoot(key))
        return failure(RegistryTexts::unknownRoot(key));
    clsRegistryAccess::Handle done = 0;
    if (dword) {
        // Decimal, signed or unsigned 32 bits, or hexadecimal with 0x.
        bool ok = false;
        qint64 n = value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
            ? qint64(value.mid(2).toUInt(&ok, 16))
            : value.toLongLong(&ok, 10);
        if (!ok || n < -2147483648LL || n > 4294967295LL)
            return failure(RegistryTexts::notADWord(value));
        done = m_reg.WriteDWORD(key, name, qint32(quint32(n)));
    } else if (binary) {
        if (!value.trimmed().isEmpty() && !(clsRegistryAccess::isBinValid(value)
                                            && clsRegistryAccess::StrToBin(value).size() * 2
                                                   == value.simplified().remove(QLatin1Char(' ')).size()))
            return failure(RegistryTexts::notHexBytes(value));
        done = m_reg.WriteBinary(key, name, value);
    } else {
        done = m_reg.WriteString(key, name, value);
    }
    if (!done)
        return hiveFailure(RegistryTexts::valueNotWritten(name, key));
    return 0;
}

int Command::remove(const QStringList &a)
{
    if (a.size() != 1 && a.size() != 2)
        return failure(RegistryTexts::usage(QStringLiteral("delete")));
    const QString &key = a[0];
    if (a.size() == 2) {
        if (m_reg.KillValue(key, a[1]))
            return 0;
        return hiveFailure(RegistryTexts::valueMissing(a[1], key));
    }
    if (m_reg.KillKey(key))
        return 0;
    if (m_reg.hive().status() == RegistryHive::Status::HasSubkeys)
        return failure(RegistryTexts::keyHasSubkeys(key));
    if (m_reg.hive().status() == RegistryHive::Status::Failed)
        return failure(m_reg.hive().errorString());
    return failure(RegistryTexts::keyMissing(key));
}

int Command::keys(const QStringList &a)
{
    if (a.size() != 1)
        return failure(RegistryTexts::usage(QStringLiteral("keys")));
    QStringList names;
    if (m_reg.EnumKeys(a[0], names) < 0)
        return hiveFailure(RegistryTexts::keyMissing(a[0]));
    for (const QString &n : names)
        print(n);
    return 0;
}

int Command::values(const QStringList &a)
{
    if (a.size() != 1)
        return failure(RegistryTexts::usage(QStringLiteral("values")));
    const auto path = clsRegistryAccess::ParsePath(a[0]);
    if (!path.root)
        return failure(RegistryTexts::unknownRoot(a[0]));
    const auto list = m_reg.hive().values(*path.root, path.subkey);
    if (!list) {
        if (m_reg.hive().status() == RegistryHive::Status::Failed)
            return failure(m_reg.hive().errorString());
        return failure(RegistryTexts::keyMissing(a[0]));
    }
    for (const RegValue &v : *list)
        print(displayName(v.name) + QLatin1Char('\t') + typeName(v.type) + QLatin1Char('\t') + valueText(v));
    return 0;
}

} // namespace

QnregResult runQnreg(const QStringList &args, std::shared_ptr<RegistryHive> hive)
{
    Command command(std::move(hive));
    return command.run(args);
}
