#include "Checks.h"

#include "Desktop.h"
#include "Frames.h"
#include "Model.h"
#include "core/SettingsList.h"
#include "exercises/ExerciseWindow.h"
#include "gui/SettingsWindow.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QSet>

#include <cmath>

using zrvtest::Control;

namespace e2e
{

QRgb Colour(int index)
{
    static const QRgb table[10] = {
        qRgb(0, 0, 0),   qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(192, 192, 192), qRgb(255, 0, 0),
        qRgb(0, 0, 255), qRgb(0, 255, 255),   qRgb(0, 0, 192),     qRgb(255, 255, 0),   qRgb(255, 255, 192),
    };
    return index >= 0 && index < 10 ? table[index] : qRgb(0, 0, 0);
}

QByteArray SettingsFile(const QMap<int, QByteArray>& changes)
{
    QList<QByteArray> lines = SettingsList::defaults().lines();
    for (auto it = changes.begin(); it != changes.end(); ++it)
        lines[it.key()] = it.value();
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QString CheckSettingsFile(const QByteArray& written, const QByteArray& expected)
{
    if (written.isEmpty())
        return QStringLiteral("no settings file was written");
    if (!written.endsWith("\r\n"))
        return QStringLiteral("the file does not end with CR LF");
    const QList<QByteArray> lines = written.chopped(2).split('\n');
    if (lines.size() != SettingsList::LineCount)
        return QStringLiteral("%1 lines instead of 41").arg(lines.size());
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (!lines[i].endsWith('\r'))
            return QStringLiteral("line %1 does not end with CR LF").arg(i);
    if (written.count('\r') != SettingsList::LineCount)
        return QStringLiteral("a stray CR in the file");
    const QList<QByteArray> want = expected.chopped(2).split('\n');
    for (int i = 0; i < lines.size() && i < want.size(); ++i)
        if (lines[i] != want[i])
            return QStringLiteral("line %1 is \"%2\", expected \"%3\"")
                .arg(i)
                .arg(QString::fromLatin1(lines[i].chopped(i + 1 < lines.size() ? 1 : 0)),
                     QString::fromLatin1(want[i].chopped(i + 1 < want.size() ? 1 : 0)));
    return {};
}

QString CheckScaled(const QImage& shot, QRect box)
{
    // Black bars around the box.
    const QRegion bars = QRegion(shot.rect()) - box;
    for (const QRect& r : bars)
        if (Count(shot, qRgb(0, 0, 0), r) != r.width() * r.height())
            return QStringLiteral("the bars beside (%1,%2 %3x%4) are not black")
                .arg(box.x())
                .arg(box.y())
                .arg(box.width())
                .arg(box.height());
    // Inside, the exercise's own colours only (background, active, passive, dot): letters and
    // dots drawn at the screen's resolution without blended edges.
    QSet<QRgb> colours;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = box.left(); x <= box.right(); ++x)
            colours.insert(row[x] | 0xFF000000u);
    }
    if (colours.size() > 4)
        return QStringLiteral("%1 colours inside (%2,%3 %4x%5): blended edges")
            .arg(colours.size())
            .arg(box.x())
            .arg(box.y())
            .arg(box.width())
            .arg(box.height());
    return {};
}

TextLayout LayoutOf(Model& model)
{
    auto& screen = dynamic_cast<LetterExercise&>(*model.Screen().currentExercise());
    TextLayout layout;
    const int h = model.LetterHeight();
    for (int k = 1; k <= screen.blocksLaidOut; ++k) {
        const LetterBlock& b = screen.block(k);
        TextLayout::Block block;
        // The exercise font is monospaced: every line of the block is as wide as its letters
        // in "A".
        const int width = model.TextWidth(QString(b.letters, QLatin1Char('A')));
        // Accents of capitals (Ğ, İ) and cedillas (Ç, Ş) may reach a little above or below the
        // lines' boxes.
        const int reach = h / 4;
        block.box = QRect(b.x - width / 2 - 1, b.y - reach, width + 2, b.lines * h + 2 * reach) &
                    QRect(QPoint(0, 0), kFrameSize);
        block.dot = QPoint(b.x, b.y + (b.lines * h) / 2);
        block.letters = b.letters;
        layout.blocks << block;
    }
    for (int i = 1; i <= screen.orderLength; ++i)
        layout.order << screen.showOrder[size_t(i)];
    layout.onlyHighlighted =
        screen.settings().exercise == 1 && Control<QComboBox>(model.Main(), "boxTip")->currentIndex() == 1;
    layout.back = Colour(Control<QComboBox>(model.Main(), "boxZmn")->currentIndex());
    layout.active = Colour(Control<QComboBox>(model.Main(), "boxAkt")->currentIndex());
    layout.passive = Colour(Control<QComboBox>(model.Main(), "boxPas")->currentIndex());
    layout.dot = Colour(Control<QComboBox>(model.Main(), "boxNkt")->currentIndex());
    return layout;
}

QString CheckTextFrame(const QImage& frame, const TextLayout& layout, int* highlighted)
{
    *highlighted = 0;
    // Everything outside the boxes is background.
    QImage inside(kFrameSize, QImage::Format_Mono);
    inside.fill(0);
    for (const auto& block : layout.blocks)
        for (int y = block.box.top(); y <= block.box.bottom(); ++y)
            for (int x = block.box.left(); x <= block.box.right(); ++x)
                inside.setPixel(x, y, 1);
    int stray = 0;
    QPoint firstStray;
    QRect ink;
    qint64 dotX = 0, dotY = 0, dotCount = 0;
    for (int y = 0; y < kFrameSize.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        for (int x = 0; x < kFrameSize.width(); ++x) {
            const QRgb c = row[x] & 0xFFFFFF;
            if (c == (layout.back & 0xFFFFFF))
                continue;
            ink |= QRect(x, y, 1, 1);
            if (!inside.pixelIndex(x, y) && stray++ == 0)
                firstStray = QPoint(x, y);
            if (c == (layout.dot & 0xFFFFFF)) {
                dotX += x;
                dotY += y;
                ++dotCount;
            }
        }
    }
    if (stray)
        return QStringLiteral("%1 pixels outside every letter block, the first at %2,%3")
            .arg(stray)
            .arg(firstStray.x())
            .arg(firstStray.y());

    // The highlighted block: the one whose dot is there.  Blocks laid out at one place
    // ("Tek Satır") are told apart by the width of what is shown.
    if (dotCount) {
        const double cx = double(dotX) / double(dotCount) + 0.5, cy = double(dotY) / double(dotCount) + 0.5;
        int best = 0;
        double bestScore = 1e9;
        for (int i = 0; i < layout.blocks.size(); ++i) {
            const auto& block = layout.blocks[i];
            if (std::abs(block.dot.x() - cx) > 2.0 || std::abs(block.dot.y() - cy) > 2.0)
                continue;
            const double score = layout.onlyHighlighted ? std::abs(ink.width() - block.box.width()) : 0.0;
            if (score < bestScore) {
                bestScore = score;
                best = i + 1;
            }
        }
        if (!best)
            return QStringLiteral("a dot at %1,%2 is not the dot of any block").arg(cx).arg(cy);
        *highlighted = best;
        const QRect box = layout.blocks[best - 1].box;
        if (layout.active != layout.dot && Count(frame, layout.active, box) == 0)
            return QStringLiteral("block %1 has its dot but no active text").arg(best);
    }

    // Passive text in every block that shows it.
    if (!layout.onlyHighlighted) {
        for (int i = 0; i < layout.blocks.size(); ++i) {
            if (i + 1 == *highlighted)
                continue;
            if (Count(frame, layout.passive, layout.blocks[i].box) == 0)
                return QStringLiteral("block %1 shows no passive text").arg(i + 1);
        }
    } else if (!*highlighted && ink.isValid()) {
        return QStringLiteral("text without a highlight in the single-line pyramid");
    }
    return {};
}

HighlightWatch WatchHighlights(const Desktop& desktop, QRect box, const TextLayout& layout, int wanted)
{
    HighlightWatch watch;
    QList<int>& seen = watch.seen;
    int shots = 0, failures = 0;
    QString frameError;
    WaitUntil(
        [&] {
            watch.last = desktop.Shot();
            ++shots;
            QString error = CheckScaled(watch.last, box);
            int highlighted = 0;
            if (error.isEmpty())
                error = CheckTextFrame(FrameOf(watch.last, box), layout, &highlighted);
            if (!error.isEmpty()) {
                frameError = error;
                return ++failures > 2;
            }
            failures = 0;
            if (highlighted && (seen.isEmpty() || seen.last() != highlighted)) {
                seen << highlighted;
                if (seen.size() == 2)
                    watch.moved = watch.last;
            }
            return seen.size() >= wanted;
        },
        20000, 50);
    if (failures > 2) {
        watch.error = frameError;
        return watch;
    }
    if (seen.size() < wanted) {
        watch.error = QStringLiteral("highlights seen: %1 in %2 screenshots").arg(seen.size()).arg(shots);
        return watch;
    }
    const int length = int(layout.order.size());
    for (int i = 1; i < seen.size(); ++i) {
        bool along = false;
        for (int from = 0; from < length; ++from)
            for (int step = 1; step <= 2; ++step)
                along = along || (layout.order[from] == seen[i - 1] &&
                                  layout.order[(from + step) % length] == seen[i]);
        if (!along) {
            watch.error = QStringLiteral("highlight went from block %1 to %2").arg(seen[i - 1]).arg(seen[i]);
            break;
        }
    }
    return watch;
}

} // namespace e2e
