// Test helper: writes COUNT string values NAME0..NAME<COUNT-1> into one key of
// a hive, printing each index after its write has committed, so a test can
// kill it at any moment and know what must have survived.
#include "SqliteHive.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: hive_writer HIVE KEY PREFIX COUNT\n");
        return 2;
    }
    SqliteHive hive(QString::fromLocal8Bit(argv[1]), 30000);
    const QString key = QString::fromLocal8Bit(argv[2]);
    const QString prefix = QString::fromLocal8Bit(argv[3]);
    const long count = std::strtol(argv[4], nullptr, 10);
    for (long i = 0; i < count; ++i) {
        const RegValue v{prefix + QString::number(i), RegType::String, QByteArray::number(qint64(i))};
        if (!hive.setValue(RootKey::CurrentUser, key, v, true)) {
            std::fprintf(stderr, "write %ld failed: %s\n", i, qPrintable(hive.errorString()));
            return 1;
        }
        std::printf("%ld\n", i);
        std::fflush(stdout);
    }
    return 0;
}
