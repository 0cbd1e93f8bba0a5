// The command table: each command code's argument rules, needs and run function.
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

// When a command's menu items and tool-bar button may be used, by the active child.
enum class TCommandWhen : uint8_t {
    Always,       // never switched off
    ImageWindow,  // an image window (or another child that is no catalog or welcome window)
    Undo,         // an image window with a step to undo
};

// A menu item that sends the command. The menus are built from the menu layout and
// these items: each goes into its menu after the item named there (first when none).
struct TCommandItem {
    const char* name = nullptr;  // objectName
    const char* menu = nullptr;  // the menu's objectName
    const char* after = nullptr;
    const char* german = nullptr;  // the caption, with its accelerator
    // What TranslateCaption must make of german in English: a new caption can pick up
    // an older fragment's English, so each row says what it expects.
    const char* english = nullptr;
    int32_t arg = 0;  // handed to the row's preset before the command runs
};

// The tool-bar button that sends the command, after the control named (on the standard bar).
struct TCommandButton {
    const char* name = nullptr;
    const char* after = nullptr;
    const char* hint = nullptr;  // German; the form's translation gives the English
};

// Writes an item's argument into the record before its command runs.
using TCommandPreset = void (*)(tautomatitem& item, int32_t arg);

struct TCommandEntry {
    TCommandCode code;
    const char* name;
    TArgCheck checks[2] = {};
    // Marks the image modified before it runs, so that closing asks first.
    bool changesImage = false;
    // Does nothing without an active image window.
    bool needsImageWindow = false;
    TCommandRun run = nullptr;
    // Where the user finds it: menu items and a button that run the code at once (items
    // that ask through a dialog first are the main window's), and when they may be used.
    TCommandItem items[3] = {};
    TCommandButton button = {};
    TCommandWhen when = TCommandWhen::Always;
    TCommandPreset preset = nullptr;
};

// Every command code from 0 to kLastCommandCode, in code order.
std::span<const TCommandEntry> CommandTable();
// nullptr for a code past the last one.
const TCommandEntry* FindCommand(uint8_t code);
