// The main-window fixture and helpers the application's tests share.
#pragma once
#include "app/image_window/image_window.h"
#include "app/main_window/main_window_dialogs.h"
#include "app/main_window/main_window.h"
#include "app/text/locale_env.h"
#include "common/test_support.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/dialogs.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// The commands' real forms and dialogs, except those a test watches instead.
class TTestDialogs : public TMainWindowDialogs {
public:
    std::function<void(Tform1&, Tchild*, const tautomatitem&)> print;
    std::function<void(const QString& wavPath, const QString& source, int mode)> commentForm;
    std::function<QString(const QString& title, const QString& directory, const QString& filter)> chooseWavFile;

    void Print(Tform1& form, Tchild* image, const tautomatitem& item) override
    {
        print ? print(form, image, item) : TMainWindowDialogs::Print(form, image, item);
    }
    void CommentForm(const QString& wavPath, const QString& source, TCommentMode mode) override
    {
        commentForm ? commentForm(wavPath, source, mode) : TMainWindowDialogs::CommentForm(wavPath, source, mode);
    }
    QString ChooseWavFile(const QString& title, const QString& directory, const QString& filter) override
    {
        return chooseWavFile ? chooseWavFile(title, directory, filter)
                             : TMainWindowDialogs::ChooseWavFile(title, directory, filter);
    }
};

// A main window over a fresh data directory, shown offscreen and activated once.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = TempDir() + QStringLiteral("/home%1").arg(counter()++);
        QDir().mkpath(home_);
        qputenv("KANDRIVEL_HOME", home_.toUtf8());
        // A first start takes the locale's language; no test depends on the user's.
        locale_.emplace();
        Tform1::ShowWelcomeAtStart = false;
        SetMessageDlgHook([this](const MessageDlgCall& call) {
            messages.push_back(call.message);
            return answer;
        });
    }
    void TearDown() override
    {
        if (form) {
            // Nothing may ask on the way out.
            for (QWidget* w : form->MDIChildren())
                if (auto* c = qobject_cast<Tchild*>(w))
                    c->SetModified(false);
        }
        form.reset();
        SetMessageDlgHook(nullptr);
        locale_.reset();
    }
    Tform1& make(const QStringList& args = {})
    {
        auto watched = std::make_unique<TTestDialogs>();
        dialogs = watched.get();
        form = std::make_unique<Tform1>(args, nullptr, std::move(watched));
        form->show();
        form->FormActivate();
        return *form;
    }
    // An image window with a w × h bitmap of one colour, at 100 %, in drawing mode.
    Tchild* imageWindow(int w, int h, TColor color, TPixelFormat format = pf24bit)
    {
        Tchild* c = form->NewImageWindow();
        TBitmap* bmp = c->imageKit->Bitmap();
        bmp->SetSize(w, h);
        TCanvas* canvas = bmp->Canvas();
        canvas->Brush.Style = bsSolid;
        canvas->Brush.Color = color;
        canvas->FillRect(TRect(0, 0, w, h));
        if (format != pf24bit)
            bmp->SetPixelFormat(format);
        c->imageKit->Update();
        c->imageKit->SetZoom(100);
        c->imageKit->SetViewXY(0, 0);
        form->ActivateChild(c);
        return c;
    }
    QString home_;
    std::unique_ptr<Tform1> form;
    TTestDialogs* dialogs = nullptr;  // the form's
    std::vector<QString> messages;
    int answer = mrOk;

private:
    std::optional<TLocaleEnv> locale_;
    static int& counter()
    {
        static int n = 0;
        return n;
    }
};
