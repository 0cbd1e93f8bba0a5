// Message dialogs and their modal results.
#include "platform/ui/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses the button with the given text in the message box that is about to run modally;
// records the button texts it showed.
void pressLater(const QString& text, QStringList& shown)
{
    QTimer::singleShot(0, [text, &shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        QAbstractButton* hit = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            shown << b->text().remove(QLatin1Char('&'));
            if (b->text().remove(QLatin1Char('&')) == text)
                hit = b;
        }
        if (hit)
            hit->click();
        else
            box->reject();  // never leave the test hanging
    });
}

}  // namespace

TEST(MessageDlgBox, EachButtonReturnsItsOwnModalResult)
{
    SetMessageDlgHook(nullptr);
    QStringList shown;
    pressLater(QStringLiteral("Yes to All"), shown);
    EXPECT_EQ(MessageDlg(QStringLiteral("Replace?"), mtConfirmation, mbYes | mbNo | mbYesToAll), int(mrYesToAll));
    EXPECT_EQ(shown.size(), 3);

    // "All" and "Yes to All" are two buttons with two results.
    shown.clear();
    pressLater(QStringLiteral("All"), shown);
    EXPECT_EQ(MessageDlg(QStringLiteral("Replace?"), mtConfirmation, mbAll | mbYesToAll | mbCancel), int(mrAll));
    EXPECT_EQ(shown.size(), 3);
    shown.clear();
    pressLater(QStringLiteral("Yes to All"), shown);
    EXPECT_EQ(MessageDlg(QStringLiteral("Replace?"), mtConfirmation, mbAll | mbYesToAll | mbCancel), int(mrYesToAll));

    shown.clear();
    pressLater(QStringLiteral("No"), shown);
    EXPECT_EQ(MessageDlg(QStringLiteral("Save?"), mtWarning, mbYesNoCancel), int(mrNo));
    shown.clear();
    pressLater(QStringLiteral("Cancel"), shown);
    EXPECT_EQ(MessageDlg(QStringLiteral("Save?"), mtWarning, mbYesNoCancel), int(mrCancel));
    shown.clear();
    pressLater(QStringLiteral("OK"), shown);
    EXPECT_EQ(MessageDlg(QStringLiteral("Done"), mtInformation, 0), int(mrOk));  // no buttons: OK
    EXPECT_EQ(shown, QStringList{QStringLiteral("OK")});
}
