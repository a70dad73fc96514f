#pragma once

#include "core/ExerciseSettings.h"
#include "core/Font.h"
#include "core/SettingsList.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// What the settings window shows and does, without a widget: the settings list and the state
// of every control that stores into it, the loading of an exercise's section into the
// controls, the exercise switch, and the storing of each change into its line.  SettingsWindow
// shows this state in its widgets and hands every change the user makes to it.
//
// The controls are the drop-down selectors, the speed box (the pace, zrv::Pace, whose text is
// not limited while it is typed), the font, the four letter-group boxes and the
// save box.  A change is stored at once into the line of the selected exercise's section; which line each
// control stores into is one table in SettingsModel.cpp.
//
// A handler may throw (a font line that is not a number): the rest of it is then skipped, and
// the state stays as far as it got, as the window's handlers have always done.
class SettingsModel
{
  public:
    enum Selector : int {
        Exercise,   // the exercise: 0 "Nokta", 1 "Piramit", 2 "Blok"
        Type,       // the type (its items follow the exercise)
        Direction,  // the direction (its items follow the exercise; Dot keeps the last ones)
        Lines,      // lines, "1 Satır" .. "6 Satır"
        Letters,    // letters, "4" .. "36"
        Background, // background colour
        Active,     // active colour
        Passive,    // passive colour
        Dot,        // dot colour
        Duration,   // duration, "Sürekli", "1 dakika" .. "5 dakika"
        SelectorCount
    };
    // The longest text the font description box holds.
    static constexpr int FontTextMaxLength = 32767;

    SettingsModel();

    SettingsList& list() { return m_list; }
    const SettingsList& list() const { return m_list; }

    // ---- The state the window shows ----
    const QStringList& items(Selector selector) const { return m_items[selector]; }
    int index(Selector selector) const { return m_index[selector]; } // -1: nothing selected
    QString currentText(Selector selector) const;
    bool saveOptions() const { return m_saveOptions; }
    bool letterGroup(int group) const { return m_letterGroups[size_t(group)]; } // group 0..3
    QString paceText() const { return m_paceText; }
    // The speed box's pace: its text read as an integer and held to the range (a typed text
    // may lie outside it until the box loses the focus).
    zrv::Pace pace() const { return zrv::Pace::fromText(m_paceText); }
    const FontSpec& font() const { return m_font; }
    QString fontText() const { return m_fontText; }
    // The exercise the start button runs (0 Dot, 1 Pyramid, 2 Block) and its caption.
    int currentExercise() const { return m_currentExercise; }
    QString startCaption() const { return m_startCaption; }
    // False while the Dot exercise is selected: the controls of the text exercises are hidden.
    bool textControlsVisible() const { return m_textControlsVisible; }

    // ---- Handlers ----
    // The window's show step on a loaded list: the save box, the exercise, its section.
    void show();
    // Loads `fileName` (see SettingsList::Load), then show().
    void loadAndShow(const QString& fileName = QString::fromLatin1(SettingsList::DefaultFileName));
    // The exercise selector set to `index` by the user: stored, and the exercise's section
    // loaded into the controls.
    void selectExercise(int index);
    // A selector other than the exercise set to `index` by the user.
    void select(Selector selector, int index);
    // The speed box's text changed.
    void setPaceText(const QString& text);
    void setLetterGroup(int group, bool ticked);
    void setSaveOptions(bool save);
    // A font chosen in the font dialog.
    void setFont(const FontSpec& font);

    // The window's close: the list written to `fileName` (see SettingsList::Save) when the save
    // box is ticked.  A failure throws FileCreateError "Cannot create file <fileName>", with the
    // system's reason on a line of its own ("No space left on device").
    void saveIfChosen(const QString& fileName = QString::fromLatin1(SettingsList::DefaultFileName));

    // A Pyramid or Block run needs at least one letter group.
    bool canStart() const;
    // What the start button hands the exercise window; its pace that of the speed box.
    ExerciseSettings runSettings() const;
    // What the start button would hand the exercise window with `exercise` selected (the
    // settings of its section); nullopt when that exercise could not start.  The model is
    // left as it is.
    std::optional<ExerciseSettings> runSettingsOf(int exercise) const;

  private:
    void loadExerciseOptions();
    void setIndex(Selector selector, int index);
    void replaceItems(Selector selector, const QStringList& items);
    // The line `selector` (or, for Selector SelectorCount, the speed box) stores into for the
    // selected exercise; -1 when it stores nowhere.
    int lineOf(int control) const;

    SettingsList m_list;
    std::array<QStringList, SelectorCount> m_items;
    std::array<int, SelectorCount> m_index;
    bool m_saveOptions = false;
    std::array<bool, 4> m_letterGroups{true, false, false, false};
    // The speed box's text before the first load; loading stores a speed line back only when
    // its text differs from the box's.
    QString m_paceText = QStringLiteral("100");
    FontSpec m_font{QStringLiteral("Courier New"), 10, 162, 0, 0};
    QString m_fontText;
    int m_currentExercise = 0;
    QString m_startCaption = QStringLiteral("Alıştırma:");
    bool m_textControlsVisible = true;
};
