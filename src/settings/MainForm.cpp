#include "settings/MainForm.h"

#include "core/Exceptions.h"
#include "core/Report.h"
#include "display/Clock.h"
#include "exercises/Random.h"
#include "exercises/ScreenForm.h"
#include "settings/FontDialog.h"
#include "settings/Glyphs.h"
#include "settings/LinkLabel.h"
#include "settings/SettingsList.h"
#include "settings/SpinEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

namespace
{

// Sections of the list: the first line of each exercise's section.
constexpr int kPyramid = 1;
constexpr int kBlock = 2;

int SectionFirstLine(int exercise)
{
    return exercise == kPyramid ? SettingsList::PyramidFirstLine : SettingsList::BlockFirstLine;
}

const QStringList& ColourItems()
{
    static const QStringList items{
        QStringLiteral("Siyah"),     QStringLiteral("Beyaz"),    QStringLiteral("Gri"),
        QStringLiteral("Gümüş"),     QStringLiteral("Kırmızı"),  QStringLiteral("Mavi"),
        QStringLiteral("Açık Mavi"), QStringLiteral("Lacivert"), QStringLiteral("Sarı"),
        QStringLiteral("Açık Sarı"),
    };
    return items;
}

const QStringList& LineCountItems()
{
    static const QStringList items{
        QStringLiteral("1 Satır"), QStringLiteral("2 Satır"), QStringLiteral("3 Satır"),
        QStringLiteral("4 Satır"), QStringLiteral("5 Satır"), QStringLiteral("6 Satır"),
    };
    return items;
}

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
    auto* label = new QLabel(text, parent);
    // Labels fit their text: never narrower than the caption needs with the fonts at hand.
    label->setGeometry(left, top, qMax(width, label->sizeHint().width()), height);
    return label;
}

QComboBox* MakeSelector(QWidget* parent, const QStringList& items, int left, int top)
{
    auto* box = new QComboBox(parent);
    box->setEditable(false);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setGeometry(left, top, 145, 24);
    return box;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, int left, int top, int width)
{
    auto* box = new QCheckBox(text, parent);
    box->setGeometry(left, top, width, 17);
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
TLinkLabel* MakeLink(QWidget* parent, const QString& text, int left, int top, int width, int height,
                     bool rightAligned = false)
{
    auto* link = new TLinkLabel(text, parent);
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

void SetIndex(QComboBox* box, int index)
{
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void ReplaceItems(QComboBox* box, const QStringList& items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : TDXForm(parent), m_options(std::make_unique<SettingsList>())
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Zerlivan"));
    setFixedSize(492, 447);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

    FontDialog = new TFontDialog(this);

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(8, 8, 481, 433);
    PageControl->setFont(PixelFont(QStringLiteral("Arial"), 13));
    TabSheet1 = new QWidget;
    TabSheet3 = new QWidget;
    PageControl->addTab(TabSheet1, QStringLiteral("Açıklama"));
    PageControl->addTab(TabSheet3, QStringLiteral("Alıştırmalar"));
    PageControl->setCurrentWidget(TabSheet1);

    CreatePageDescription();
    CreatePageExercises();

    btnClose = new TGlyphButton(QStringLiteral("Çıkış"), this);
    btnClose->setGeometry(414, 4, 75, 25);
    btnClose->setFont(PixelFont(QStringLiteral("Arial"), 13));
    btnClose->setIcon(zrv::CloseGlyph());
    btnClose->setIconSize(QSize(18, 18));
    btnClose->setAutoDefault(false);
    btnClose->raise();

    ConnectEvents();
}

TMainForm::~TMainForm() = default;

const SettingsList& TMainForm::lstOptions2() const
{
    return SettingsList::Defaults();
}

void TMainForm::SetScreenForm(TScreenForm* screenForm)
{
    m_screenForm = screenForm;
}

void TMainForm::CreatePageDescription()
{
    QWidget* page = TabSheet1;
    Memo3 = MakeMemo(
        page,
        {
            QStringLiteral("Bu program hızlı okuma çalışmalarına yardımcı bir programdır."),
            QStringLiteral("Hızlı okuma teknikleri burada anlatılmamaktadır. Kullanıcının bu teknikleri"),
            QStringLiteral("bildiği ve bu programı belirlediği amaçlar doğruntusunda kullandığı kabul "
                           "edilir."),
            QString(),
            QStringLiteral("Eğer kullanıcı bu teknikleri ve neyi niçin çalıştığını bilmiyorsa aşağıdaki"),
            QStringLiteral("kitaplar ve Hızlı Okuma kursları tavsiye edilir."),
        },
        QRect(8, 8, 457, 113));
    Label3 = MakeLabel(page, QStringLiteral("Hızlı Okuma Kitapları:"), 8, 120, 126, 16);
    kitap1 = MakeLink(page, QString::fromUtf8(kBooks[0].caption), 24, 144, 166, 16);
    kitap2 = MakeLink(page, QString::fromUtf8(kBooks[1].caption), 24, 168, 148, 16);
    kitap3 = MakeLink(page, QString::fromUtf8(kBooks[2].caption), 24, 192, 332, 16);
    Label6 = MakeLabel(page, QStringLiteral("Ayrıca:"), 8, 216, 41, 16);
    kitap4 = MakeLink(page, QString::fromUtf8(kBooks[3].caption), 24, 240, 233, 16);
    kitap5 = MakeLink(page, QString::fromUtf8(kBooks[4].caption), 24, 264, 213, 16);
    Memo1 = MakeMemo(
        page,
        {
            QStringLiteral("Bu program ücretsizdir. Kullanımının sorumluluğu tamamen kullanıcıya aittir."),
            QString(),
            QStringLiteral("Windows95 veya üstü işletim sistemi ve DirectX gerektirir."),
        },
        QRect(8, 288, 457, 73));

    Label9 = MakeLabel(page, QString::fromUtf8(kMakerName), 354, 360, 92, 19);
    Label9->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
    Label9->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int nameWidth = Label9->fontMetrics().horizontalAdvance(Label9->text()) + 1;
    if (nameWidth > 92)
        Label9->setGeometry(354 + 92 - nameWidth, 360, nameWidth, 19);

    QFont linkFont = PixelFont(QStringLiteral("Arial"), 13, true);
    link1 = new TLinkLabel(QString::fromUtf8(kMakerCaption), page);
    linkFont.setUnderline(true);
    link1->setFont(linkFont);
    link1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int linkWidth = qMax(138, link1->fontMetrics().horizontalAdvance(link1->text()) + 1);
    link1->setGeometry(308 + 138 - linkWidth, 380, linkWidth, 16);
}

void TMainForm::CreatePageExercises()
{
    QWidget* page = TabSheet3;
    labAls = MakeLabel(page, QStringLiteral("Alıştırma:"), 16, 16, 55, 16);
    boxAls = MakeSelector(page, {QStringLiteral("Nokta"), QStringLiteral("Piramit"), QStringLiteral("Blok")},
                          128, 8);
    labTip = MakeLabel(page, QStringLiteral("Tip:"), 16, 40, 21, 16);
    boxTip = MakeSelector(
        page, {QStringLiteral("Yatay - Yukarıdan Aşağıya"), QStringLiteral("Merkez - Tek Satır")}, 128, 32);
    labYon = MakeLabel(page, QStringLiteral("Yön:"), 16, 64, 27, 16);
    boxYon = MakeSelector(page, LineCountItems(), 128, 56);
    labStr = MakeLabel(page, QStringLiteral("Satır Sayısı:"), 16, 88, 71, 16);
    boxStr = MakeSelector(page, LineCountItems(), 128, 80);
    labHrf = MakeLabel(page, QStringLiteral("Harf Sayısı:"), 16, 112, 67, 16);
    QStringList letters;
    for (int n = 4; n <= 36; ++n)
        letters << QString::number(n);
    boxHrf = MakeSelector(page, letters, 128, 104);
    labZmn = MakeLabel(page, QStringLiteral("Zemin Rengi:"), 16, 136, 76, 16);
    boxZmn = MakeSelector(page, ColourItems(), 128, 128);
    labAkt = MakeLabel(page, QStringLiteral("Aktif Metin Rengi:"), 16, 160, 103, 16);
    boxAkt = MakeSelector(page, ColourItems(), 128, 152);
    labPas = MakeLabel(page, QStringLiteral("Pasif Metin Rengi:"), 16, 184, 106, 16);
    boxPas = MakeSelector(page, ColourItems(), 128, 176);
    labNkt = MakeLabel(page, QStringLiteral("Nokta Rengi:"), 16, 208, 75, 16);
    boxNkt = MakeSelector(page, ColourItems(), 128, 200);
    labHiz = MakeLabel(page, QStringLiteral("Hız:"), 16, 232, 23, 16);
    valHiz = new TSpinEdit(page);
    valHiz->setGeometry(128, 224, 145, 26);
    valHiz->SetRange(40, 2000);
    valHiz->SetText(QStringLiteral("100"));
    Label4 = MakeLabel(page, QStringLiteral("Süre:"), 16, 256, 31, 16);
    boxDkk =
        MakeSelector(page,
                     {QStringLiteral("Sürekli"), QStringLiteral("1 dakika"), QStringLiteral("2 dakika"),
                      QStringLiteral("3 dakika"), QStringLiteral("4 dakika"), QStringLiteral("5 dakika")},
                     128, 248);
    for (QComboBox* box : {boxZmn, boxAkt, boxPas, boxNkt, boxDkk})
        box->setMaxVisibleItems(10);
    labFnt = MakeLabel(page, QStringLiteral("Font:"), 16, 280, 30, 16);
    txtFnt = new QLineEdit(page);
    txtFnt->setGeometry(128, 272, 145, 24);
    txtFnt->setReadOnly(true);
    txtFnt->setEnabled(false);
    btnFnt = new QToolButton(page);
    btnFnt->setGeometry(280, 272, 28, 28);
    btnFnt->setIcon(zrv::FontGlyph());
    btnFnt->setIconSize(QSize(24, 22));
    btnFnt->setFocusPolicy(Qt::NoFocus);
    btnAls = new QPushButton(QStringLiteral("Alıştırma:"), page);
    btnAls->setGeometry(128, 304, 145, 25);
    btnAls->setAutoDefault(false);

    labharf = MakeLabel(page, QStringLiteral("Harf Grupları:"), 280, 8, 76, 16);
    boxharf1 = MakeCheckBox(page, QStringLiteral("Küçük harfler"), 280, 32, 97);
    boxharf1->setChecked(true);
    boxharf2 = MakeCheckBox(page, QStringLiteral("Büyük harfler"), 280, 56, 97);
    boxharf3 = MakeCheckBox(page, QStringLiteral("Sayılar"), 280, 80, 97);
    boxharf4 = MakeCheckBox(page, QStringLiteral("Noktalama işaretleri"), 280, 104, 185);
    boxSaveOptions = MakeCheckBox(page, QStringLiteral("Çıkışta ayarları kaydet"), 280, 313, 161);

    Memo2 = MakeMemo(
        page,
        {
            QStringLiteral("Dikkat: Bu programın kullanımının sorumluluğu tamamen kullanıcıya aittir."),
            QStringLiteral("Buradaki alıştırmaları sürekli olarak çalışmak gözlerinize zarar verebilir."),
            QStringLiteral("Bir çalışmayı bir dakika yapmanız ve sonra gözlerinizi dinlerdirmeniz "
                           "önerilir."),
        },
        QRect(16, 336, 457, 57));

    // The page's keyboard order.
    const QWidget* order[] = {boxSaveOptions, btnAls,   valHiz,   boxZmn,   boxAkt, boxPas, boxTip,
                              boxStr,         boxNkt,   boxYon,   boxHrf,   boxAls, txtFnt, boxDkk,
                              boxharf1,       boxharf2, boxharf3, boxharf4, Memo2};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void TMainForm::ConnectEvents()
{
    connect(boxAls, &QComboBox::activated, this, [this] { boxAlsChange(); });
    for (QComboBox* box : {boxTip, boxYon, boxStr, boxHrf, boxZmn, boxAkt, boxPas, boxNkt, boxDkk})
        connect(box, &QComboBox::activated, this, [this, box] { boxChange(box); });
    connect(valHiz, &TSpinEdit::changed, this, [this] { boxChange(valHiz); });
    for (QCheckBox* box : {boxharf1, boxharf2, boxharf3, boxharf4, boxSaveOptions})
        connect(box, &QCheckBox::toggled, this, [this, box] { boxChange(box); });
    connect(btnFnt, &QToolButton::clicked, this, [this] { btnFntClick(); });
    connect(btnAls, &QPushButton::clicked, this, [this] { btnAlsClick(); });
    for (TLinkLabel* link : {kitap1, kitap2, kitap3, kitap4, kitap5, link1})
        connect(link, &TLinkLabel::clicked, this, [this, link] { kitapClick(link); });
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });

    // Escape presses the exit button, whatever control has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, btnClose, &QPushButton::click);
}

QUrl TMainForm::LinkAddress(const QObject* sender) const
{
    const TLinkLabel* books[] = {kitap1, kitap2, kitap3, kitap4, kitap5};
    for (size_t i = 0; i < std::size(books); ++i) {
        if (sender == books[i])
            return QUrl(kBookstore.arg(QLatin1String(kBooks[i].code)));
    }
    if (sender == link1)
        return QUrl(QString::fromLatin1(kMakerAddress));
    return QUrl();
}

void TMainForm::CenterOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = frameGeometry().size();
    move(area.left() + (area.width() - frame.width()) / 2, area.top() + (area.height() - frame.height()) / 2);
}

void TMainForm::showEvent(QShowEvent* event)
{
    TDXForm::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    CenterOnScreen();
    FormShow();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TMainForm::FormShow()
{
    zrv::Guarded([this] {
        zrv::SetRandSeed(Clock::System().UtcMillisecondOfDay());
        CurrentExercise = 0;
        m_options->Load();
        // The box starts unticked: ticking it stores "1" in line 1 through its click event.
        boxSaveOptions->setChecked(m_options->ReadInt(SettingsList::SaveOptionsLine, 1) == 1);
        SetIndex(boxAls, m_options->ReadInt(SettingsList::ExerciseLine, 0));
        LoadExerciseOptions();
        boxAlsChange();
    });
}

bool TMainForm::FormClose()
{
    bool closeAllowed = false;
    zrv::Guarded([this, &closeAllowed] {
        if (boxSaveOptions->isChecked())
            m_options->Save();
        closeAllowed = true;
    });
    return closeAllowed;
}

void TMainForm::LoadExerciseOptions()
{
    const SettingsList& list = *m_options;
    const int exercise = boxAls->currentIndex();
    if (exercise == 0) {
        SetIndex(boxTip, list.ReadInt(3, 0));
        SetIndex(boxYon, list.ReadInt(4, 0));
        SetIndex(boxZmn, list.ReadInt(5, 0));
        SetIndex(boxAkt, list.ReadInt(6, 0));
        SetIndex(boxPas, list.ReadInt(7, 0));
        valHiz->SetValue(list.ReadInt(8, 400));
        SetIndex(boxDkk, list.ReadInt(9, 0));
        return;
    }
    if (exercise != kPyramid && exercise != kBlock)
        return;

    const int first = SectionFirstLine(exercise);
    SetIndex(boxTip, list.ReadInt(first + SettingsList::TipOffset, 0));
    SetIndex(boxYon, list.ReadInt(first + SettingsList::YonOffset, 0));
    SetIndex(boxStr, list.ReadInt(first + SettingsList::StrOffset, 0));
    SetIndex(boxHrf, list.ReadInt(first + SettingsList::HrfOffset, 0));
    SetIndex(boxZmn, list.ReadInt(first + SettingsList::ZmnOffset, 0));
    SetIndex(boxAkt, list.ReadInt(first + SettingsList::AktOffset, 0));
    SetIndex(boxPas, list.ReadInt(first + SettingsList::PasOffset, 0));
    SetIndex(boxNkt, list.ReadInt(first + SettingsList::NktOffset, 0));
    valHiz->SetValue(list.ReadInt(first + SettingsList::HizOffset, 400));
    SetIndex(boxDkk, list.ReadInt(first + SettingsList::DkkOffset, 0));

    const int nameLine = first + SettingsList::FontNameOffset;
    const int sizeLine = first + SettingsList::FontSizeOffset;
    const int charsetLine = first + SettingsList::FontCharsetOffset;
    txtFnt->setText(list.Text(nameLine) + QStringLiteral(" (") + list.Text(sizeLine) + QLatin1Char(',') +
                    list.Text(charsetLine) + QLatin1Char(')'));
    FontDialog->SetName(list.Text(nameLine));
    FontDialog->SetSize(list.ReadStrictInt(sizeLine));
    FontDialog->SetCharset(list.ReadStrictInt(charsetLine));
    FontDialog->SetStyle(0);
    if (list.ReadStrictInt(first + SettingsList::FontBoldOffset) == 1)
        FontDialog->SetStyle(fsBold);

    // The four positions as the line reads now: ticking a box stores all four again.
    const int groupsLine = first + SettingsList::LetterGroupsOffset;
    bool ticked[4];
    for (int i = 0; i < 4; ++i)
        ticked[i] = list.LetterGroup(groupsLine, i + 1);
    boxharf1->setChecked(ticked[0]);
    boxharf2->setChecked(ticked[1]);
    boxharf3->setChecked(ticked[2]);
    boxharf4->setChecked(ticked[3]);
}

void TMainForm::boxAlsChange()
{
    zrv::Guarded([this] {
        m_options->PutInt(SettingsList::ExerciseLine, boxAls->currentIndex());
        QWidget* const exerciseControls[] = {labYon,   boxYon,   labStr,   boxStr,  labHrf, boxHrf,
                                             labNkt,   boxNkt,   labFnt,   txtFnt,  btnFnt, labharf,
                                             boxharf1, boxharf2, boxharf3, boxharf4};
        for (QWidget* w : exerciseControls)
            w->setVisible(true);
        switch (boxAls->currentIndex()) {
        case 0:
            CurrentExercise = 0;
            btnAls->setText(QStringLiteral("Alıştırma: Nokta"));
            for (QWidget* w : exerciseControls)
                w->setVisible(false);
            ReplaceItems(boxTip,
                         {QStringLiteral("1 2 3 4"), QStringLiteral("1 2 4 3"), QStringLiteral("1 4 2 3"),
                          QStringLiteral("1 2 4 3 5 8 6 7"), QStringLiteral("1 4 2 3 5 6 8 7")});
            LoadExerciseOptions();
            break;
        case kPyramid:
            CurrentExercise = 1;
            btnAls->setText(QStringLiteral("Alıştırma: Piramit"));
            ReplaceItems(boxTip, {QStringLiteral("Üçgen"), QStringLiteral("Tek Satır")});
            ReplaceItems(boxYon, {QStringLiteral("Tek Yön"), QStringLiteral("Çift Yön")});
            LoadExerciseOptions();
            break;
        case kBlock:
            CurrentExercise = 2;
            btnAls->setText(QStringLiteral("Alıştırma: Blok"));
            ReplaceItems(boxTip, {QStringLiteral("Ayrı bloklar"), QStringLiteral("Bitişik bloklar")});
            ReplaceItems(boxYon,
                         {QStringLiteral("Dikey"), QStringLiteral("Yatay"), QStringLiteral("Zigzag")});
            LoadExerciseOptions();
            break;
        default:
            break;
        }
    });
}

void TMainForm::boxChange(QObject* sender)
{
    zrv::Guarded([this, sender] {
        if (sender == boxSaveOptions) {
            m_options->Put(SettingsList::SaveOptionsLine, boxSaveOptions->isChecked() ? "1" : "0");
            return;
        }
        const int exercise = boxAls->currentIndex();
        if (exercise < 0 || exercise > kBlock)
            return;

        // The line of each control: in the Dot section (-1: none) and its place in the Pyramid
        // and Block sections.
        struct Entry {
            QObject* control;
            int dotLine;
            int offset;
        };
        const Entry table[] = {
            {boxTip, 3, SettingsList::TipOffset},
            {boxYon, 4, SettingsList::YonOffset},
            {boxStr, -1, SettingsList::StrOffset},
            {boxHrf, -1, SettingsList::HrfOffset},
            {boxZmn, 5, SettingsList::ZmnOffset},
            {boxAkt, 6, SettingsList::AktOffset},
            {boxPas, 7, SettingsList::PasOffset},
            {boxNkt, -1, SettingsList::NktOffset},
            {valHiz, 8, SettingsList::HizOffset},
            {boxDkk, 9, SettingsList::DkkOffset},
            {boxharf1, -1, SettingsList::LetterGroupsOffset},
            {boxharf2, -1, SettingsList::LetterGroupsOffset},
            {boxharf3, -1, SettingsList::LetterGroupsOffset},
            {boxharf4, -1, SettingsList::LetterGroupsOffset},
        };
        for (const Entry& e : table) {
            if (e.control != sender)
                continue;
            const int line = exercise == 0 ? e.dotLine : SectionFirstLine(exercise) + e.offset;
            if (line < 0)
                return;
            if (e.offset == SettingsList::LetterGroupsOffset) {
                QByteArray groups;
                for (const QCheckBox* box : {boxharf1, boxharf2, boxharf3, boxharf4})
                    groups += box->isChecked() ? '1' : '0';
                m_options->Put(line, groups);
            } else if (sender == valHiz) {
                m_options->PutInt(line, valHiz->Value());
            } else {
                m_options->PutInt(line, static_cast<QComboBox*>(sender)->currentIndex());
            }
            return;
        }
    });
}

void TMainForm::btnFntClick()
{
    zrv::Guarded([this] {
        if (!FontDialog->Execute(this))
            return;
        const TFont& font = FontDialog->Font();
        txtFnt->setText(QStringLiteral("%1 (%2,%3)").arg(font.Name).arg(font.Size).arg(font.Charset & 0xFF));
        const int exercise = boxAls->currentIndex();
        if (exercise != kPyramid && exercise != kBlock)
            return;
        const int first = SectionFirstLine(exercise);
        m_options->PutText(first + SettingsList::FontNameOffset, font.Name);
        m_options->PutInt(first + SettingsList::FontSizeOffset, font.Size);
        m_options->PutInt(first + SettingsList::FontCharsetOffset, font.Charset & 0xFF);
        m_options->Put(first + SettingsList::FontBoldOffset, "0");
        if (font.Style & fsBold)
            m_options->Put(first + SettingsList::FontBoldOffset, "1");
    });
}

void TMainForm::SetContentsEnabled(bool enabled)
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            child->setEnabled(enabled);
    }
}

void TMainForm::btnAlsClick()
{
    zrv::Guarded([this] {
        if ((CurrentExercise == 1 || CurrentExercise == 2) && !boxharf1->isChecked() &&
            !boxharf2->isChecked() && !boxharf3->isChecked() && !boxharf4->isChecked()) {
            zrv::ShowMessage(QStringLiteral("Harf gruplarından en az birini seçiniz."));
            return;
        }
        if (!m_screenForm)
            return;
        m_screenForm->Exercise = CurrentExercise;
        // The settings window stays where it is, greyed, until the exercise window closes.  The
        // keyboard then goes on where it was (greying the controls takes their focus away).
        struct Reenable {
            TMainForm* form;
            QPointer<QWidget> focused;
            ~Reenable()
            {
                form->SetContentsEnabled(true);
                // Back to the settings window, with the keyboard, also where no window manager
                // hands the focus back.
                form->activateWindow();
                form->raise();
                if (focused)
                    focused->setFocus(Qt::OtherFocusReason);
            }
        } reenable{this, focusWidget()};
        SetContentsEnabled(false);
        m_screenForm->ShowModal();
    });
}

void TMainForm::kitapClick(QObject* sender)
{
    zrv::Guarded([this, sender] {
        const QUrl address = LinkAddress(sender);
        if (!address.isValid())
            return;
        // Opened from the event loop, so that the click returns at once; a failure is not
        // reported.
        QMetaObject::invokeMethod(
            this, [address] { QDesktopServices::openUrl(address); }, Qt::QueuedConnection);
    });
}

void TMainForm::btnCloseClick()
{
    zrv::Guarded([this] {
        // When the settings cannot be saved the window stays open and the program goes on.
        if (close())
            QCoreApplication::quit();
    });
}
