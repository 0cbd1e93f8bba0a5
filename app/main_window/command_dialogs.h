#pragma once
// The forms and dialogs the main window's commands open.
#include "app/commands/command_dialogs.h"

class TMainWindowDialogs : public TCommandDialogs {
public:
    void Histogram(Tform1& form, Tchild* image) override;
    void Merge(Tform1& form, Tchild* image) override;
    void Print(Tform1& form, Tchild* image, const tautomatitem& item) override;
    void VideoImport(Tform1& form) override;
    void SlideShow(Tform1& form) override;
    void CommentForm(const QString& wavPath, const QString& source, TCommentMode mode) override;
    QString ChooseWavFile(const QString& title, const QString& directory, const QString& filter) override;
};
