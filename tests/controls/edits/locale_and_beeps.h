#pragma once
// Scoped test settings shared by the number-entry tests: count the beeps, pin the
// decimal and thousand separators; both are put back when the scope ends.
#include "platform/core/number_format.h"
#include "platform/ui/dialogs.h"

#include <QChar>

struct Beeps {
    int count = 0;
    Beeps() { SetBeepHook([this] { ++count; }); }
    ~Beeps() { SetBeepHook(nullptr); }
};

struct Separators {
    QChar dec = DecimalSeparator(), thou = ThousandSeparator();
    Separators(QChar d, QChar t)
    {
        SetDecimalSeparator(d);
        SetThousandSeparator(t);
    }
    ~Separators()
    {
        SetDecimalSeparator(dec);
        SetThousandSeparator(thou);
    }
};
