#pragma once

#include "core/SettingsModel.h"

#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class QTabWidget;
class QToolButton;
class QPlainTextEdit;
class LinkLabel;      // gui/LinkLabel.h
class SpinEdit;       // gui/SpinEdit.h: the speed box
class FontDialog;     // gui/FontDialog.h: font() gives the chosen FontSpec (name, size, charset, style)
class ExerciseWindow; // exercises/ExerciseWindow.h
class SqliteJournal;  // journal/SqliteJournal.h
class JournalPage;    // gui/JournalView.h
class ProgramPage;    // gui/ProgramPage.h
class ReadingPage;    // gui/ReadingPage.h

// The settings window, the application's main window: the widgets of a SettingsModel.  Every
// change the user makes is handed to the model, which stores it at once in the settings list,
// and the widgets then show the model's state.  The list is read from "zrv.opt" when the
// window is first shown and written back when it closes with the save box ticked.
class SettingsWindow : public QWidget
{
    Q_OBJECT
  public:
    // When the exercises page ("Alıştırmalar", hidden at start) is built: with the rest, or
    // later (the program's start: the window appears without waiting for it).
    enum class ExercisesPage { Now, Later };
    explicit SettingsWindow(QWidget* parent = nullptr, ExercisesPage exercisesPage = ExercisesPage::Now);
    ~SettingsWindow() override;

    // Builds the exercises page if it is still to be built (it also is the first time it is
    // shown), with the model's state and in the keyboard order it has when built with the rest.
    void buildExercisesPage();

    // The exercise window that btnAlsClick shows modally; set once after both are created.
    void setScreenForm(ExerciseWindow* screenForm);
    // The training journal: every run of the exercise window goes into it, a third page,
    // "Günlük", shows it, and a fourth, "Program", runs the daily routine kept in it.  Set once,
    // before the window is shown; without it there are neither.
    void setJournal(SqliteJournal* journal);
    // Another copy of the program holds this directory's settings: this one must not overwrite
    // them when it closes last.  Called once the window is shown (showing sets the save box from
    // the file): the save box is unticked and disabled, and a message says so.
    void setSettingsHeldElsewhere();
    // The Program page in front (the reminder's action opens the program there).
    void showProgramPage();

    // The state the widgets show.
    const SettingsModel& model() const { return m_model; }
    // The live settings list and the built-in defaults.
    SettingsList& lstOptions() { return m_model.list(); }
    const SettingsList& lstOptions2() const;

    // The web address a link label opens (empty for any other object).
    QUrl linkAddress(const QObject* sender) const;

    // Event handlers.  An error of the settings list they read is shown in the standard error
    // box where it is raised, and the rest of the handler is skipped.
    void FormShow();
    bool FormClose(); // false when the close must not go on (the settings could not be saved)
    void boxAlsChange();
    void boxChange(QObject* sender);
    void btnFntClick();
    void btnAlsClick();
    void btnProgramClick(); // "Programı başlat": the daily routine in the exercise window
    void btnReadingClick(); // "Okuma testini başlat": a reading test in the exercise window
    void kitapClick(QObject* sender);
    void btnCloseClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void createPageDescription();
    void createPageExercises();
    void nameWidgets();
    void nameExercisesPage();
    void connectEvents();
    void connectExercisesPage();
    void followScreenWithSpeedTip();
    // Each selector with the model's selector it shows.
    std::array<std::pair<QComboBox*, SettingsModel::Selector>, SettingsModel::SelectorCount>
    selectors() const;
    // Shows the model's state in the widgets.
    void showModel();
    // Runs a handler of the model (an error it raises is shown and ends it), then shows the
    // model's state.
    void change(const std::function<void()>& handler);
    void setContentsEnabled(bool enabled);
    void centerOnScreen();
    // Runs of the exercise window go into the journal, once both are set.
    void connectJournal();
    // Shows the exercise window modally, this window greyed meanwhile.
    void runExerciseWindow();

    // The widgets, each with its member's name as object name (tests find them by it).
    // Window level.
    QTabWidget* PageControl = nullptr;
    QWidget* pageDescription = nullptr; // "Açıklama"
    QWidget* pageExercises = nullptr;   // "Alıştırmalar"
    JournalPage* pageJournal = nullptr; // "Günlük", when there is a journal
    ProgramPage* pageProgram = nullptr; // "Program", when there is a journal
    ReadingPage* pageReading = nullptr; // "Okuma", when there is a journal
    QPushButton* btnClose = nullptr;

    // The "Açıklama" page.
    QPlainTextEdit* memoAbout = nullptr; // what the program is for
    QLabel* Label3 = nullptr;
    LinkLabel* kitap1 = nullptr;
    LinkLabel* kitap2 = nullptr;
    LinkLabel* kitap3 = nullptr;
    QLabel* Label6 = nullptr;
    LinkLabel* kitap4 = nullptr;
    LinkLabel* kitap5 = nullptr;
    QPlainTextEdit* memoTerms = nullptr; // free of charge, at the user's risk, what it runs on
    QLabel* Label9 = nullptr;
    LinkLabel* link1 = nullptr;

    // Controls of the "Alıştırmalar" page (created by the constructor, never null).
    QLabel* labAls = nullptr;
    QLabel* labTip = nullptr;
    QLabel* labYon = nullptr;
    QLabel* labStr = nullptr;
    QLabel* labHrf = nullptr;
    QLabel* labZmn = nullptr;
    QLabel* labAkt = nullptr;
    QLabel* labPas = nullptr;
    QLabel* labNkt = nullptr;
    QLabel* labHiz = nullptr;
    QLabel* labDuration = nullptr; // "Süre:"
    QLabel* labFnt = nullptr;
    QLabel* labharf = nullptr;
    QComboBox* boxAls = nullptr;
    QComboBox* boxTip = nullptr;
    QComboBox* boxYon = nullptr;
    QComboBox* boxStr = nullptr;
    QComboBox* boxHrf = nullptr;
    QComboBox* boxZmn = nullptr;
    QComboBox* boxAkt = nullptr;
    QComboBox* boxPas = nullptr;
    QComboBox* boxNkt = nullptr;
    QComboBox* boxDkk = nullptr;
    SpinEdit* valHiz = nullptr;
    QLineEdit* txtFnt = nullptr;
    QToolButton* btnFnt = nullptr;
    QCheckBox* boxharf1 = nullptr;
    QCheckBox* boxharf2 = nullptr;
    QCheckBox* boxharf3 = nullptr;
    QCheckBox* boxharf4 = nullptr;
    QCheckBox* boxSaveOptions = nullptr;
    QPushButton* btnAls = nullptr;
    QPlainTextEdit* memoWarning = nullptr; // the warning about the eyes
    ::FontDialog* FontDialog = nullptr;

    SettingsModel m_model;
    ExerciseWindow* m_screenForm = nullptr;
    SqliteJournal* m_journal = nullptr;
    bool m_shown = false;
    bool m_showingModel = false; // the widgets' own signals are not changes of the user then
};
