#pragma once
// Whether the settings window's widgets show what its model holds.

#include "gui/FontDialog.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "support/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

namespace zrvtest
{

// The names of the widgets that show something else than the window's model; empty when every
// widget agrees with it: each selector's items and index, the speed box, the font box and the
// font dialog's font, the letter groups, the save box, the start button's caption, and which
// controls are shown for the exercise.
inline QString UnlikeModel(const SettingsWindow& window)
{
    const SettingsModel& m = window.model();
    QStringList unlike;
    const char* const selectors[] = {"boxAls", "boxTip", "boxYon", "boxStr", "boxHrf",
                                     "boxZmn", "boxAkt", "boxPas", "boxNkt", "boxDkk"};
    static_assert(std::size(selectors) == SettingsModel::SelectorCount);
    for (int i = 0; i < SettingsModel::SelectorCount; ++i) {
        const auto* box = Control<QComboBox>(window, selectors[i]);
        const auto selector = SettingsModel::Selector(i);
        QStringList items;
        for (int k = 0; k < box->count(); ++k)
            items << box->itemText(k);
        if (items != m.items(selector) || box->currentIndex() != m.index(selector))
            unlike << QLatin1String(selectors[i]);
    }
    const char* const groups[] = {"boxharf1", "boxharf2", "boxharf3", "boxharf4"};
    for (int i = 0; i < 4; ++i) {
        if (Control<QCheckBox>(window, groups[i])->isChecked() != m.letterGroup(i))
            unlike << QLatin1String(groups[i]);
    }
    if (Control<QCheckBox>(window, "boxSaveOptions")->isChecked() != m.saveOptions())
        unlike << QStringLiteral("boxSaveOptions");
    if (Control<SpinEdit>(window, "valHiz")->text() != m.paceText())
        unlike << QStringLiteral("valHiz");
    if (Control<QLineEdit>(window, "txtFnt")->text() != m.fontText())
        unlike << QStringLiteral("txtFnt");
    if (!(Control<FontDialog>(window, "FontDialog")->font() == m.font()))
        unlike << QStringLiteral("FontDialog");
    // The start button's caption with its key ('&' before the key's letter).
    if (Control<QPushButton>(window, "btnAls")->text().remove(QLatin1Char('&')) != m.startCaption())
        unlike << QStringLiteral("btnAls");
    // Shown only for the exercises that show text.
    for (const char* name :
         {"labYon", "boxYon", "labStr", "boxStr", "labHrf", "boxHrf", "labNkt", "boxNkt", "labFnt", "txtFnt",
          "btnFnt", "labharf", "boxharf1", "boxharf2", "boxharf3", "boxharf4"}) {
        if (Control<QWidget>(window, name)->isHidden() == m.textControlsVisible())
            unlike << QStringLiteral("%1 %2").arg(QLatin1String(name), m.textControlsVisible()
                                                                           ? QStringLiteral("hidden")
                                                                           : QStringLiteral("shown"));
    }
    return unlike.join(QLatin1Char(' '));
}

} // namespace zrvtest
