#pragma once
// The comment commands on an image: record, text, delete, play and import.
class TMainWindowServices;
class Tchild;
class tautomatitem;

#include <QString>

// The comment form, modal: mode 0 records, 1 plays, 2 imports the file `source` into the
// comment `wavPath`.
void RunCommentForm(const QString& wavPath, const QString& source, int mode);
// The wave open dialog; the chosen file or an empty text.
QString ChooseWaveFile(const QString& title, const QString& directory, const QString& filter);
void RunCommentCommand(TMainWindowServices& main, const tautomatitem& item, Tchild* image);
