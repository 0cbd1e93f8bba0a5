#include "app/commands/command_seams.h"

std::function<void(Tchild*)> TCommandSeams::Histogram;
std::function<void(Tform1&, Tchild*)> TCommandSeams::Merge;
std::function<void(Tform1&, Tchild*, const tautomatitem&)> TCommandSeams::Print;
std::function<void(Tform1&)> TCommandSeams::VideoImport;
std::function<void(Tform1&)> TCommandSeams::SlideShow;
std::function<void(const QString&, const QString&, int)> TCommandSeams::CommentForm;
std::function<QString(const QString&, const QString&, const QString&)> TCommandSeams::ChooseWavFile;
std::function<bool(QWidget*, TIOParamsVals&, int)> TCommandSeams::FormatParams;
