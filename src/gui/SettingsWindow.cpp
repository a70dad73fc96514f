#include "gui/SettingsWindow.h"

#include "core/Random.h"
#include "core/Report.h"
#include "core/SettingsList.h"
#include "core/StepFrames.h"
#include "exercises/ExerciseWindow.h"
#include "exercises/StageScreen.h"
#include "gui/FontDialog.h"
#include "gui/GlyphButton.h"
#include "gui/JournalView.h"
#include "gui/LinkLabel.h"
#include "gui/ProgramPage.h"
#include "gui/ReadingPage.h"
#include "gui/SpinEdit.h"
#include "journal/SqliteJournal.h"
#include "timer/Clock.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace
{

// The speed box's tip: what the number is, in plain words, then what a step of its pace shows
// as on the window's screen.
void showSpeedTip(SpinEdit* box, zrv::Pace pace, const QScreen* screen)
{
    const QString frames = screen ? zrv::speedFramesTip(pace, screen->refreshRate()) : QString();
    const QString plain = QCoreApplication::translate("SettingsWindow", "ms bir adım: küçük sayı daha hızlı");
    box->setToolTip(frames.isEmpty() ? plain : plain + QLatin1Char('\n') + frames);
}

// Escape in the open list of a selector closes the list, and only the list: the list's own
// handling closes it while the key is offered to the window's shortcuts, which then take it as
// well.  Installed on the list after the selector's own filter, so it sees the key first.
class ListEscape : public QObject
{
  public:
    explicit ListEscape(QComboBox* box) : QObject(box), m_box(box) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride && m_box->view()->isVisible() &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
            event->accept(); // a key for the list, not a shortcut
            m_box->hidePopup();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QComboBox* m_box;
};

// A selector whose drop-down list closes alone at Escape.  The list is made the first time it
// opens: the settings window's first appearance does not wait for ten list views.
class SelectorBox : public QComboBox
{
  public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        if (!m_listEscape) {
            m_listEscape = true;
            view()->installEventFilter(new ListEscape(this));
        }
        QComboBox::showPopup();
    }

  private:
    bool m_listEscape = false;
};

// Escape closes the settings window only at a fresh press, never at the repeats of a key held
// down to end an exercise, which reach this window once the exercise window has gone.  Besides
// the repeats the toolkit marks, a press that comes in the same millisecond as a release of the
// key is a repeat too: a window system repeats a key as a release and a press at one time, and
// the pair is not always recognised as one.  Installed on the window, where the key's events
// arrive from whichever control has the focus.
class FreshEscapeOnly : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyRelease && event->type() != QEvent::ShortcutOverride)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape)
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::KeyRelease) {
            m_released_ms = key->timestamp();
            return QObject::eventFilter(watched, event);
        }
        if (key->isAutoRepeat() || (m_released_ms && key->timestamp() - m_released_ms <= 1)) {
            event->accept(); // taken as a key for the control, which ignores it: no shortcut
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    quint64 m_released_ms = 0;
};

// The book pages of the online bookstore and the maker's site.
const QString kBookstore = QStringLiteral("http://www.kitapevi.example/tanim.asp?sid=%1&referer=40417");

struct Link {
    const char* caption; // UTF-8
    const char* code;    // the bookstore's code of the book; empty for the maker's site
};

constexpr Link kBooks[] = {
    {"Hızlı Okuma - Tony Buzan", "K7Q2M9X4T1B8R5W3N6Z0"},
    {"Aklını Kullan - Tony Buzan", "H3V8C1P6L9D2F5J0S7G4"},
    {"10 Günde Hızlı Okuma - Abby Marks Beale", "A9E4Y7U2O5I8Q1W6R3T0"},
    {"Foto Okuma - Paul R. Scheele", "M2N5B8V1C4X7Z0L3K6J9"},
    {"Süper Okuma Sırları - Howard Stephen Berg", "P6O9I2U5Y8T1R4E7W0Q3"},
};
const char* const kMakerName = "Nivoleth";
const char* const kMakerCaption = "www.nivoleth.example";
const char* const kMakerAddress = "http://www.nivoleth.example/";

QFont PixelFont(const QString& family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    // Labels fit their text: never narrower than the caption needs with the fonts at hand.  The
    // '&' before the letter of the label's key takes no room once the label has its control.
    auto* label = new QLabel(QString(text).remove(QLatin1Char('&')), parent);
    label->setGeometry(left, top, qMax(width, label->sizeHint().width()), height);
    label->setText(text);
    return label;
}

// The start button's caption names the exercise; its key is its first letter.
QString WithAccelerator(const QString& caption)
{
    return caption.isEmpty() ? caption : QLatin1Char('&') + caption;
}

QComboBox* MakeSelector(QWidget* parent, const QStringList& items, int left, int top)
{
    auto* box = new SelectorBox(parent);
    box->setEditable(false);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setGeometry(left, top, 145, 24);
    return box;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, int left, int top, int width)
{
    auto* box = new QCheckBox(text, parent);
    // Never narrower than its caption needs, in any language.
    box->setGeometry(left, top, qMax(width, box->sizeHint().width()), 17);
    return box;
}

// A read-only text without border, on the window's face colour.
QPlainTextEdit* MakeMemo(QWidget* parent, const QStringList& lines, const QRect& geometry)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setGeometry(geometry);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setContextMenuPolicy(Qt::NoContextMenu);
    memo->document()->setDocumentMargin(1);
    memo->setFocusPolicy(Qt::StrongFocus);
    // The page shows through: the text lies on the page's own face.
    QPalette pal = memo->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    memo->setPalette(pal);
    memo->viewport()->setAutoFillBackground(false);
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    return memo;
}

// A link label sized to its caption; `rightAligned` keeps its right edge where it is.
LinkLabel* MakeLink(QWidget* parent, const QString& text, int left, int top, int width, int height,
                    bool rightAligned = false)
{
    auto* link = new LinkLabel(text, parent);
    link->setGeometry(left, top, width, height);
    if (rightAligned)
        link->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int fit = link->fontMetrics().horizontalAdvance(text) + 1;
    if (rightAligned)
        link->setGeometry(left + width - fit, top, fit, height);
    else
        link->setGeometry(left, top, fit, height);
    return link;
}

} // namespace

SettingsWindow::SettingsWindow(QWidget* parent, ExercisesPage exercisesPage) : QWidget(parent, Qt::Window)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Zerlivan"));
    setFixedSize(492, 447);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

    FontDialog = new ::FontDialog(this);

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(8, 8, 481, 433);
    PageControl->setFont(PixelFont(QStringLiteral("Arial"), 13));
    pageDescription = new QWidget;
    pageExercises = new QWidget;
    PageControl->addTab(pageDescription, tr("Açıklama"));
    PageControl->addTab(pageExercises, tr("Alıştırmalar"));
    PageControl->setCurrentWidget(pageDescription);

    createPageDescription();

    btnClose = new GlyphButton(tr("Çı&kış"), this);
    btnClose->setGeometry(414, 4, 75, 25);
    btnClose->setFont(PixelFont(QStringLiteral("Arial"), 13));
    btnClose->setIcon(zrv::closeGlyph());
    btnClose->setIconSize(QSize(18, 18));
    // Enter presses it when it has the focus, as Space does.
    btnClose->setAutoDefault(true);
    btnClose->raise();

    nameWidgets();
    connectEvents();
    if (exercisesPage == ExercisesPage::Now)
        buildExercisesPage();
    else
        connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
            if (PageControl->widget(index) == pageExercises)
                buildExercisesPage();
        });
}

void SettingsWindow::buildExercisesPage()
{
    if (boxAls)
        return;
    createPageExercises();
    nameExercisesPage();
    connectExercisesPage();
    // On a page already shown (its tab has just been chosen) the controls are shown as showing
    // the page would have shown them.
    if (pageExercises->isVisible()) {
        for (QWidget* w : pageExercises->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!w->testAttribute(Qt::WA_WState_ExplicitShowHide))
                w->show();
        }
    }
    // The page's controls came into the window's keyboard order after the exit button: they go
    // back, in their own order, between the description page and the exit button.
    QList<QWidget*> controls;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (w->parentWidget() == pageExercises && w->focusPolicy() != Qt::NoFocus)
            controls.append(w);
    }
    QWidget* previous = link1;
    for (QWidget* w : controls) {
        QWidget::setTabOrder(previous, w);
        previous = w;
    }
    if (m_shown) {
        showModel();
        followScreenWithSpeedTip();
    }
}

SettingsWindow::~SettingsWindow() = default;

const SettingsList& SettingsWindow::lstOptions2() const
{
    return SettingsList::defaults();
}

void SettingsWindow::setScreenForm(ExerciseWindow* screenForm)
{
    m_screenForm = screenForm;
    connectJournal();
}

void SettingsWindow::setJournal(SqliteJournal* journal)
{
    m_journal = journal;
    pageJournal = new JournalPage(*journal);
    pageJournal->setObjectName(QStringLiteral("pageJournal"));
    PageControl->addTab(pageJournal, tr("Günlük"));
    // A section whose lines cannot be read (a font line that is not a number) shows its error
    // and has no settings.
    pageProgram = new ProgramPage(journal, [this](int exercise) {
        std::optional<ExerciseSettings> settings;
        zrv::attempt([&] { settings = m_model.runSettingsOf(exercise); });
        return settings;
    });
    pageProgram->setObjectName(QStringLiteral("pageProgram"));
    PageControl->addTab(pageProgram, tr("Program"));
    pageProgram->startOnEnterFrom(PageControl->tabBar());
    connect(pageProgram, &ProgramPage::startRequested, this, [this] { btnProgramClick(); });
    pageReading = new ReadingPage(*journal);
    pageReading->setObjectName(QStringLiteral("pageReading"));
    PageControl->addTab(pageReading, tr("Okuma"));
    pageReading->startOnEnterFrom(PageControl->tabBar());
    connect(pageReading, &ReadingPage::startRequested, this, [this] { btnReadingClick(); });
    connectJournal();
}

void SettingsWindow::setSettingsHeldElsewhere()
{
    buildExercisesPage();
    boxSaveOptions->setChecked(false);
    boxSaveOptions->setEnabled(false);
    boxSaveOptions->setToolTip(tr("Ayarlar başka bir Zerlivan kopyası tarafından kullanılıyor."));
    QTimer::singleShot(0, this, [] {
        zrv::showMessage(tr("Bu dizindeki ayarlar (zrv.opt) başka bir Zerlivan kopyası "
                            "tarafından kullanılıyor.\nBu kopya ayarları kaydetmeden çalışacak."));
    });
}

void SettingsWindow::showProgramPage()
{
    if (pageProgram)
        PageControl->setCurrentWidget(pageProgram);
}

void SettingsWindow::connectJournal()
{
    if (m_screenForm && m_journal)
        connect(m_screenForm, &ExerciseWindow::runEnded, m_journal, &SqliteJournal::record,
                Qt::UniqueConnection);
}

void SettingsWindow::createPageDescription()
{
    QWidget* page = pageDescription;
    memoAbout =
        MakeMemo(page,
                 {
                     tr("Bu program hızlı okuma çalışmalarına yardımcı bir programdır."),
                     // A paragraph a text, broken where its lines end: a translation is one line each,
                     // wrapped to the page.
                     tr("Hızlı okuma teknikleri burada anlatılmamaktadır. Kullanıcının bu teknikleri\n"
                        "bildiği ve bu programı belirlediği amaçlar doğruntusunda kullandığı kabul "
                        "edilir."),
                     QString(),
                     tr("Eğer kullanıcı bu teknikleri ve neyi niçin çalıştığını bilmiyorsa aşağıdaki\n"
                        "kitaplar ve Hızlı Okuma kursları tavsiye edilir."),
                 },
                 QRect(8, 8, 457, 113));
    Label3 = MakeLabel(page, tr("&Hızlı Okuma Kitapları:"), 8, 120, 126, 16);
    kitap1 = MakeLink(page, QString::fromUtf8(kBooks[0].caption), 24, 144, 166, 16);
    kitap2 = MakeLink(page, QString::fromUtf8(kBooks[1].caption), 24, 168, 148, 16);
    kitap3 = MakeLink(page, QString::fromUtf8(kBooks[2].caption), 24, 192, 332, 16);
    Label6 = MakeLabel(page, tr("&Ayrıca:"), 8, 216, 41, 16);
    kitap4 = MakeLink(page, QString::fromUtf8(kBooks[3].caption), 24, 240, 233, 16);
    kitap5 = MakeLink(page, QString::fromUtf8(kBooks[4].caption), 24, 264, 213, 16);
    // A label's key goes to the first link under it.
    Label3->setBuddy(kitap1);
    Label6->setBuddy(kitap4);
    memoTerms =
        MakeMemo(page,
                 {
                     tr("Bu program ücretsizdir. Kullanımının sorumluluğu tamamen kullanıcıya aittir."),
                     QString(),
                     tr("Linux ve X11 ya da Wayland ile çalışan bir masaüstü gerektirir."),
                 },
                 QRect(8, 288, 457, 73));

    Label9 = MakeLabel(page, QString::fromUtf8(kMakerName), 354, 360, 92, 19);
    Label9->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
    Label9->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int nameWidth = Label9->fontMetrics().horizontalAdvance(Label9->text()) + 1;
    if (nameWidth > 92)
        Label9->setGeometry(354 + 92 - nameWidth, 360, nameWidth, 19);

    QFont linkFont = PixelFont(QStringLiteral("Arial"), 13, true);
    link1 = new LinkLabel(QString::fromUtf8(kMakerCaption), page);
    linkFont.setUnderline(true);
    link1->setFont(linkFont);
    link1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int linkWidth = qMax(138, link1->fontMetrics().horizontalAdvance(link1->text()) + 1);
    link1->setGeometry(308 + 138 - linkWidth, 380, linkWidth, 16);
}

void SettingsWindow::createPageExercises()
{
    QWidget* page = pageExercises;
    const SettingsModel& m = m_model;
    // The labelled selectors, a row each, 24 pixels apart.
    const struct {
        QLabel*& label;
        QComboBox*& box;
        QString caption;
        int labelWidth;
        SettingsModel::Selector selector;
    } rows[] = {
        {labAls, boxAls, tr("Alıştır&ma:"), 55, SettingsModel::Exercise},
        {labTip, boxTip, tr("&Tip:"), 21, SettingsModel::Type},
        {labYon, boxYon, tr("&Yön:"), 27, SettingsModel::Direction},
        {labStr, boxStr, tr("Satı&r Sayısı:"), 71, SettingsModel::Lines},
        {labHrf, boxHrf, tr("Har&f Sayısı:"), 67, SettingsModel::Letters},
        {labZmn, boxZmn, tr("&Zemin Rengi:"), 76, SettingsModel::Background},
        {labAkt, boxAkt, tr("Aktif Metin Ren&gi:"), 103, SettingsModel::Active},
        {labPas, boxPas, tr("&Pasif Metin Rengi:"), 106, SettingsModel::Passive},
        {labNkt, boxNkt, tr("&Nokta Rengi:"), 75, SettingsModel::Dot},
    };
    int top = 8;
    for (const auto& row : rows) {
        row.label = MakeLabel(page, row.caption, 16, top + 8, row.labelWidth, 16);
        row.box = MakeSelector(page, m.items(row.selector), 128, top);
        top += 24;
    }
    labHiz = MakeLabel(page, tr("&Hız:"), 16, 232, 23, 16);
    valHiz = new SpinEdit(page);
    valHiz->setGeometry(128, 224, 145, 26);
    valHiz->setRange(zrv::Pace::kMin_ms, zrv::Pace::kMax_ms);
    valHiz->setText(m.paceText());
    labDuration = MakeLabel(page, tr("&Süre:"), 16, 256, 31, 16);
    boxDkk = MakeSelector(page, m.items(SettingsModel::Duration), 128, 248);
    for (QComboBox* box : {boxZmn, boxAkt, boxPas, boxNkt, boxDkk})
        box->setMaxVisibleItems(10);
    labFnt = MakeLabel(page, tr("F&ont:"), 16, 280, 30, 16);
    txtFnt = new QLineEdit(page);
    txtFnt->setGeometry(128, 272, 145, 24);
    txtFnt->setMaxLength(SettingsModel::FontTextMaxLength);
    txtFnt->setReadOnly(true);
    txtFnt->setEnabled(false);
    btnFnt = new QToolButton(page);
    btnFnt->setGeometry(280, 272, 28, 28);
    btnFnt->setIcon(zrv::fontGlyph());
    btnFnt->setIconSize(QSize(24, 22));
    btnFnt->setFocusPolicy(Qt::NoFocus);
    btnAls = new QPushButton(WithAccelerator(m.startCaption()), page);
    btnAls->setGeometry(128, 304, 145, 25);
    btnAls->setAutoDefault(true); // Enter presses it when it has the focus

    labharf = MakeLabel(page, tr("Harf Gr&upları:"), 280, 8, 76, 16);
    boxharf1 = MakeCheckBox(page, tr("Küçük harfl&er"), 280, 32, 97);
    boxharf1->setChecked(m.letterGroup(0));
    boxharf2 = MakeCheckBox(page, tr("&Büyük harfler"), 280, 56, 97);
    boxharf3 = MakeCheckBox(page, tr("Sayı&lar"), 280, 80, 97);
    boxharf4 = MakeCheckBox(page, tr("Noktalama &işaretleri"), 280, 104, 185);
    boxSaveOptions = MakeCheckBox(page, tr("Çıkışta ayarları kay&det"), 280, 313, 161);

    memoWarning =
        MakeMemo(page,
                 {
                     tr("Dikkat: Bu programın kullanımının sorumluluğu tamamen kullanıcıya aittir."),
                     tr("Buradaki alıştırmaları sürekli olarak çalışmak gözlerinize zarar verebilir."),
                     tr("Bir çalışmayı bir dakika yapmanız ve sonra gözlerinizi dinlerdirmeniz "
                        "önerilir."),
                 },
                 QRect(16, 336, 457, 57));

    // Each label names its control, for screen readers ("Hız" for the speed box).
    const std::pair<QLabel*, QWidget*> named[] = {{labAls, boxAls}, {labTip, boxTip},      {labYon, boxYon},
                                                  {labStr, boxStr}, {labHrf, boxHrf},      {labZmn, boxZmn},
                                                  {labAkt, boxAkt}, {labPas, boxPas},      {labNkt, boxNkt},
                                                  {labHiz, valHiz}, {labDuration, boxDkk}, {labFnt, txtFnt}};
    for (const auto& [label, control] : named) {
        label->setBuddy(control);
        QString name = label->text().remove(QLatin1Char('&'));
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        control->setAccessibleName(name);
    }
    btnFnt->setAccessibleName(tr("Font seç"));
    // The font's key opens the font dialog: the box beside the label only shows the font, and
    // the button takes no keyboard focus.
    labFnt->setBuddy(btnFnt);
    labharf->setBuddy(boxharf1);

    // The page's keyboard order.
    const QWidget* order[] = {boxSaveOptions, btnAls,   valHiz,   boxZmn,   boxAkt,     boxPas, boxTip,
                              boxStr,         boxNkt,   boxYon,   boxHrf,   boxAls,     txtFnt, boxDkk,
                              boxharf1,       boxharf2, boxharf3, boxharf4, memoWarning};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

// Each widget's object name is its member's name.
#define ZRV_NAMED(member) std::pair<QObject*, const char*>(member, #member)

namespace
{
void SetNames(std::initializer_list<std::pair<QObject*, const char*>> named)
{
    for (const auto& [object, name] : named)
        object->setObjectName(QLatin1String(name));
}
} // namespace

void SettingsWindow::nameWidgets()
{
    SetNames({
        ZRV_NAMED(PageControl),
        ZRV_NAMED(pageDescription),
        ZRV_NAMED(pageExercises),
        ZRV_NAMED(btnClose),
        ZRV_NAMED(memoAbout),
        ZRV_NAMED(Label3),
        ZRV_NAMED(kitap1),
        ZRV_NAMED(kitap2),
        ZRV_NAMED(kitap3),
        ZRV_NAMED(Label6),
        ZRV_NAMED(kitap4),
        ZRV_NAMED(kitap5),
        ZRV_NAMED(memoTerms),
        ZRV_NAMED(Label9),
        ZRV_NAMED(link1),
        ZRV_NAMED(FontDialog),
    });
}

void SettingsWindow::nameExercisesPage()
{
    SetNames({
        ZRV_NAMED(labAls),      ZRV_NAMED(labTip),   ZRV_NAMED(labYon),         ZRV_NAMED(labStr),
        ZRV_NAMED(labHrf),      ZRV_NAMED(labZmn),   ZRV_NAMED(labAkt),         ZRV_NAMED(labPas),
        ZRV_NAMED(labNkt),      ZRV_NAMED(labHiz),   ZRV_NAMED(labDuration),    ZRV_NAMED(labFnt),
        ZRV_NAMED(labharf),     ZRV_NAMED(boxAls),   ZRV_NAMED(boxTip),         ZRV_NAMED(boxYon),
        ZRV_NAMED(boxStr),      ZRV_NAMED(boxHrf),   ZRV_NAMED(boxZmn),         ZRV_NAMED(boxAkt),
        ZRV_NAMED(boxPas),      ZRV_NAMED(boxNkt),   ZRV_NAMED(boxDkk),         ZRV_NAMED(valHiz),
        ZRV_NAMED(txtFnt),      ZRV_NAMED(btnFnt),   ZRV_NAMED(boxharf1),       ZRV_NAMED(boxharf2),
        ZRV_NAMED(boxharf3),    ZRV_NAMED(boxharf4), ZRV_NAMED(boxSaveOptions), ZRV_NAMED(btnAls),
        ZRV_NAMED(memoWarning),
    });
}

#undef ZRV_NAMED

void SettingsWindow::connectExercisesPage()
{
    connect(boxAls, &QComboBox::activated, this, [this] { boxAlsChange(); });
    for (QComboBox* box : {boxTip, boxYon, boxStr, boxHrf, boxZmn, boxAkt, boxPas, boxNkt, boxDkk})
        connect(box, &QComboBox::activated, this, [this, box] { boxChange(box); });
    connect(valHiz, &SpinEdit::changed, this, [this] {
        if (!m_showingModel)
            boxChange(valHiz);
        showSpeedTip(valHiz, m_model.pace(), screen());
    });
    for (QCheckBox* box : {boxharf1, boxharf2, boxharf3, boxharf4, boxSaveOptions})
        connect(box, &QCheckBox::toggled, this, [this, box] {
            if (!m_showingModel)
                boxChange(box);
        });
    connect(btnFnt, &QToolButton::clicked, this, [this] { btnFntClick(); });
    connect(btnAls, &QPushButton::clicked, this, [this] { btnAlsClick(); });
}

void SettingsWindow::connectEvents()
{
    for (LinkLabel* link : {kitap1, kitap2, kitap3, kitap4, kitap5, link1})
        connect(link, &LinkLabel::clicked, this, [this, link] { kitapClick(link); });
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });

    // Escape presses the exit button, whatever control has the focus; with a drop-down list
    // open it closes only the list.  Only a fresh press counts: the repeats of an Escape held
    // down to end an exercise reach this window once the exercise has ended.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    escape->setAutoRepeat(false);
    connect(escape, &QShortcut::activated, btnClose, &QPushButton::click);
    installEventFilter(new FreshEscapeOnly(this));

    // Ctrl+Tab and Ctrl+PgDn change pages whatever control has the focus (a drop-down list
    // takes Ctrl+PgDn as a move in its list), as the tabs do; Ctrl+Shift+Tab and Ctrl+PgUp back.
    const std::pair<QKeySequence, int> pageKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto& [keys, by] : pageKeys) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, by = by] {
            const int pages = PageControl->count();
            PageControl->setCurrentIndex((PageControl->currentIndex() + by + pages) % pages);
        });
    }
}

QUrl SettingsWindow::linkAddress(const QObject* sender) const
{
    const LinkLabel* books[] = {kitap1, kitap2, kitap3, kitap4, kitap5};
    for (size_t i = 0; i < std::size(books); ++i) {
        if (sender == books[i])
            return QUrl(kBookstore.arg(QLatin1String(kBooks[i].code)));
    }
    if (sender == link1)
        return QUrl(QString::fromLatin1(kMakerAddress));
    return QUrl();
}

void SettingsWindow::centerOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = frameGeometry().size();
    // On a screen smaller than the window its top left corner stays on the screen, with the
    // title bar and the tabs, and the rest runs off to the right and below.
    move(area.left() + qMax(0, (area.width() - frame.width()) / 2),
         area.top() + qMax(0, (area.height() - frame.height()) / 2));
}

void SettingsWindow::followScreenWithSpeedTip()
{
    if (!valHiz)
        return;
    showSpeedTip(valHiz, m_model.pace(), screen());
    if (QWindow* window = windowHandle()) {
        disconnect(window, &QWindow::screenChanged, valHiz, nullptr);
        connect(window, &QWindow::screenChanged, valHiz,
                [this](QScreen* screen) { showSpeedTip(valHiz, m_model.pace(), screen); });
    }
}

void SettingsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    followScreenWithSpeedTip();
    if (m_shown)
        return;
    m_shown = true;
    centerOnScreen();
    FormShow();
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

std::array<std::pair<QComboBox*, SettingsModel::Selector>, SettingsModel::SelectorCount>
SettingsWindow::selectors() const
{
    return {{
        {boxAls, SettingsModel::Exercise},
        {boxTip, SettingsModel::Type},
        {boxYon, SettingsModel::Direction},
        {boxStr, SettingsModel::Lines},
        {boxHrf, SettingsModel::Letters},
        {boxZmn, SettingsModel::Background},
        {boxAkt, SettingsModel::Active},
        {boxPas, SettingsModel::Passive},
        {boxNkt, SettingsModel::Dot},
        {boxDkk, SettingsModel::Duration},
    }};
}

void SettingsWindow::change(const std::function<void()>& handler)
{
    zrv::attempt(handler);
    showModel();
}

void SettingsWindow::showModel()
{
    if (!boxAls) // the exercises page is still to be built
        return;
    const SettingsModel& m = m_model;
    m_showingModel = true;
    for (const auto& [box, selector] : selectors()) {
        const QStringList& items = m.items(selector);
        bool same = box->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i)
            same = box->itemText(i) == items[i];
        if (!same) {
            box->clear();
            box->addItems(items);
        }
        box->setCurrentIndex(m.index(selector));
    }
    valHiz->setText(m.paceText());
    if (txtFnt->text() != m.fontText())
        txtFnt->setText(m.fontText());
    FontDialog->setFont(m.font());
    QCheckBox* const groups[] = {boxharf1, boxharf2, boxharf3, boxharf4};
    for (int i = 0; i < 4; ++i)
        groups[i]->setChecked(m.letterGroup(i));
    boxSaveOptions->setChecked(m.saveOptions());
    btnAls->setText(WithAccelerator(m.startCaption()));
    QWidget* const textControls[] = {labYon, boxYon, labStr, labharf, boxStr,   labHrf,   boxHrf,   labNkt,
                                     boxNkt, labFnt, txtFnt, btnFnt,  boxharf1, boxharf2, boxharf3, boxharf4};
    for (QWidget* w : textControls) {
        if (w->isHidden() == m.textControlsVisible())
            w->setVisible(m.textControlsVisible());
    }
    m_showingModel = false;
}

void SettingsWindow::FormShow()
{
    change([this] {
        zrv::setRandSeed(Clock::system().utcMillisecondOfDay());
        m_model.loadAndShow();
    });
}

bool SettingsWindow::FormClose()
{
    return zrv::attempt([this] { m_model.saveIfChosen(); });
}

void SettingsWindow::boxAlsChange()
{
    change([this] { m_model.selectExercise(boxAls->currentIndex()); });
}

void SettingsWindow::boxChange(QObject* sender)
{
    change([this, sender] {
        for (const auto& [box, selector] : selectors()) {
            if (sender == box)
                m_model.select(selector, box->currentIndex());
        }
        if (sender == valHiz)
            m_model.setPaceText(valHiz->text());
        const QCheckBox* const groups[] = {boxharf1, boxharf2, boxharf3, boxharf4};
        for (int i = 0; i < 4; ++i) {
            if (sender == groups[i])
                m_model.setLetterGroup(i, groups[i]->isChecked());
        }
        if (sender == boxSaveOptions)
            m_model.setSaveOptions(boxSaveOptions->isChecked());
    });
}

void SettingsWindow::btnFntClick()
{
    change([this] {
        FontDialog->setFont(m_model.font());
        if (FontDialog->execute(this))
            m_model.setFont(FontDialog->font());
    });
}

void SettingsWindow::setContentsEnabled(bool enabled)
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            child->setEnabled(enabled);
    }
}

void SettingsWindow::btnAlsClick()
{
    if (!m_model.canStart()) {
        zrv::showMessage(tr("Harf gruplarından en az birini seçiniz."));
        return;
    }
    if (!m_screenForm)
        return;
    // The controls cannot change while the exercise window is shown.
    m_screenForm->setSettings(m_model.runSettings());
    m_screenForm->setRoutine({});
    runExerciseWindow();
}

void SettingsWindow::btnProgramClick()
{
    if (!m_screenForm || !pageProgram)
        return;
    QString why;
    // A reading step is marked with the routine's start as its exercises are.
    pageProgram->setReadingStage([this](QWidget* parent) {
        return pageReading->makeScreen(parent, m_screenForm->routineStart_utc_ms());
    });
    QList<RoutineStage> stages = pageProgram->stages(&why);
    if (stages.isEmpty()) {
        if (!why.isEmpty())
            zrv::showMessage(why);
        return;
    }
    m_screenForm->setRoutine(std::move(stages));
    const QMetaObject::Connection summary =
        connect(m_screenForm, &ExerciseWindow::routineEnded, this, [this](qint64 start_utc_ms) {
            m_screenForm->showSummary(pageProgram->summaryOf(start_utc_ms));
        });
    runExerciseWindow();
    disconnect(summary);
    m_screenForm->setRoutine({});
    pageProgram->refresh();
    pageReading->refresh();
}

void SettingsWindow::btnReadingClick()
{
    if (!m_screenForm || !pageReading)
        return;
    // Made here rather than when the window shows it: a text that cannot be read is said now.
    StageScreen* screen = pageReading->makeScreen(m_screenForm, std::nullopt);
    if (!screen) {
        zrv::showMessage(pageReading->whyNot());
        return;
    }
    const QPointer<StageScreen> made(screen);
    RoutineStage stage;
    stage.screen = [screen](QWidget*) { return screen; };
    m_screenForm->setRoutine({stage});
    runExerciseWindow();
    m_screenForm->setRoutine({});
    if (made) // never shown, or on its way out
        made->deleteLater();
    pageReading->refresh();
}

void SettingsWindow::runExerciseWindow()
{
    // The settings window stays where it is, greyed, until the exercise window closes.  The
    // keyboard then goes on where it was (greying the controls takes their focus away).
    struct Reenable {
        SettingsWindow* form;
        QPointer<QWidget> focused;
        ~Reenable()
        {
            form->setContentsEnabled(true);
            // Back to the settings window, with the keyboard, also where no window manager
            // hands the focus back.
            form->activateWindow();
            form->raise();
            if (focused)
                focused->setFocus(Qt::OtherFocusReason);
        }
    } reenable{this, focusWidget()};
    setContentsEnabled(false);
    m_screenForm->showModal();
}

void SettingsWindow::kitapClick(QObject* sender)
{
    const QUrl address = linkAddress(sender);
    if (!address.isValid())
        return;
    // Opened from the event loop, so that the click returns at once; a failure is not
    // reported.
    QMetaObject::invokeMethod(
        this, [address] { QDesktopServices::openUrl(address); }, Qt::QueuedConnection);
}

void SettingsWindow::btnCloseClick()
{
    // When the settings cannot be saved the window stays open and the program goes on.
    if (close())
        QCoreApplication::quit();
}
