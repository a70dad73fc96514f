#pragma once

namespace zrv
{

// Shows the program's reports (core/Report.h) in modal message boxes: errors with an error
// icon, messages with one OK button, the application title as caption.
void useMessageBoxes();

} // namespace zrv
