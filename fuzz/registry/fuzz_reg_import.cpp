// Fuzz target: any bytes as a .reg file, imported into a fresh in-memory
// hive, then the result exported again. Neither step may crash or hang.
#include "SqliteHive.h"
#include "clsRegistryAccess.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString regFile = dir.filePath(QStringLiteral("input.reg"));
    const QString outFile = dir.filePath(QStringLiteral("output.reg"));
    {
        QFile f(regFile);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    QFile::remove(outFile);

    clsRegistryAccess reg(std::make_shared<SqliteHive>(QStringLiteral(":memory:")));
    const qint32 result = reg.ImportFromReg(regFile);
    if (result != 0 && result != 1)
        __builtin_trap();
    for (const char *root : {"HKCU", "HKLM", "HKCR", "HKUS", "HKCC"})
        reg.ExportToReg(QString::fromLatin1(root), outFile, true);
    return 0;
}
