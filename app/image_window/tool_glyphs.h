// The pictures of the tool-bar buttons, drawn in code.
#pragma once
#include <QIcon>
#include <QString>

// The 20 × 20 picture of a tool-bar button, drawn here; unknown names get a blank one.
QIcon ToolGlyph(const QString& buttonName);
