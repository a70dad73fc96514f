#pragma once
// The checks of the journal fuzzer, shared with the corpus replay test: a journal file opened,
// read, shown and written to by the program's own journal.

#include <QByteArray>
#include <QString>

namespace zrvfuzz
{

// `bytes` as the journal file in the folder `dir` (emptied first): opened (and migrated), its
// runs read, their figures and texts made, shown on the journal's page when `withPage`, and a
// run recorded.  The file is either used (as it was or migrated), set aside whole, or left
// unchanged when a later version made it; it is never lost, and the run is in the file the next
// start reads unless the journal says it holds it in memory.  An empty text when all holds, else
// the first fault found.
QString CheckJournalFile(const QByteArray& bytes, const QString& dir, bool withPage);

} // namespace zrvfuzz
