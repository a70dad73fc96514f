#include "gui/ReadingPage.h"

#include "exercises/ReadingScreen.h"
#include "gui/EnterStarts.h"
#include "journal/SqliteJournal.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{
// Larger than any text a person reads a piece of at a time: not read whole into memory.
constexpr qint64 kMostOwnTextBytes = 64 << 20;

} // namespace

ReadingPage::ReadingPage(SqliteJournal& journal, QWidget* parent)
    : QWidget(parent), m_journal(journal), m_store(journal)
{
    createWidgets();
}

ReadingPage::~ReadingPage() = default;

QString ReadingPage::passageLanguage()
{
    // Translated with the rest of the program's texts: "en" in its English.
    return tr("tr", "the language of the built-in reading passages");
}

void ReadingPage::createWidgets()
{
    labAbout = new QLabel(tr("Okuma testi, bir metni ne hızda okuduğunuzu ve ne kadar anladığınızı ölçer: "
                             "dakikada okunan kelime, soruların doğru yanıtlanan payı ve ikisinin çarpımı "
                             "olan etkin hız. Metni her zamanki gibi, anlayarak okuyun; sayfayı → ya da "
                             "Boşluk ile çevirin. Metin bitince beş soru gelir, metne geri dönülmez."),
                          this);
    labAbout->setObjectName(QStringLiteral("labAbout"));
    labAbout->setWordWrap(true);
    labResults = new QLabel(this);
    labResults->setObjectName(QStringLiteral("labResults"));
    labResults->setWordWrap(true);
    btnPassage = new QRadioButton(tr("&Hazır metin"), this);
    btnPassage->setObjectName(QStringLiteral("btnPassage"));
    btnPassage->setChecked(true);
    btnOwnText = new QRadioButton(tr("Kendi m&etnim…"), this);
    btnOwnText->setObjectName(QStringLiteral("btnOwnText"));
    auto* group = new QButtonGroup(this);
    group->addButton(btnPassage);
    group->addButton(btnOwnText);
    labText = new QLabel(this);
    labText->setObjectName(QStringLiteral("labText"));
    labText->setWordWrap(true);
    btnReading = new QPushButton(tr("Okuma testini başla&t"), this);
    btnReading->setObjectName(QStringLiteral("btnReading"));
    btnReading->setAutoDefault(true);

    auto* start = new QHBoxLayout;
    start->addStretch(1);
    start->addWidget(btnReading);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(8, 6, 8, 6);
    page->addWidget(labAbout);
    page->addSpacing(6);
    page->addWidget(labResults);
    page->addSpacing(6);
    page->addWidget(btnPassage);
    page->addWidget(btnOwnText);
    page->addWidget(labText);
    page->addStretch(1);
    page->addLayout(start);

    connect(btnPassage, &QRadioButton::clicked, this, [this] { setOwnText({}); });
    connect(btnOwnText, &QRadioButton::clicked, this, &ReadingPage::chooseOwnText);
    connect(btnReading, &QPushButton::clicked, this, &ReadingPage::startRequested);
    m_enter = new EnterStarts(this, [this] {
        if (btnReading->isEnabled())
            emit startRequested();
    });
}

const QList<Passage>& ReadingPage::passages()
{
    if (!m_passages)
        m_passages = zrv::loadPassages(zrv::passagesRoot(), passageLanguage());
    return *m_passages;
}

void ReadingPage::setPassages(QList<Passage> passages)
{
    m_passages = std::move(passages);
    refresh();
}

void ReadingPage::chooseOwnText()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Okunacak metin"), m_ownPath.isEmpty() ? QDir::homePath() : QFileInfo(m_ownPath).path(),
        tr("Metin dosyaları (*.txt);;Tüm dosyalar (*)"));
    if (path.isEmpty() || !setOwnText(path))
        setOwnText(m_ownPath);
}

bool ReadingPage::setOwnText(const QString& path)
{
    QFileInfo info(path);
    if (!path.isEmpty() && (!info.isFile() || !info.isReadable()))
        return false;
    m_ownPath = path.isEmpty() ? QString() : info.absoluteFilePath();
    refresh();
    return true;
}

void ReadingPage::refresh()
{
    const QList<ReadingTest> tests = m_store.tests();
    labResults->setText(zrv::readingSummary(tests, QDateTime::currentDateTime()).join(QLatin1Char('\n')));
    btnOwnText->setChecked(!m_ownPath.isEmpty());
    btnPassage->setChecked(m_ownPath.isEmpty());
    if (!m_ownPath.isEmpty()) {
        labText->setText(tr("%1: sıradaki test dosyanın %2. karakterinden başlar.")
                             .arg(QFileInfo(m_ownPath).fileName())
                             .arg(m_store.placeIn(m_ownPath) + 1));
        return;
    }
    const int next = zrv::nextPassage(passages(), m_store.lastRead());
    labText->setText(next < 0 ? tr("Bu dilde hazır metin bulunamadı.")
                              : tr("Sıradaki metin: %1").arg(passages()[next].title));
}

StageScreen* ReadingPage::makeScreen(QWidget* parent, std::optional<qint64> routineStart_utc_ms)
{
    m_whyNot.clear();
    ReadingMaterial material;
    ReadingTest test;
    test.started = QDateTime::currentDateTime();
    test.routine_utc_ms = routineStart_utc_ms;
    if (m_ownPath.isEmpty()) {
        const int next = zrv::nextPassage(passages(), m_store.lastRead());
        if (next < 0) {
            m_whyNot = tr("Bu dilde hazır metin bulunamadı.");
            return nullptr;
        }
        const Passage& passage = passages()[next];
        material = {passage.title, passage.paragraphs, passage.questions};
        test.language = passage.language();
        test.passage = passage.id;
    } else {
        QFile file(m_ownPath);
        if (file.size() > kMostOwnTextBytes || !file.open(QIODevice::ReadOnly)) {
            m_whyNot = tr("%1 okunamıyor.").arg(m_ownPath);
            return nullptr;
        }
        const QString text = zrv::decodeText(file.readAll());
        const zrv::TextPiece piece = zrv::nextPiece(text, m_store.placeIn(m_ownPath));
        if (piece.words == 0) {
            m_whyNot = tr("%1 dosyasında okunacak kelime yok.").arg(QFileInfo(m_ownPath).fileName());
            return nullptr;
        }
        material.title = QFileInfo(m_ownPath).fileName();
        material.paragraphs = zrv::paragraphsOf(QStringView(text).mid(piece.start, piece.end - piece.start));
        test.language = passageLanguage();
        test.file = m_ownPath;
        test.fileStart = piece.start;
        test.fileEnd = piece.end;
    }
    auto* screen = new ReadingScreen(material, test, nullptr, parent);
    connect(screen, &ReadingScreen::finished, this, [this, screen](const ReadingTest& done) {
        const QList<ReadingTest> earlier = m_store.tests();
        m_store.record(done);
        screen->setResultLines(zrv::readingResultLines(done, earlier));
    });
    connect(screen, &ReadingScreen::givenUp, this,
            [this](const ReadingTest& given) { m_store.record(given); });
    return screen;
}

void ReadingPage::startOnEnterFrom(QWidget* widget)
{
    m_enter->alsoFrom(widget);
}

void ReadingPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}
