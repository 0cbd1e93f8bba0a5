// The command interpreter (TCommandInterpreter).
#pragma once
// The command interpreter: every recordable command of the main window runs here.
#include "app/commands/command_table.h"

class QString;
class QObject;
class TCommandDialogs;
class TCommandHost;
class Tchild;

// Owned by its host, the main window. Runs one command record at a time on the active child:
// records it while a recording runs, refuses a record whose arguments no command
// takes, and runs its table entry.
class TCommandInterpreter {
public:
    TCommandInterpreter(TCommandHost& host, TCommandDialogs& dialogs) : host_(host), dialogs_(dialogs) {}
    TCommandInterpreter(const TCommandInterpreter&) = delete;
    TCommandInterpreter& operator=(const TCommandInterpreter&) = delete;

    // The record is read, never changed; sender goes on to view changes and fitting.
    void Run(QObject* sender, const tautomatitem& item);

    TCommandHost& Host() const { return host_; }
    TCommandDialogs& Dialogs() const { return dialogs_; }

    // The commands that reach into the main window's own parts.
    void NewImage(const TCommandCall& call);
    void Open(const QString& fileName);
    void Scan(const TCommandCall& call);
    void SelectScanner();
    void Duplicate(const TCommandCall& call);
    void HsvChannels(Tchild* image);
    // False when the comment command ended early.
    bool Comment(const TCommandCall& call);

private:
    TCommandHost& host_;
    TCommandDialogs& dialogs_;
};
