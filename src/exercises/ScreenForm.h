#pragma once
// CONTRACT HEADER: the exercise window.  The settings window writes Exercise and calls
// ShowModal(); the call returns when the run has ended.

#include "display/DXForm.h"

class TMainForm;

class TScreenForm : public TDXForm
{
    Q_OBJECT
public:
    explicit TScreenForm(TMainForm* mainForm, QWidget* parent = nullptr);
    ~TScreenForm() override;

    quint8 Exercise = 0; // 0 Dot, 1 Pyramid, 2 Block
};
