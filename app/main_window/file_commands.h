// The main window's file commands: open, the recent files, save, save as, save all and close.
#pragma once
#include "app/document/image_document.h"

#include <QStringList>
#include <exception>
#include <functional>

class QWidget;
class Tchild;
class Tform1;
class TOpenImageKitDialog;
class TSaveImageKitDialog;
struct tsaveparams;

class TFileCommands {
public:
    explicit TFileCommands(Tform1& form) : form_(form) {}

    void openClicked();
    // Opens OpenFileList one after the other, with the events running in between.
    void openChosenFiles();
    void historyItemClicked(const QString& name);
    // Save returns whether a save was started and did not fail; save as whether its
    // file dialog was accepted. Both go through SaveImage and SaveImageAs.
    bool saveClicked();
    bool saveAsClicked();
    void saveAllClicked();
    void closeClicked();
    bool closeAllClicked();
    // Save and save as of one image window; the outcome says whether it really was saved.
    TSaveOutcome SaveImage(Tchild* image);
    TSaveOutcome SaveImageAs(Tchild* image, bool* dialogAccepted = nullptr);
    // The recorded save command for image, through its document: every save of an image
    // ends here. Without error a failure is shown to the user; with it, it lands there.
    TSaveOutcome RunSave(Tchild* image, const QString& fileName, const tsaveparams& block, QString* error = nullptr);
    // While openChosenFiles works through its list.
    bool Opening() const { return opening_; }

    TOpenImageKitDialog* openDialog = nullptr;
    TSaveImageKitDialog* saveDialog = nullptr;
    // Set by a save that failed or was cancelled: save all and close all stop there.
    bool SaveCancelled = false;
    // The file list and filter index the open dialog hands to openChosenFiles.
    QStringList OpenFileList;
    int OpenFilterIndex = 0;

private:
    bool saveFailed(const std::exception& e);
    TSaveOutcome saveImageAs(Tchild* image, bool* dialogAccepted);

    Tform1& form_;
    bool opening_ = false;
};
