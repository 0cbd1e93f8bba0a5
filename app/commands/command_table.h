#pragma once
// The command table: one entry per command code, read by the record check, the
// interpreter and the command availability.
#include "app/commands/command_record.h"

#include <cstdint>
#include <span>

class QObject;
class Tchild;
class TCommandInterpreter;

// What a stored record's arguments must hold before its command may run.
enum class TArgRule : uint8_t {
    None,
    ImageSize,   // Arg1 × Arg2: a size the image operations take
    Range,       // Arg first … last each within min … max
    LowByte,     // the lowest byte of Arg first within min … max
    FileName,    // a usable, non-empty UTF-8 name
    SaveParams,  // every parameter storable by the writer the name chooses
};

struct TArgCheck {
    TArgRule rule = TArgRule::None;
    int first = 0, last = 0;  // argument indices 1 … 6
    int32_t min = 0, max = 0;
    // The refusal's texts; for ranges the refused value follows when they end in ": ".
    const char* german = nullptr;
    const char* english = nullptr;
};

// One command being run: the record (a copy the command may not change), the active
// image window (null when the active child is none), and who asked.
struct TCommandCall {
    QObject* sender;
    const tautomatitem& item;
    Tchild* image;
};

// Runs the command; false when it ended early and availability is not updated.
using TCommandRun = bool (*)(TCommandInterpreter& interpreter, const TCommandCall& call);

struct TCommandEntry {
    TCommandCode code;
    const char* name;
    TArgCheck checks[2];
    // Marks the image modified before it runs, so that closing asks first.
    bool changesImage;
    // Does nothing without an active image window; its tool-bar button is available
    // only while one is active.
    bool needsImageWindow;
    const char* button;  // the tool-bar button that sends it, or nullptr
    TCommandRun run;
};

// Every command code from 0 to kLastCommandCode, in code order.
std::span<const TCommandEntry> CommandTable();
// nullptr for a code past the last one.
const TCommandEntry* FindCommand(uint8_t code);
