#include <QTest>

#include "BlockHeights.h"

class TestBlockHeights : public QObject
{
    Q_OBJECT

private slots:
    void matchesPlainSums();
};

QTEST_APPLESS_MAIN(TestBlockHeights)
#include "tst_blockheights.moc"

// Random edits checked against a running sum over a plain array.
void TestBlockHeights::matchesPlainSums()
{
    std::vector<qint64> plain;
    BlockHeights tree;
    quint32 seed = 12345;
    auto next = [&seed](quint32 n) { seed = seed * 1664525u + 1013904223u; return (seed >> 8) % n; };
    for (int round = 0; round < 600; ++round) {
        const int op = int(next(4));
        if (op == 0 || plain.empty()) {
            const int at = int(next(quint32(plain.size() + 1)));
            const int count = 1 + int(next(5));
            const qint64 v = next(3) == 0 ? 0 : qint64(next(2000));
            plain.insert(plain.begin() + at, size_t(count), v);
            tree.insert(at, count, v);
        } else if (op == 1) {
            const int at = int(next(quint32(plain.size())));
            const int count = qMin(int(plain.size()) - at, 1 + int(next(4)));
            plain.erase(plain.begin() + at, plain.begin() + at + count);
            tree.remove(at, count);
        } else {
            const int at = int(next(quint32(plain.size())));
            const qint64 v = next(4) == 0 ? 0 : qint64(next(5000));
            plain[size_t(at)] = v;
            tree.set(at, v);
        }
        QCOMPARE(tree.size(), int(plain.size()));
        qint64 sum = 0;
        for (int i = 0; i < int(plain.size()); ++i) {
            QCOMPARE(tree.offsetOf(i), sum);
            if (plain[size_t(i)] > 0) {
                QCOMPARE(tree.indexAt(sum), i);
                QCOMPARE(tree.indexAt(sum + plain[size_t(i)] - 1), i);
            }
            sum += plain[size_t(i)];
        }
        QCOMPARE(tree.total(), sum);
        if (!plain.empty())
            QCOMPARE(tree.indexAt(sum + 100), int(plain.size()) - 1);
    }
    tree.remove(0, tree.size());
    QCOMPARE(tree.indexAt(5), 0);
    QCOMPARE(tree.total(), qint64(0));
}
