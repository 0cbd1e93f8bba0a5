// Conveniences every implementation of the main window's services shares.
#include "app/services/main_window_services.h"
#include "app/options/options.h"

#include "app/commands/command_record.h"

void TMainWindowServices::RunCode(uint8_t code)
{
    Record().SetCode(code);
    RunRecord(Window(), Record());
}
