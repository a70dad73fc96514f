#pragma once
// The checks of the settings fuzzer, shared with the corpus replay test: a settings file goes
// through the settings window's own model (SettingsModel), without a widget.

#include <QByteArray>
#include <QString>
#include <QStringList>

class SettingsModel;

namespace zrvfuzz
{

// Shows the model on its loaded list as the settings window's show step does; what the
// standard error box would have shown is added to `errors`.
void Show(SettingsModel& model, QStringList& errors);

// The model's state, one line per control, for comparisons and failure messages; texts are
// cut to `textLength` characters.
QString Describe(const SettingsModel& model, const QStringList& errors, int textLength = 80);

// Every value the program goes on to use must lie within its range; an empty text when they
// do, else what is wrong.  Checks the layouts of the exercises for the font of the run.
QString CheckRanges(const SettingsModel& model);

// The whole round for one input: `bytes` as the settings file at `path`, shown, saved, loaded
// again and shown again.  An empty text when everything holds, else the first fault found.
QString CheckSettingsFile(const QByteArray& bytes, const QString& path);

} // namespace zrvfuzz
