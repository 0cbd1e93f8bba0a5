#include "app/forms/auto_form.h"

Tautoform::Tautoform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("autoform"));
    setWindowTitle(QStringLiteral("Batch"));
}

Tautoform::~Tautoform() = default;
