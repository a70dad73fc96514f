// Shows the drawing surface on the real screen: a frame with the dots, letter blocks and text
// of the exercises, full-screen, scaled with bars, the active dot moving every 300 ms.
// Escape ends it; so does --seconds N.

#include "core/Report.h"
#include "display/ExerciseDisplay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

namespace
{
constexpr ColorValue kBack = rgbColor(0, 0, 192);
constexpr ColorValue kPassive = rgbColor(192, 192, 192);
constexpr ColorValue kActive = rgbColor(255, 0, 0);
constexpr ColorValue kText = rgbColor(255, 255, 255);
constexpr ColorValue kYellow = rgbColor(255, 255, 0);
constexpr std::array<int, 4> kColumns{32, 192, 448, 608};
constexpr std::array<int, 4> kRows{24, 144, 336, 456};

class DemoForm : public QWidget
{
  public:
    DemoForm() : QWidget(nullptr, Qt::Window)
    {
        setWindowTitle(QStringLiteral("zrv"));
        setWindowFlag(Qt::FramelessWindowHint);
        resize(640, 480);
        m_display = new ExerciseDisplay(this);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_display);
        m_display->setCursor(Qt::BlankCursor);
        connect(m_display, &ExerciseDisplay::initialized, this, [this] { m_step.start(300); });
        connect(m_display, &ExerciseDisplay::finalized, this, [this] { m_step.stop(); });
        // Another screen or resolution: the frame again (the dots start over).
        connect(m_display, &ExerciseDisplay::surfaceRemade, this,
                [this] { zrv::attempt([this] { drawFirstFrame(); }); });
        connect(&m_step, &QTimer::timeout, this, [this] { zrv::attempt([this] { step(); }); });
    }

  protected:
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        if (!event->spontaneous())
            zrv::attempt([this] {
                m_display->initialize();
                drawFirstFrame();
            });
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            close();
    }
    void closeEvent(QCloseEvent*) override { m_display->finalize(); }

  private:
    void dot(int x, int y, ColorValue c)
    {
        auto* cv = m_display->surface()->canvas();
        cv->brush.color = c;
        cv->pen.color = c;
        cv->brush.style = bsSolid;
        cv->ellipse(x - 10, y - 10, x + 10, y + 10);
    }

    void drawFirstFrame()
    {
        auto* cv = m_display->surface()->canvas();
        cv->brush.color = kBack;
        cv->pen.color = kBack;
        cv->brush.style = bsSolid;
        cv->rectangle(0, 0, 640, 480);
        cv->brush.style = bsClear;
        cv->pen.color = kYellow;
        cv->rectangle(0, 0, 640, 480); // the frame's edge, to see where it ends
        for (int c : kColumns)
            for (int r : kRows)
                dot(c, r, kPassive);
        cv->font.name = QStringLiteral("DejaVu Sans Mono");
        cv->font.size = 14;
        cv->font.style = fsBold;
        const QStringList lines{QStringLiteral("ab"), QStringLiteral("çdeğ"), QStringLiteral("fıjkıö"),
                                QStringLiteral("lmnoprsş"), QStringLiteral("tuüvyzABÇD")};
        int y = 170;
        for (int i = 0; i < lines.size(); ++i) {
            const bool active = i == 2;
            const int w = cv->textWidth(lines[i]);
            const int h = cv->textHeight(lines[i]);
            cv->brush.color = kBack;
            cv->brush.style = bsSolid;
            cv->font.color = active ? kText : kPassive;
            if (active) {
                cv->brush.color = cv->pen.color = kYellow;
                cv->ellipse(320 - h / 4, y + h / 2 - h / 4, 320 + h / 4, y + h / 2 + h / 4);
                cv->brush.style = bsClear;
            }
            cv->textOut(320 - w / 2, y, lines[i]);
            y += h;
        }
        cv->font.name = QStringLiteral("DejaVu Serif");
        cv->font.size = 11;
        cv->font.style = fsItalic;
        cv->font.color = kYellow;
        cv->brush.style = bsClear;
        cv->textOut(200, 400, QStringLiteral("640 × 480 — Nokta, Piramit, Blok"));
        m_display->present();
    }

    void step()
    {
        if (!m_display->canDraw())
            return;
        dot(kColumns[m_at % 4], kRows[m_at / 4 % 4], kPassive);
        m_at = (m_at + 5) % 16;
        dot(kColumns[m_at % 4], kRows[m_at / 4 % 4], kActive);
        m_display->present();
    }

    ExerciseDisplay* m_display;
    QTimer m_step;
    int m_at = 0;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = int(args.indexOf(QStringLiteral("--seconds")));
    if (at > 0 && at + 1 < args.size())
        QTimer::singleShot(args[at + 1].toInt() * 1000, &app, &QApplication::quit);

    // A stand-in for the settings window, whose screen the exercise takes.
    QWidget settings(nullptr, Qt::Window);
    settings.setWindowTitle(QStringLiteral("Nivoleth"));
    auto* label = new QLabel(QStringLiteral("Ayarlar"), &settings);
    label->move(20, 20);
    settings.resize(300, 200);
    settings.show();

    DemoForm screen;
    QTimer::singleShot(200, &screen, [&screen] { screen.show(); });
    return app.exec();
}
