#pragma once
// QnregCommand: the command-line registry editor qnreg, as a function of its
// arguments, so that it can be tested without starting a process.
//
//   qnreg import FILE
//   qnreg export KEY FILE [--subkeys]
//   qnreg get KEY NAME
//   qnreg set KEY NAME VALUE [--dword | --binary]
//   qnreg delete KEY [NAME]
//   qnreg keys KEY
//   qnreg values KEY
//
// Standard output carries only the requested data; every failure is one line
// on standard error and exit status 1. Name "@" is the default value.

#include <QByteArray>
#include <QStringList>

#include <memory>

class RegistryHive;

struct QnregResult {
    int exitCode = 0;
    QByteArray out;
    QByteArray err;
};

QnregResult runQnreg(const QStringList &args, std::shared_ptr<RegistryHive> hive);
