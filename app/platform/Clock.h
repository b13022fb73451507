#pragma once
// Clock: the time of day as Quenora's behaviour sees it ($Zeit, $Datum,
// Warten, WartenBis, the time variables of speaking). SystemClock reads the
// local time; tests use FakeClock (app/testsupport), which they advance, so
// no test waits real seconds.

#include <QDate>
#include <QDateTime>

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
