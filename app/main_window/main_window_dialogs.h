// The main window's forms and dialogs as the commands open them (TMainWindowDialogs).
#pragma once
// The forms and dialogs the main window's commands open.
#include "app/commands/command_dialogs.h"

class Tform1;

class TMainWindowDialogs : public TCommandDialogs {
public:
    // The main window the forms open over; it attaches itself when it takes these.
    void Attach(Tform1& form) { form_ = &form; }

    void Histogram(Tchild* image) override;
    void Merge(Tchild* image) override;
    void PrintCopy(Tchild* image, const tautomatitem& item) override;
    // The print of one copy over form (tests watch it here).
    virtual void Print(Tform1& form, Tchild* image, const tautomatitem& item);
    void VideoImport() override;
    void SlideShow() override;
    void CommentForm(const QString& wavPath, const QString& source, TCommentMode mode) override;
    QString ChooseWavFile(const QString& title, const QString& directory, const QString& filter) override;

private:
    Tform1* form_ = nullptr;
};
