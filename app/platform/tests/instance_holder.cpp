// Test helper: takes the single-instance lock, says whether it was first,
// and holds the lock until its standard input closes.
#include "SingleInstance.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SingleInstance instance(QStringLiteral("quenora"));
    std::printf("%s\n", instance.isFirst() ? "first" : "second");
    std::fflush(stdout);
    int c;
    while ((c = std::getchar()) != EOF) {
    }
    return 0;
}
