#pragma once

#include "core/Font.h"

#include <QObject>
#include <functional>

class QFont;
class QWidget;

// The font chooser of the settings window.  It holds the font that the exercises draw with
// (name, size in points, character set 0..255 and style flags) and lets the user change it in
// Qt's font dialog, with a selector for the character set beside it.
class FontDialog : public QObject
{
    Q_OBJECT
  public:
    explicit FontDialog(QObject* parent = nullptr);

    const FontSpec& font() const { return m_font; }
    void setFont(const FontSpec& font) { m_font = font; }
    void setName(const QString& name) { m_font.name = name; }
    void setSize(int size_pt) { m_font.size = size_pt; }
    void setCharset(int charset) { m_font.charset = charset & 0xFF; }
    void setStyle(int style) { m_font.style = style; }

    // Shows the dialog modally, starting from the current font.  Returns true and keeps the
    // chosen font when the user accepts, false (font unchanged) when the user cancels.
    bool execute(QWidget* parent);

    // Replaces the dialog, for tests: the hook gets the current font to change and returns
    // whether the choice was accepted.  An empty hook restores the dialog.
    using ExecuteHook = std::function<bool(FontSpec& font)>;
    void setExecuteHook(ExecuteHook hook) { m_hook = std::move(hook); }

    // The Qt font a FontSpec stands for, and back (the character set is not part of QFont).
    static QFont toQFont(const FontSpec& font);
    static void fromQFont(const QFont& qfont, FontSpec& font);
    // The name shown for a character set ("Türkçe" for 162), empty when it has none.
    static QString charsetName(int charset);

  private:
    FontSpec m_font;
    ExecuteHook m_hook;
};
