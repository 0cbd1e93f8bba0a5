// Loading a drawn picture from a file.
#include "platform/graphics/metafile_graphic.h"

#include "platform/core/streams.h"

void TGraphic::LoadFromFile(const QString& fileName)
{
    TFileStream fs(fileName, fmOpenRead);
    LoadFromStream(fs);
}
