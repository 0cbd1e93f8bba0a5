// Hooks through which commands reach forms built apart from the interpreter.
#pragma once
#include <QString>
#include <functional>

class QWidget;
class Tchild;
class Tform1;
class tautomatitem;
class TIOParamsVals;

// Where commands reach forms and dialogs that are built apart from the interpreter.
// Each is empty until its piece plugs in; an empty one makes its command do nothing
// beyond recording and availability.
struct TCommandSeams {
    // Code 19: the histogram dialog for the image, shown modally.
    static std::function<void(Tchild* image)> Histogram;
    // Code 28: the merge dialog, prepared and shown modally by the merge piece.
    static std::function<void(Tform1& form, Tchild* image)> Merge;
    // Code 4: one copy on the printer with the record's print arguments.
    static std::function<void(Tform1& form, Tchild* image, const tautomatitem& item)> Print;
    // Code 34 and 35: the video import form and the slide-show player, modal.
    static std::function<void(Tform1& form)> VideoImport;
    static std::function<void(Tform1& form)> SlideShow;
    // Codes 38, 41, 42: the comment form (mode 0 record, 1 play, 2 import the file
    // `source` into the comment `wavPath`), modal.
    static std::function<void(const QString& wavPath, const QString& source, int mode)> CommentForm;
    // Code 42: the wave open dialog; returns the chosen file or an empty text.
    static std::function<QString(const QString& title, const QString& directory, const QString& filter)>
        ChooseWavFile;
    // The format parameter dialog on `params` for the given pages; true on OK. The batch
    // dialog's "Parameter" button stays disabled while this is empty.
    static std::function<bool(QWidget* owner, TIOParamsVals& params, int pages)> FormatParams;
};
