// Message dialogs and input queries, with hooks for tests.
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace {

MessageDlgHook g_msgHook;
InputQueryHook g_inputHook;
QString g_captions[4] = {QStringLiteral("Warning"), QStringLiteral("Error"), QStringLiteral("Information"),
                         QStringLiteral("Confirm")};

QString captionFor(TMsgDlgType type)
{
    if (type >= mtWarning && type <= mtConfirmation)
        return g_captions[type];
    return QApplication::applicationDisplayName();
}

}  // namespace

void SetMessageDlgHook(MessageDlgHook hook) { g_msgHook = std::move(hook); }
void SetInputQueryHook(InputQueryHook hook) { g_inputHook = std::move(hook); }

void SetMessageDlgCaptions(const QString& warning, const QString& error, const QString& information,
                           const QString& confirmation)
{
    g_captions[0] = warning;
    g_captions[1] = error;
    g_captions[2] = information;
    g_captions[3] = confirmation;
}

int MessageDlg(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    if (buttons == 0)
        buttons = mbOK;
    if (g_msgHook)
        return g_msgHook({message, type, buttons, captionFor(type)});

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(captionFor(type));
    box.setText(message);
    switch (type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    default: break;
    }
    // Qt has no "All" button of its own (its old YesAll is YesToAll), so that one is ours;
    // the pressed button is found by identity, never by the value exec() returns.
    struct Btn {
        TMsgDlgBtn flag;
        QMessageBox::StandardButton std;
        int result;
    };
    static const Btn table[] = {
        {mbYes, QMessageBox::Yes, mrYes},
        {mbNo, QMessageBox::No, mrNo},
        {mbOK, QMessageBox::Ok, mrOk},
        {mbCancel, QMessageBox::Cancel, mrCancel},
        {mbAbort, QMessageBox::Abort, mrAbort},
        {mbRetry, QMessageBox::Retry, mrRetry},
        {mbIgnore, QMessageBox::Ignore, mrIgnore},
        {mbAll, QMessageBox::NoButton, mrAll},
        {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
        {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    };
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (const Btn& b : table) {
        if (!(buttons & b.flag))
            continue;
        QAbstractButton* button =
            b.std == QMessageBox::NoButton
                ? box.addButton(QApplication::translate("MessageDlg", "&All"), QMessageBox::AcceptRole)
                : box.addButton(b.std);
        made.push_back({button, b.result});
    }
    box.exec();
    for (const auto& [button, result] : made)
        if (box.clickedButton() == button)
            return result;
    return (buttons & mbCancel) ? mrCancel : mrNone;
}

void ShowMessage(const QString& message)
{
    if (g_msgHook) {
        g_msgHook({message, mtCustom, mbOK, QApplication::applicationDisplayName()});
        return;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(message);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    if (g_inputHook)
        return g_inputHook(caption, prompt, value);
    bool ok = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

void ShowErrorBox(const QString& message, const QString& caption)
{
    if (g_msgHook) {
        g_msgHook({message, mtError, mbOK, caption});
        return;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setIcon(QMessageBox::Critical);
    box.setText(message);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

namespace {
std::function<void()> g_beepHook;
}

void SetBeepHook(std::function<void()> hook) { g_beepHook = std::move(hook); }

void MessageBeep()
{
    if (g_beepHook)
        g_beepHook();
    else
        QApplication::beep();
}
