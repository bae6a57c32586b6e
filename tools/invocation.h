// The command line of stratactl, taken apart: the options that apply to every
// command, the command and its own words. Parsing checks only the form; what
// the words mean (channels, values) is checked by the command that uses them.
#pragma once

#include <QString>
#include <QStringList>

struct Invocation {
    QString command;       // "list", "info", "meters", "get", "set", "assign", "help", "version"
    QStringList args;      // the words after the command
    QString simulate;      // model name of the simulated unit; empty: real units
    QString faults;        // fault list for the simulated unit (--faults), checked by main
    bool faultsGiven = false;
    int unit = 0;          // the unit to use, counted from 0 in slot order
    bool json = false;
    bool engine = false;
    bool help = false;
    bool version = false;
    bool quiet = false;
    bool watch = false;
    int count = 0;         // refreshes in watch mode; 0: until interrupted
    int intervalMs = 100;  // pause between refreshes in watch mode
};

// Exit statuses of the tool.
enum ExitStatus {
    kExitOk = 0,
    kExitFailed = 1, // the unit is missing, did not answer or refused
    kExitUsage = 2,  // the command line is wrong
    kExitCancelled = 3, // the unit cancelled a firmware transfer
};

struct ParsedInvocation {
    Invocation invocation;
    QString error; // empty when the command line is usable
};

// Takes the arguments without the program name.
ParsedInvocation parseInvocation(const QStringList &arguments);

// The commands the tool knows, in the order the help lists them.
const QStringList &knownCommands();

// Help topics beyond the commands ("faults").
const QStringList &helpTopics();
