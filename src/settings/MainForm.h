#pragma once
// CONTRACT HEADER: the members below are read by the exercise window and by tests; the
// settings implementer completes the class (layout, handlers, private parts).

#include "display/DXForm.h"
#include "display/Font.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QPlainTextEdit;
class TSpinEdit;     // settings/SpinEdit.h: the speed box
class TFontDialog;   // settings/FontDialog.h: Font() gives the chosen TFont (name, size, charset, style)
class TScreenForm;   // exercises/ScreenForm.h
class SettingsList;  // settings/SettingsList.h

// The settings window, the application's main window.
class TMainForm : public TDXForm
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The exercise window that btnAlsClick shows modally; set once after both are created.
    void SetScreenForm(TScreenForm* screenForm);

    // Controls of the "Alıştırmalar" page (created by the constructor, never null).
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
    TSpinEdit* valHiz = nullptr;
    QCheckBox* boxharf1 = nullptr;
    QCheckBox* boxharf2 = nullptr;
    QCheckBox* boxharf3 = nullptr;
    QCheckBox* boxharf4 = nullptr;
    QCheckBox* boxSaveOptions = nullptr;
    QPushButton* btnAls = nullptr;
    TFontDialog* FontDialog = nullptr;

    quint8 CurrentExercise = 0;
};
