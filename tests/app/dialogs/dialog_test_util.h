// Acting on a modal dialog once it runs, and colour counts for dialog tests.
#pragma once
#include "app/app_test_util.h"
#include "platform/ui/application.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <set>

// Acts on the modal dialog of type D once its event loop runs; act must close it.
// A dialog that never appears fails the test instead of waiting for ever.
template <class D> void WhenModal(std::function<void(D*)> act)
{
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        EXPECT_NE(d, nullptr) << "no modal " << D::staticMetaObject.className();
        if (d)
            act(d);
        else if (QWidget* other = QApplication::activeModalWidget())
            other->close();
    });
}

// The distinct colours of a 24-bit bitmap.
inline int DistinctColors(const TBitmap* bmp)
{
    std::set<TColor> seen;
    for (int y = 0; y < bmp->Height(); ++y)
        for (int x = 0; x < bmp->Width(); ++x)
            seen.insert(bmp->PixelColor(x, y));
    return int(seen.size());
}

// Records the help addresses opened instead of opening them.
class HelpRecorder {
public:
    HelpRecorder()
    {
        TApplication::OpenUrlHook = [this](const QString& url) {
            urls.push_back(url);
            return true;
        };
    }
    ~HelpRecorder() { TApplication::OpenUrlHook = nullptr; }
    std::vector<QString> urls;
};
