// The option file: its name, its fixed part and strings, and the first-start defaults.
#pragma once
#include "app/options/options.h"

#include <QString>

class TStream;

// The option file: 51 fixed blocks (2379 bytes), then 25 strings, in the data
// directory. Its name is matched without regard to case; an existing file keeps its
// spelling, a new one is "Kandrivel.cgf".
constexpr int OptionFixedSize = 2379;
constexpr int OptionStringCount = 25;
QString OptionFileName();

// The settings of a first start, in the language of FirstStartLanguage (helpDirectory
// is the program's directory by default).
toptions DefaultOptions(const QString& helpDirectory = QString());
bool EnglishHelpPresent(const QString& helpDirectory = QString());
// The language without an option file: the user's locale, else the help-page rule.
uint8_t FirstStartLanguage(const QString& helpDirectory = QString());

// Reads the option file into o, or gives the defaults when there is none. A short
// or damaged file never stops start-up: blocks and strings read in full take the
// file's values, the rest keep their defaults, and coded fields are clamped. The
// catalog font name and the batch dialog block take their defaults at every start.
// Sets the program's language from the result.
void readOptionFile(toptions& o, const QString& helpDirectory = QString());
// Writes the option file through a temporary file renamed over the old one.
void writeOptionFile(const toptions& o);

// The same on streams, for the file routines and for tests.
void ReadOptions(toptions& o, TStream& s);  // o holds the defaults on entry
void WriteOptions(const toptions& o, TStream& s);
// Puts every coded field into its range.
void ClampOptions(toptions& o);
// The slide-show block's part of it: sizes and counts the player computes with are
// held to what the options dialog can set.
void ClampSlideShowOptions(tslideshowoptions& o);
