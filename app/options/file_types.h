// Binding file extensions to the program.
#pragma once
#include <QString>

// Binds file extensions to the program: the registry stand-in gets the classic
// layout (".ext" -> class, class -> description, class\Shell\Open\Command -> program
// " %1", class\DefaultIcon -> icon source), the desktop gets the matching entries.

// The extension may come with or without its leading dot.
void RegisterFileType(const QString& extension, const QString& className, const QString& description,
                      const QString& iconSource, const QString& programPath);
// True when ".ext" names the class, ignoring case.
bool IsFileTypeRegistered(const QString& extension, const QString& className);
// Removes the binding only while ".ext" still names the class; a binding another
// program took over stays as it is.
void UnregisterFileType(const QString& extension, const QString& className);

// One row of the options dialog's file-type page.
struct TFileTypeBinding {
    const char* Extensions[2];  // second may be nullptr; both are bound and unbound together
    const char* ClassName;
    const char* Description;
    bool IconIsFile;  // "%1" (the file itself) instead of the program
};
constexpr int FileTypeBindingCount = 9;
extern const TFileTypeBinding FileTypeBindings[FileTypeBindingCount];
