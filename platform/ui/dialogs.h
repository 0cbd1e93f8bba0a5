// Message dialogs, their buttons and modal results.
#pragma once
#include <QString>
#include <functional>

class QWidget;

// Modal results keep Windows' numbers (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7), which
// stored settings and callers compare against.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// Shows a message box and returns the modal result of the button pressed.
int MessageDlg(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
void ShowMessage(const QString& message);
// Returns true with the edited value when the user pressed OK.
bool InputQuery(const QString& caption, const QString& prompt, QString& value);

// Tests answer message boxes without showing them. A hook receives what the box
// would show and returns the modal result; InputQuery's hook may change the value.
struct MessageDlgCall {
    QString message;
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    QString caption;
};
using MessageDlgHook = std::function<int(const MessageDlgCall&)>;
using InputQueryHook = std::function<bool(const QString& caption, const QString& prompt, QString& value)>;
void SetMessageDlgHook(MessageDlgHook hook);
void SetInputQueryHook(InputQueryHook hook);

// Caption of the box for a type, in the language the application set (English default).
void SetMessageDlgCaptions(const QString& warning, const QString& error, const QString& information,
                           const QString& confirmation);

// A stop box with a caption of the caller's choice and one OK button (the default
// exception handler's box); goes through the message hook as type mtError.
void ShowErrorBox(const QString& message, const QString& caption);

// The default message beep; a test hook replaces the sound (and can count beeps).
void MessageBeep();
void SetBeepHook(std::function<void()> hook);
