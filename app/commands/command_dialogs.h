// The interface through which commands open forms and dialogs (TCommandDialogs).
#pragma once
// The forms and dialogs that commands open, as the interpreter reaches them.
#include <QString>
#include <cstdint>

class Tchild;
class tautomatitem;

// What the comment form does with its ".wav" file; the values are the form's modes.
enum TCommentMode : uint8_t { cmRecord = 0, cmPlay = 1, cmImport = 2 };

// Given to the interpreter when the main window builds it; tests give one that
// watches instead of opening modal forms.
class TCommandDialogs {
public:
    virtual ~TCommandDialogs() = default;
    // Code 19: the histogram dialog for the image, modal.
    virtual void Histogram(Tchild* image) = 0;
    // Code 28: the merge dialog on the active image, modal.
    virtual void Merge(Tchild* image) = 0;
    // Code 4: one copy on the printer with the record's print arguments; image is null
    // when the active child is a catalog or none.
    virtual void PrintCopy(Tchild* image, const tautomatitem& item) = 0;
    // Codes 34 and 35: the video import form and the slide-show player, modal.
    virtual void VideoImport() = 0;
    virtual void SlideShow() = 0;
    // Codes 38, 41, 42: the comment form on wavPath; source is the file to import.
    virtual void CommentForm(const QString& wavPath, const QString& source, TCommentMode mode) = 0;
    // Code 42: the wave open dialog; the chosen file or an empty text.
    virtual QString ChooseWavFile(const QString& title, const QString& directory, const QString& filter) = 0;
};
