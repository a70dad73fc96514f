<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Colors</name>
    <message>
        <source>Siyah</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Beyaz</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Gri</source>
        <translation>Gray</translation>
    </message>
    <message>
        <source>Gümüş</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>Kırmızı</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Mavi</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Açık Mavi</source>
        <translation>Light blue</translation>
    </message>
    <message>
        <source>Lacivert</source>
        <translation>Navy blue</translation>
    </message>
    <message>
        <source>Sarı</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Açık Sarı</source>
        <translation>Light yellow</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>zerlivan: ekran yok: DISPLAY ve WAYLAND_DISPLAY boş; program bir masaüstü oturumunda çalışır.
</source>
        <translation>zerlivan: no display: DISPLAY and WAYLAND_DISPLAY are empty; the program runs in a desktop session.
</translation>
    </message>
    <message>
        <source>zerlivan: ekrana bağlanılamadı (DISPLAY=%1, WAYLAND_DISPLAY=%2%3).
</source>
        <translation>zerlivan: cannot connect to the display (DISPLAY=%1, WAYLAND_DISPLAY=%2%3).
</translation>
    </message>
    <message>
        <source>zerlivan: %1
Seçenekler için: zerlivan --help
</source>
        <translation>zerlivan: %1
For the options: zerlivan --help
</translation>
    </message>
    <message>
        <source>bilinmeyen seçenek &apos;%1&apos;</source>
        <translation>unknown option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>komut satırı okunamadı (%1)</source>
        <translation>the command line cannot be read (%1)</translation>
    </message>
    <message>
        <source>beklenmeyen argüman &apos;%1&apos;</source>
        <translation>unexpected argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Kullanım: zerlivan [seçenekler]
Hızlı okuma için göz alıştırmaları: nokta, piramit ve blok.
Ayarlar, programın başlatıldığı dizindeki zrv.opt dosyasında tutulur.

Seçenekler:
  -h, --help     Bu yardımı gösterir.
  -v, --version  Sürümü gösterir.
  --page program Pencereyi Program sayfasında açar.
  --remind       Pencere açmadan, günün hedefi tutmadıysa bir masaüstü
                 bildirimi gönderir (oturum açılışında başlatılır).

Qt&apos;nin kendi seçenekleri de (-platform, -style, -display, ...) geçerlidir.
</source>
        <translation>Usage: zerlivan [options]
Eye exercises for speed reading: dot, pyramid and block.
The settings are kept in the file zrv.opt in the directory the program is started from.

Options:
  -h, --help     Shows this help.
  -v, --version  Shows the version.
  --page program Opens the window on the Program page.
  --remind       Opens no window; sends a desktop notification when the day&apos;s
                 goal is not met yet (started when the session begins).

Qt&apos;s own options (-platform, -style, -display, ...) are accepted as well.
</translation>
    </message>
    <message>
        <source>bilinmeyen sayfa &apos;%1&apos;</source>
        <translation>unknown page &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>ExerciseWindow</name>
    <message>
        <source>Duraklatıldı — devam etmek için Boşluk, bitirmek için Esc</source>
        <translation>Paused — Space to continue, Esc to finish</translation>
    </message>
    <message>
        <source> · kalan %1:%2</source>
        <translation> · %1:%2 left</translation>
    </message>
</context>
<context>
    <name>FontDialog</name>
    <message>
        <source>Batı</source>
        <translation>Western</translation>
    </message>
    <message>
        <source>Varsayılan</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Simge</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>Japonca</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>Korece (Hangul)</source>
        <translation>Korean (Hangul)</translation>
    </message>
    <message>
        <source>Korece (Johab)</source>
        <translation>Korean (Johab)</translation>
    </message>
    <message>
        <source>Çince (Basitleştirilmiş)</source>
        <translation>Chinese (Simplified)</translation>
    </message>
    <message>
        <source>Çince (Geleneksel)</source>
        <translation>Chinese (Traditional)</translation>
    </message>
    <message>
        <source>Yunanca</source>
        <translation>Greek</translation>
    </message>
    <message>
        <source>Türkçe</source>
        <translation>Turkish</translation>
    </message>
    <message>
        <source>Vietnamca</source>
        <translation>Vietnamese</translation>
    </message>
    <message>
        <source>İbranice</source>
        <translation>Hebrew</translation>
    </message>
    <message>
        <source>Arapça</source>
        <translation>Arabic</translation>
    </message>
    <message>
        <source>Baltık</source>
        <translation>Baltic</translation>
    </message>
    <message>
        <source>Kiril</source>
        <translation>Cyrillic</translation>
    </message>
    <message>
        <source>Tayca</source>
        <translation>Thai</translation>
    </message>
    <message>
        <source>Orta Avrupa</source>
        <translation>Central European</translation>
    </message>
    <message>
        <source>Yazı Tipi</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Karakter seti:</source>
        <translation>Character set:</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 yüklü değil, yerine %2 kullanılıyor (%1 → %2).</source>
        <translation>%1 is not installed; %2 is used in its place (%1 → %2).</translation>
    </message>
</context>
<context>
    <name>JournalChart</name>
    <message>
        <source>%1 sa %2 dk</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 dk %2 sn</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>tr_TR</source>
        <comment>locale of the day names</comment>
        <translation>en_US</translation>
    </message>
    <message>
        <source>d MMMM yyyy, dddd</source>
        <translation>dddd, MMMM d, yyyy</translation>
    </message>
    <message>
        <source>
Çalışılan: </source>
        <translation>
Trained: </translation>
    </message>
    <message>
        <source>
Bitiş: </source>
        <translation>
End: </translation>
    </message>
    <message>
        <source>
Program bir süre etkin değildi.</source>
        <translation>
The program was inactive for a while.</translation>
    </message>
    <message>
        <source>%1: son %2 günde çalışma yok</source>
        <translation>%1: no runs in the last %2 days</translation>
    </message>
    <message>
        <source>%1, son %2 gün: her nokta bir çalışma</source>
        <translation>%1, last %2 days: each point is a run</translation>
    </message>
    <message>
        <source>%1, son %2 gün: her nokta bir çalışma, çizgi her günün en hızlı çalışması</source>
        <translation>%1, last %2 days: each point is a run, the line is each day&apos;s fastest run</translation>
    </message>
    <message>
        <source>ms  ↑ daha hızlı</source>
        <translation>ms  ↑ faster</translation>
    </message>
    <message>
        <source>Hız (ms)  ↑ daha hızlı</source>
        <translation>Speed (ms)  ↑ faster</translation>
    </message>
    <message>
        <source>Dakika/gün</source>
        <translation>Minutes/day</translation>
    </message>
    <message>
        <source>Sayılan okuma testi yok</source>
        <translation>No reading test that counts</translation>
    </message>
    <message>
        <source>Okuma testleri</source>
        <translation>Reading tests</translation>
    </message>
    <message>
        <source>Okuma testleri: çubuklar kelime/dk ve anlama, çizgi etkin hız</source>
        <translation>Reading tests: bars words/min and comprehension, line effective rate</translation>
    </message>
    <message>
        <source>Kelime/dk</source>
        <translation>Words/min</translation>
    </message>
    <message>
        <source>Anlama (%)</source>
        <translation>Comprehension (%)</translation>
    </message>
    <message>
        <source>Etkin hız</source>
        <translation>Effective rate</translation>
    </message>
    <message numerus="yes">
        <source>%1, %2: %n çalışma, %3</source>
        <translation>
            <numerusform>%1, %2: %n run, %3</numerusform>
            <numerusform>%1, %2: %n runs, %3</numerusform>
        </translation>
    </message>
    <message>
        <source>dd.MM</source>
        <comment>day and month</comment>
        <translation>MM/dd</translation>
    </message>
    <message numerus="yes">
        <source>
%n çalışma, </source>
        <translation>
            <numerusform>
%n run, </numerusform>
            <numerusform>
%n runs, </numerusform>
        </translation>
    </message>
</context>
<context>
    <name>JournalFigures</name>
    <message>
        <source>%1 sa %2 dk</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 dk %2 sn</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>Nokta</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>Piramit</source>
        <translation>Pyramid</translation>
    </message>
    <message>
        <source>Blok</source>
        <translation>Block</translation>
    </message>
    <message>
        <source>Üçgen</source>
        <translation>Triangle</translation>
    </message>
    <message>
        <source>Tek Satır</source>
        <translation>Single line</translation>
    </message>
    <message>
        <source>Ayrı bloklar</source>
        <translation>Separate blocks</translation>
    </message>
    <message>
        <source>Bitişik bloklar</source>
        <translation>Adjoining blocks</translation>
    </message>
    <message>
        <source>Tek Yön</source>
        <translation>One way</translation>
    </message>
    <message>
        <source>Çift Yön</source>
        <translation>Both ways</translation>
    </message>
    <message>
        <source>Dikey</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>Yatay</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>Zigzag</source>
        <translation>Zigzag</translation>
    </message>
    <message>
        <source>Süre doldu</source>
        <translation>Time was up</translation>
    </message>
    <message>
        <source>Ekran kullanılamadı</source>
        <translation>Display unavailable</translation>
    </message>
    <message>
        <source>Program kapatıldı</source>
        <translation>Program closed</translation>
    </message>
    <message>
        <source>Esc ile bitirildi</source>
        <translation>Ended with Esc</translation>
    </message>
    <message numerus="yes">
        <source>%n dakika</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>Sürekli</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>Başlangıç</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Alıştırma</source>
        <translation>Exercise</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Yön</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>Satır</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>Harf</source>
        <translation>Letters</translation>
    </message>
    <message>
        <source>Zemin Rengi</source>
        <translation>Background Color</translation>
    </message>
    <message>
        <source>Aktif Metin Rengi</source>
        <translation>Active Text Color</translation>
    </message>
    <message>
        <source>Pasif Metin Rengi</source>
        <translation>Passive Text Color</translation>
    </message>
    <message>
        <source>Nokta Rengi</source>
        <translation>Dot Color</translation>
    </message>
    <message>
        <source>Hız (ms)</source>
        <translation>Speed (ms)</translation>
    </message>
    <message>
        <source>Süre</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Çalışılan (sn)</source>
        <translation>Trained (s)</translation>
    </message>
    <message>
        <source>Adım</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>Bitiş</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Arada Etkin Değildi</source>
        <translation>Inactive for a While</translation>
    </message>
    <message>
        <source>Gerçek (ms)</source>
        <translation>Actual (ms)</translation>
    </message>
    <message>
        <source>Geç Adım</source>
        <translation>Late Steps</translation>
    </message>
    <message>
        <source>En Geç (ms)</source>
        <translation>Latest (ms)</translation>
    </message>
    <message>
        <source>Kayıp Adım</source>
        <translation>Lost Steps</translation>
    </message>
    <message>
        <source>Ekran (Hz)</source>
        <translation>Display (Hz)</translation>
    </message>
    <message>
        <source>evet</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>hayır</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Ekran %1 Hz: %2</source>
        <translation>Display %1 Hz: %2</translation>
    </message>
    <message>
        <source>Geç kalan adım: %1</source>
        <translation>Late steps: %1</translation>
    </message>
    <message>
        <source> (en çok %1 ms)</source>
        <translation> (at most %1 ms)</translation>
    </message>
    <message>
        <source>, kaybolan adım: %1</source>
        <translation>, lost steps: %1</translation>
    </message>
</context>
<context>
    <name>JournalView</name>
    <message>
        <source>Seçili çalışmaları sil...</source>
        <translation>Delete the selected runs...</translation>
    </message>
    <message>
        <source>&amp;Grafik:</source>
        <translation>&amp;Chart:</translation>
    </message>
    <message>
        <source>&amp;CSV olarak kaydet...</source>
        <translation>Save as C&amp;SV...</translation>
    </message>
    <message>
        <source>&amp;Büyük pencere</source>
        <translation>&amp;Large window</translation>
    </message>
    <message>
        <source>%1 tarihli çalışma günlükten silinsin mi?</source>
        <translation>Delete the run of %1 from the journal?</translation>
    </message>
    <message>
        <source>Çalışmalar silinemedi: günlük dosyasına şu an yazılamıyor.</source>
        <translation>The runs could not be deleted: the journal file cannot be written to at the moment.</translation>
    </message>
    <message>
        <source>Günlük dosyası bozuktu: &quot;%1&quot; adıyla bir kenara kondu, yeni bir günlük başlatıldı.</source>
        <translation>The journal file was damaged: it was put aside as &quot;%1&quot; and a new journal was started.</translation>
    </message>
    <message>
        <source>Günlük dosyasına yazılamıyor (salt okunur): yeni çalışmalar yalnızca program açıkken tutuluyor.</source>
        <translation>The journal file cannot be written to (read-only): new runs are kept only while the program is open.</translation>
    </message>
    <message>
        <source>Günlük dosyası başka bir Zerlivan tarafından kullanılıyor: yeni çalışmalar, dosya serbest kalınca kaydedilecek.</source>
        <translation>The journal file is in use by another Zerlivan: new runs will be saved once the file is free.</translation>
    </message>
    <message>
        <source>Günlük dosyası programın daha yeni bir sürümüne ait: okunuyor, değiştirilmiyor.</source>
        <translation>The journal file belongs to a newer version of the program: it is read, not changed.</translation>
    </message>
    <message>
        <source>Günlük açılamadı: yeni çalışmalar yalnızca program açıkken tutuluyor.</source>
        <translation>The journal could not be opened: new runs are kept only while the program is open.</translation>
    </message>
    <message>
        <source> Kaydedilmeyi bekleyen çalışma: %1.</source>
        <translation> Runs waiting to be saved: %1.</translation>
    </message>
    <message>
        <source>Bugün</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>Bu hafta</source>
        <translation>This week</translation>
    </message>
    <message>
        <source>Son 30 gün</source>
        <translation>Last 30 days</translation>
    </message>
    <message>
        <source>Günlüğü CSV olarak kaydet</source>
        <translation>Save the journal as CSV</translation>
    </message>
    <message>
        <source>zerlivan-gunluk.csv</source>
        <translation>zerlivan-journal.csv</translation>
    </message>
    <message>
        <source>CSV dosyaları (*.csv);;Tüm dosyalar (*)</source>
        <translation>CSV files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Kaydedildi: %1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>normal bir dosya değil</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>&quot;%1&quot; dosyasına yazılamadı: %2</source>
        <translation>Could not write to &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Zerlivan - Günlük</source>
        <translation>Zerlivan - Journal</translation>
    </message>
    <message>
        <source>Programda %1, haftalık en hızlı: %2</source>
        <translation>Routine, %1, fastest week by week: %2</translation>
    </message>
    <message>
        <source>Grafik gösterilemiyor: %1</source>
        <translation>The chart cannot be shown: %1</translation>
    </message>
    <message>
        <source>Okuma testleri</source>
        <translation>Reading tests</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n çalışma, %2</source>
        <translation>
            <numerusform>%1: %n run, %2</numerusform>
            <numerusform>%1: %n runs, %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Seçili %n çalışma günlükten silinsin mi?</source>
        <translation>
            <numerusform>Delete the %n selected run from the journal?</numerusform>
            <numerusform>Delete the %n selected runs from the journal?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProgramPage</name>
    <message>
        <source>Dinlenme</source>
        <translation>Rest</translation>
    </message>
    <message>
        <source> sn</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Hız</source>
        <translation>Pace</translation>
    </message>
    <message>
        <source>Bugün</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>En hızlı</source>
        <translation>Fastest</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>%1 tam koşudan sonra hız %2 artar (en hızlı sınırına kadar); Esc ile erken biten bir koşudan sonra bir adım geri gelir.</source>
        <translation>After %1 complete runs the pace is %2 faster (never past the fastest set); a run ended early with Esc brings it a step back.</translation>
    </message>
    <message>
        <source> dk</source>
        <translation> min</translation>
    </message>
    <message>
        <source>Toplam: %1</source>
        <translation>Total: %1</translation>
    </message>
    <message>
        <source>Bugün: %1</source>
        <translation>Today: %1</translation>
    </message>
    <message>
        <source>Bugün %1 / %2 dk%3 · Bu hafta %4 dk · Seri: %5 gün</source>
        <translation>Today %1 / %2 min%3 · This week %4 min · Streak: %5 days</translation>
    </message>
    <message>
        <source> ✓</source>
        <translation> ✓</translation>
    </message>
    <message>
        <source>Harf gruplarından en az birini seçiniz.</source>
        <translation>Please choose at least one of the letter groups.</translation>
    </message>
    <message>
        <source>&amp;Ekle</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>S&amp;il</source>
        <translation>Re&amp;move</translation>
    </message>
    <message>
        <source>&amp;Yukarı</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <source>A&amp;şağı</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <source>&amp;Adım:</source>
        <translation>S&amp;tep:</translation>
    </message>
    <message>
        <source>&amp;Süre:</source>
        <translation>&amp;Length:</translation>
    </message>
    <message>
        <source>Adım&amp;lar:</source>
        <translation>&amp;Steps:</translation>
    </message>
    <message>
        <source>&amp;Nokta:</source>
        <translation>D&amp;ot:</translation>
    </message>
    <message>
        <source>&amp;Piramit:</source>
        <translation>&amp;Pyramid:</translation>
    </message>
    <message>
        <source>&amp;Blok:</source>
        <translation>&amp;Block:</translation>
    </message>
    <message>
        <source>&amp;Hızı kendiliğinden artır</source>
        <translation>Bring the pace &amp;forward by itself</translation>
    </message>
    <message>
        <source>P&amp;rogramı başlat</source>
        <translation>Sta&amp;rt the routine</translation>
    </message>
    <message>
        <source>&amp;Günlük hedef:</source>
        <translation>Daily &amp;goal:</translation>
    </message>
    <message>
        <source>Okuma testi</source>
        <translation>Reading test</translation>
    </message>
    <message>
        <source>Her gün ha&amp;tırlat</source>
        <translation>Remind me every da&amp;y</translation>
    </message>
    <message>
        <source>Oturum açılınca, günün hedefi tutmadıysa bir masaüstü bildirimi gösterilir.</source>
        <translation>When the session begins, a desktop notification is shown if the day&apos;s goal is not met yet.</translation>
    </message>
    <message>
        <source>Hatırlatma ayarlanamadı: %1
(%2)</source>
        <translation>The reminder could not be set: %1
(%2)</translation>
    </message>
    <message>
        <source>Sonraki adıma: %1</source>
        <translation>To the next step: %1</translation>
    </message>
    <message>
        <source>Programın bir çalıştırması (%1) hedefi karşılar.</source>
        <translation>One run of the routine (%1) meets the goal.</translation>
    </message>
    <message>
        <source>Programın bir çalıştırması (%1) hedefe yetmez.</source>
        <translation>One run of the routine (%1) falls short of the goal.</translation>
    </message>
</context>
<context>
    <name>Reading</name>
    <message>
        <source>Dakikada %1 kelimeden hızlı: bu bir okuma olamaz.</source>
        <translation>Faster than %1 words a minute: this cannot be a reading.</translation>
    </message>
    <message>
        <source>Her sayfa bir saniyeden kısa sürede çevrildi: bu bir okuma olamaz.</source>
        <translation>Every page was turned in under a second: this cannot be a reading.</translation>
    </message>
</context>
<context>
    <name>ReadingPage</name>
    <message>
        <source>tr</source>
        <comment>the language of the built-in reading passages</comment>
        <translation>en</translation>
    </message>
    <message>
        <source>Okuma testi, bir metni ne hızda okuduğunuzu ve ne kadar anladığınızı ölçer: dakikada okunan kelime, soruların doğru yanıtlanan payı ve ikisinin çarpımı olan etkin hız. Metni her zamanki gibi, anlayarak okuyun; sayfayı → ya da Boşluk ile çevirin. Metin bitince beş soru gelir, metne geri dönülmez.</source>
        <translation>The reading test measures how fast you read a text and how much of it you understand: the words read per minute, the share of questions answered right, and the effective rate, the product of the two. Read the text as you usually do, for its meaning; turn the page with → or Space. When the text ends, five questions follow; there is no going back to the text.</translation>
    </message>
    <message>
        <source>&amp;Hazır metin</source>
        <translation>&amp;Built-in passage</translation>
    </message>
    <message>
        <source>Kendi m&amp;etnim…</source>
        <translation>My &amp;own text…</translation>
    </message>
    <message>
        <source>Okuma testini başla&amp;t</source>
        <translation>&amp;Start the reading test</translation>
    </message>
    <message>
        <source>Okunacak metin</source>
        <translation>Text to read</translation>
    </message>
    <message>
        <source>Metin dosyaları (*.txt);;Tüm dosyalar (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>%1: sıradaki test dosyanın %2. karakterinden başlar.</source>
        <translation>%1: the next test starts at character %2 of the file.</translation>
    </message>
    <message>
        <source>Bu dilde hazır metin bulunamadı.</source>
        <translation>No built-in passage was found in this language.</translation>
    </message>
    <message>
        <source>Sıradaki metin: %1</source>
        <translation>Next passage: %1</translation>
    </message>
    <message>
        <source>%1 okunamıyor.</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1 dosyasında okunacak kelime yok.</source>
        <translation>%1 has no words to read.</translation>
    </message>
</context>
<context>
    <name>ReadingScreen</name>
    <message>
        <source>→, Boşluk ya da Page Down: sonraki sayfa · ←: önceki · Esc: vazgeç</source>
        <translation>→, Space or Page Down: next page · ←: previous · Esc: give up</translation>
    </message>
    <message>
        <source>Soru %1 / %2</source>
        <translation>Question %1 / %2</translation>
    </message>
    <message>
        <source>1–4 ya da oklarla seçin, Enter ile yanıtlayın</source>
        <translation>Choose with 1–4 or the arrows, answer with Enter</translation>
    </message>
    <message>
        <source>Enter: devam</source>
        <translation>Enter: continue</translation>
    </message>
</context>
<context>
    <name>ReadingStore</name>
    <message>
        <source>bitti</source>
        <translation>finished</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>durduruldu</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>-okuma</source>
        <comment>added to the name of the journal&apos;s CSV file</comment>
        <translation>-reading</translation>
    </message>
    <message>
        <source>Başlangıç</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Dil</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Metin</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Dosyadaki yer</source>
        <translation>Place in file</translation>
    </message>
    <message>
        <source>Kelime</source>
        <translation>Words</translation>
    </message>
    <message>
        <source>Karakter</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>Okuma (sn)</source>
        <translation>Reading (s)</translation>
    </message>
    <message>
        <source>Sayfa süreleri (sn)</source>
        <translation>Page times (s)</translation>
    </message>
    <message>
        <source>Geri çevrilen</source>
        <translation>Turned back</translation>
    </message>
    <message>
        <source>Soru</source>
        <translation>Questions</translation>
    </message>
    <message>
        <source>Doğru</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Kelime/dk</source>
        <translation>Words/min</translation>
    </message>
    <message>
        <source>Anlama (%)</source>
        <translation>Comprehension (%)</translation>
    </message>
    <message>
        <source>Etkin hız</source>
        <translation>Effective rate</translation>
    </message>
    <message>
        <source>Bitiş</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Okuma sayılmaz</source>
        <translation>Not counted as a reading</translation>
    </message>
    <message>
        <source>%1 kelime/dk</source>
        <translation>%1 words/min</translation>
    </message>
    <message>
        <source>, anlama %%1, etkin hız %2</source>
        <translation>, comprehension %1 %, effective rate %2</translation>
    </message>
    <message>
        <source> (kendi metin, sorusuz)</source>
        <translation> (own text, no questions)</translation>
    </message>
    <message>
        <source>Dakikada %1 kelime</source>
        <translation>%1 words a minute</translation>
    </message>
    <message>
        <source>Anlama: %1 sorudan %2 doğru (%%3) · Etkin hız: dakikada %4 kelime</source>
        <translation>Comprehension: %2 of %1 questions right (%3 %) · Effective rate: %4 words a minute</translation>
    </message>
    <message>
        <source>Kendi metniniz: soru yok, sonuç yalnız okuma hızıdır.</source>
        <translation>Your own text: no questions, the result is the reading speed only.</translation>
    </message>
    <message>
        <source>%1 kelime, %2 karakter, %3 dk %4 sn</source>
        <translation>%1 words, %2 characters, %3 min %4 s</translation>
    </message>
    <message>
        <source>Bu sonuç kaydedildi ama sayılmıyor ve grafikte gösterilmiyor: %1</source>
        <translation>This result is kept but not counted, nor shown in the chart: %1</translation>
    </message>
    <message>
        <source>İlk testinizden bu yana %1</source>
        <translation>Since your first test: %1</translation>
    </message>
    <message>
        <source>Son test: %1</source>
        <translation>Last test: %1</translation>
    </message>
    <message>
        <source>İlk testiniz: sonrakiler bununla karşılaştırılacak.</source>
        <translation>Your first test: the next ones will be compared with it.</translation>
    </message>
    <message>
        <source>Henüz bir okuma testi yapmadınız.</source>
        <translation>You have not taken a reading test yet.</translation>
    </message>
    <message>
        <source>Son sonuç: %1</source>
        <translation>Last result: %1</translation>
    </message>
    <message>
        <source>En iyi sonuç: %1</source>
        <translation>Best result: %1</translation>
    </message>
    <message>
        <source>Son test bugün yapıldı.</source>
        <translation>The last test was today.</translation>
    </message>
    <message numerus="yes">
        <source>Son testten bu yana %n gün geçti.</source>
        <translation>
            <numerusform>%n day since the last test.</numerusform>
            <numerusform>%n days since the last test.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RestScreen</name>
    <message>
        <source>Gözlerinizi dinlendirin</source>
        <translation>Rest your eyes</translation>
    </message>
    <message>
        <source>Sıradaki: %1</source>
        <translation>Next: %1</translation>
    </message>
</context>
<context>
    <name>Routine</name>
    <message>
        <source>%1 sn</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 dk</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 dk %2 sn</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>Nokta</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>Piramit</source>
        <translation>Pyramid</translation>
    </message>
    <message>
        <source>Blok</source>
        <translation>Block</translation>
    </message>
    <message>
        <source>Dinlenme</source>
        <translation>Rest</translation>
    </message>
    <message>
        <source>Okuma testi</source>
        <translation>Reading test</translation>
    </message>
</context>
<context>
    <name>RoutinePlan</name>
    <message>
        <source>%1 %2 ms</source>
        <translation>%1 %2 ms</translation>
    </message>
    <message>
        <source> (dün %1 ms)</source>
        <translation> (yesterday %1 ms)</translation>
    </message>
    <message>
        <source> (son %1 ms)</source>
        <translation> (last %1 ms)</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Günün hedefi (%1 dk): </source>
        <translation>Today&apos;s goal (%1 min): </translation>
    </message>
    <message>
        <source>tamam</source>
        <translation>met</translation>
    </message>
    <message>
        <source>%1 dk eksik</source>
        <translation>%1 min to go</translation>
    </message>
    <message numerus="yes">
        <source>%1 / %n çalışma %2 ms&apos;de</source>
        <translation>
            <numerusform>%1 / %n run at %2 ms</numerusform>
            <numerusform>%1 / %n runs at %2 ms</numerusform>
        </translation>
    </message>
    <message>
        <source>en hızlı %1 ms&apos;de</source>
        <translation>at its fastest, %1 ms</translation>
    </message>
</context>
<context>
    <name>RoutineSummary</name>
    <message>
        <source>Program tamamlandı</source>
        <translation>Routine complete</translation>
    </message>
    <message>
        <source>Program erken bitti</source>
        <translation>Routine ended early</translation>
    </message>
    <message>
        <source>Bugün %1 dk</source>
        <translation>Today %1 min</translation>
    </message>
    <message numerus="yes">
        <source>Seri: %n gün</source>
        <translation>
            <numerusform>Streak: %n day</numerusform>
            <numerusform>Streak: %n days</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 %2 ms</source>
        <translation>%1 %2 ms</translation>
    </message>
    <message>
        <source>%1 %2 → %3 ms</source>
        <translation>%1 %2 → %3 ms</translation>
    </message>
    <message>
        <source> (erken bırakıldı: hız bir adım geri)</source>
        <translation> (given up: the pace a step back)</translation>
    </message>
    <message>
        <source> (ilk %1 sn içinde bitti: hız aynı kaldı)</source>
        <translation> (ended within its first %1 s: the pace stays)</translation>
    </message>
</context>
<context>
    <name>RunChart</name>
    <message>
        <source>%1: beklenen modül değil</source>
        <translation>%1: not the module expected</translation>
    </message>
    <message>
        <source>%1 bulunamadı (%2)</source>
        <translation>%1 not found (%2)</translation>
    </message>
</context>
<context>
    <name>RunTableModel</name>
    <message>
        <source>Tarih</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Alıştırma</source>
        <translation>Exercise</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Hız (ms)</source>
        <translation>Pace (ms)</translation>
    </message>
    <message>
        <source>Gerçek (ms)</source>
        <translation>Real (ms)</translation>
    </message>
    <message>
        <source>Çalışılan</source>
        <translation>Trained</translation>
    </message>
    <message>
        <source>Adım</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>Bitiş</source>
        <translation>End</translation>
    </message>
    <message>
        <source>%1 satır, %2 harf</source>
        <translation>Lines: %1, letters: %2</translation>
    </message>
    <message>
        <source>Renkler: %1, %2, %3, %4</source>
        <translation>Colors: %1, %2, %3, %4</translation>
    </message>
    <message>
        <source>Süre: </source>
        <translation>Duration: </translation>
    </message>
    <message>
        <source>, %1 adım, </source>
        <translation>, %1 steps, </translation>
    </message>
    <message>
        <source>Duraklatıldı: </source>
        <translation>Paused: </translation>
    </message>
    <message>
        <source>Çalışma sırasında program bir süre etkin değildi.</source>
        <translation>The program was inactive for a while during the run.</translation>
    </message>
    <message>
        <source>Başladığı yerin saatiyle: %1 (UTC%2)</source>
        <translation>In the time of the place it started: %1 (UTC%2)</translation>
    </message>
    <message>
        <source>Günlük programın bir adımı.</source>
        <translation>A step of the daily routine.</translation>
    </message>
    <message>
        <source>dd.MM.yyyy HH:mm</source>
        <comment>date and time of a run</comment>
        <translation>MM/dd/yyyy HH:mm</translation>
    </message>
</context>
<context>
    <name>ScreenSaverInhibitor</name>
    <message>
        <source>Egzersiz sürüyor</source>
        <translation>Exercise in progress</translation>
    </message>
</context>
<context>
    <name>SettingsModel</name>
    <message numerus="yes">
        <source>%n Satır</source>
        <translation>
            <numerusform>%n line</numerusform>
            <numerusform>%n lines</numerusform>
        </translation>
    </message>
    <message>
        <source>Nokta</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>Piramit</source>
        <translation>Pyramid</translation>
    </message>
    <message>
        <source>Blok</source>
        <translation>Block</translation>
    </message>
    <message>
        <source>Yatay - Yukarıdan Aşağıya</source>
        <translation>Horizontal - Top to Bottom</translation>
    </message>
    <message>
        <source>Merkez - Tek Satır</source>
        <translation>Center - Single Line</translation>
    </message>
    <message>
        <source>Sürekli</source>
        <translation>Continuous</translation>
    </message>
    <message numerus="yes">
        <source>%n dakika</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>Alıştırma: Nokta</source>
        <translation>Exercise: Dot</translation>
    </message>
    <message>
        <source>Alıştırma: Piramit</source>
        <translation>Exercise: Pyramid</translation>
    </message>
    <message>
        <source>Üçgen</source>
        <translation>Triangle</translation>
    </message>
    <message>
        <source>Tek Satır</source>
        <translation>Single line</translation>
    </message>
    <message>
        <source>Tek Yön</source>
        <translation>One way</translation>
    </message>
    <message>
        <source>Çift Yön</source>
        <translation>Both ways</translation>
    </message>
    <message>
        <source>Alıştırma: Blok</source>
        <translation>Exercise: Block</translation>
    </message>
    <message>
        <source>Ayrı bloklar</source>
        <translation>Separate blocks</translation>
    </message>
    <message>
        <source>Bitişik bloklar</source>
        <translation>Adjoining blocks</translation>
    </message>
    <message>
        <source>Dikey</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>Yatay</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>Zigzag</source>
        <translation>Zigzag</translation>
    </message>
    <message>
        <source>Alıştırma:</source>
        <translation>Exercise:</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Açıklama</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Alıştırmalar</source>
        <translation>Exercises</translation>
    </message>
    <message>
        <source>Çı&amp;kış</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Günlük</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>Ayarlar başka bir Zerlivan kopyası tarafından kullanılıyor.</source>
        <translation>The settings are in use by another copy of Zerlivan.</translation>
    </message>
    <message>
        <source>Bu dizindeki ayarlar (zrv.opt) başka bir Zerlivan kopyası tarafından kullanılıyor.
Bu kopya ayarları kaydetmeden çalışacak.</source>
        <translation>The settings in this directory (zrv.opt) are in use by another copy of Zerlivan.
This copy will run without saving the settings.</translation>
    </message>
    <message>
        <source>Bu program hızlı okuma çalışmalarına yardımcı bir programdır.</source>
        <translation>This program is an aid to speed reading practice.</translation>
    </message>
    <message>
        <source>Hızlı okuma teknikleri burada anlatılmamaktadır. Kullanıcının bu teknikleri
bildiği ve bu programı belirlediği amaçlar doğruntusunda kullandığı kabul edilir.</source>
        <translation>Speed reading techniques are not taught here. The user is assumed to know these techniques and to use this program for the goals they have set.</translation>
    </message>
    <message>
        <source>Eğer kullanıcı bu teknikleri ve neyi niçin çalıştığını bilmiyorsa aşağıdaki
kitaplar ve Hızlı Okuma kursları tavsiye edilir.</source>
        <translation>If you do not know these techniques, or what you are practising and why, the books below and speed reading courses are recommended.</translation>
    </message>
    <message>
        <source>&amp;Hızlı Okuma Kitapları:</source>
        <translation>Speed reading &amp;books:</translation>
    </message>
    <message>
        <source>&amp;Ayrıca:</source>
        <translation>&amp;Further reading:</translation>
    </message>
    <message>
        <source>Bu program ücretsizdir. Kullanımının sorumluluğu tamamen kullanıcıya aittir.</source>
        <translation>This program is free of charge. You use it entirely at your own risk.</translation>
    </message>
    <message>
        <source>Linux ve X11 ya da Wayland ile çalışan bir masaüstü gerektirir.</source>
        <translation>It needs Linux and a desktop running on X11 or Wayland.</translation>
    </message>
    <message>
        <source>Alıştır&amp;ma:</source>
        <translation>Exer&amp;cise:</translation>
    </message>
    <message>
        <source>&amp;Tip:</source>
        <translation>&amp;Type:</translation>
    </message>
    <message>
        <source>&amp;Yön:</source>
        <translation>D&amp;irection:</translation>
    </message>
    <message>
        <source>Satı&amp;r Sayısı:</source>
        <translation>&amp;Lines:</translation>
    </message>
    <message>
        <source>Har&amp;f Sayısı:</source>
        <translation>Lette&amp;rs:</translation>
    </message>
    <message>
        <source>&amp;Zemin Rengi:</source>
        <translation>&amp;Background color:</translation>
    </message>
    <message>
        <source>Aktif Metin Ren&amp;gi:</source>
        <translation>&amp;Active text color:</translation>
    </message>
    <message>
        <source>&amp;Pasif Metin Rengi:</source>
        <translation>&amp;Passive text color:</translation>
    </message>
    <message>
        <source>&amp;Nokta Rengi:</source>
        <translation>D&amp;ot color:</translation>
    </message>
    <message>
        <source>&amp;Hız:</source>
        <translation>&amp;Speed:</translation>
    </message>
    <message>
        <source>&amp;Süre:</source>
        <translation>Duratio&amp;n:</translation>
    </message>
    <message>
        <source>F&amp;ont:</source>
        <translation>&amp;Font:</translation>
    </message>
    <message>
        <source>Harf Gr&amp;upları:</source>
        <translation>Letter &amp;groups:</translation>
    </message>
    <message>
        <source>Küçük harfl&amp;er</source>
        <translation>Lo&amp;wercase letters</translation>
    </message>
    <message>
        <source>&amp;Büyük harfler</source>
        <translation>&amp;Uppercase letters</translation>
    </message>
    <message>
        <source>Sayı&amp;lar</source>
        <translation>&amp;Digits</translation>
    </message>
    <message>
        <source>Noktalama &amp;işaretleri</source>
        <translation>Punctuation &amp;marks</translation>
    </message>
    <message>
        <source>Çıkışta ayarları kay&amp;det</source>
        <translation>Sa&amp;ve settings on exit</translation>
    </message>
    <message>
        <source>Dikkat: Bu programın kullanımının sorumluluğu tamamen kullanıcıya aittir.</source>
        <translation>Warning: You use this program entirely at your own risk.</translation>
    </message>
    <message>
        <source>Buradaki alıştırmaları sürekli olarak çalışmak gözlerinize zarar verebilir.</source>
        <translation>Doing these exercises without a break can harm your eyes.</translation>
    </message>
    <message>
        <source>Bir çalışmayı bir dakika yapmanız ve sonra gözlerinizi dinlerdirmeniz önerilir.</source>
        <translation>Do each exercise for about a minute, then rest your eyes.</translation>
    </message>
    <message>
        <source>Font seç</source>
        <translation>Choose font</translation>
    </message>
    <message>
        <source>Harf gruplarından en az birini seçiniz.</source>
        <translation>Please choose at least one of the letter groups.</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Routine</translation>
    </message>
    <message>
        <source>Okuma</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>ms bir adım: küçük sayı daha hızlı</source>
        <translation>ms a step: a smaller number is faster</translation>
    </message>
</context>
<context>
    <name>StepFrames</name>
    <message>
        <source>%1 ms&apos;lik adımların her biri %2 kare</source>
        <translation>each %1 ms step lasts %2 frames</translation>
    </message>
    <message>
        <source>%1 ms&apos;lik adımlar %2 ya da %3 kare (%4 / %5 ms)</source>
        <translation>%1 ms steps last %2 or %3 frames (%4 / %5 ms)</translation>
    </message>
    <message>
        <source>Bu ekran %1 Hz: %2 kalır</source>
        <translation>This display runs at %1 Hz: %2</translation>
    </message>
    <message>
        <source>; %1 ms her adımda %2 kare</source>
        <translation>; %1 ms gives %2 frames at every step</translation>
    </message>
    <message>
        <source>,</source>
        <comment>the decimal sign</comment>
        <translation>.</translation>
    </message>
</context>
<context>
    <name>SummaryScreen</name>
    <message>
        <source>Kapatmak için Enter ya da Esc</source>
        <translation>Enter or Esc to close</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Zerlivan bu dizinde zaten açık: penceresi öne getirildi.</source>
        <translation>Zerlivan is already open in this folder: its window was brought to the front.</translation>
    </message>
</context>
<context>
    <name>zrv::Reminder</name>
    <message>
        <source>Günün hedefi %1 dk; bugün %2 dk çalışıldı.</source>
        <translation>The day&apos;s goal is %1 min; %2 min trained today.</translation>
    </message>
    <message numerus="yes">
        <source>Seri: %n gün.</source>
        <translation>
            <numerusform>Streak: %n day.</numerusform>
            <numerusform>Streak: %n days.</numerusform>
        </translation>
    </message>
    <message>
        <source>Bugünkü göz çalışmaları</source>
        <translation>Today&apos;s eye exercises</translation>
    </message>
    <message>
        <source>Programı aç</source>
        <translation>Open the routine</translation>
    </message>
</context>
</TS>
