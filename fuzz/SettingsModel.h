#pragma once
// What the settings window's controls hold after the window has been shown with a settings
// file, worked out from the settings list alone by the window's own rules, without a widget.
// The fuzzer runs this model millions of times; the corpus replay test checks it against the
// real TMainForm for every stored input, so the two cannot drift apart unnoticed.

#include "display/Font.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class SettingsList;

namespace zrvfuzz
{

// A drop-down selector: the number of items it holds and the selected one (-1: none).
struct Selector {
    int items = 0;
    int index = -1;
    bool operator==(const Selector&) const = default;
};

// The controls that the exercise window reads, plus the save box and the exercise selector,
// in the state the window's constructor gives them.
struct WindowValues {
    bool saveOptions = false;
    Selector boxAls{3, -1};
    Selector boxTip{2, -1};
    Selector boxYon{6, -1};
    Selector boxStr{6, -1};
    Selector boxHrf{33, -1};
    Selector boxZmn{10, -1};
    Selector boxAkt{10, -1};
    Selector boxPas{10, -1};
    Selector boxNkt{10, -1};
    Selector boxDkk{6, -1};
    QString speedText = QStringLiteral("100");
    QString txtFnt;
    TFont font{QStringLiteral("Courier New"), 10, 162, 0, 0};
    bool harf[4] = {true, false, false, false};
    int currentExercise = 0;
    // What the standard error box would have shown, in order.
    QStringList errors;

    bool operator==(const WindowValues& o) const;
    // One line per field, for failure messages.
    QString Describe() const;
};

// The longest text the font description box holds (the toolkit's line edit limit).
constexpr int kTextBoxMaxLength = 32767;

// Shows the window on `list`, which has just been loaded: fills the values as the window's show
// step does and stores into `list` every change the window writes back (the save box, the
// exercise line, a limited speed, the letter groups).
WindowValues ShowWindow(SettingsList& list);

// Every value the program goes on to use must lie within its range; an empty text when they
// do, else what is wrong.  Checks the layouts of the exercises for the font these values give.
QString CheckRanges(const WindowValues& values);

// The whole round for one input: `bytes` as the settings file at `path`, shown, saved, loaded
// again and shown again.  An empty text when everything holds, else the first fault found.
QString CheckSettingsFile(const QByteArray& bytes, const QString& path);

} // namespace zrvfuzz
