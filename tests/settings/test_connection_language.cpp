// The connection type with its proxy file, the language choice with its file,
// and a settings save that stops at its first failed write.
#include "FileHelpers.h"
#include "platform/Dialogs.h"
#include "platform/Twips.h"
#include "settings/Connection.h"
#include "settings/LanguageChoice.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

namespace {

unsigned modeBits(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777U) : 0U;
}

// Mouse clicks reach a window only once it is on the screen.
bool isExposed(QWidget* window) {
    return window->windowHandle() != nullptr && window->windowHandle()->isExposed();
}

// Plays the person at the screen: once the frame is on screen, runs the
// answer (clicks) and remembers that the frame was shown.
class Answerer {
public:
    Answerer(QWidget* frame, std::function<void()> answer)
        : frame_(frame), answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (frame_->isVisible() && isExposed(frame_->window())) {
                timer_.stop();
                shown = true;
                answer_();
            }
        });
        timer_.start(15);
    }
    bool shown = false;

private:
    QWidget* frame_;
    std::function<void()> answer_;
    QTimer timer_;
};

// Near the left edge: an option button takes clicks on its mark and caption only.
void click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

const QByteArray kDirectFile = "\r\n\r\n\r\n\r\n0\r\n";

struct ConnectionFixture {
    QTemporaryDir dir;
    RunState state;
    platform::ScriptedDialogs dialogs;
    QWidget window;
    QFrame* frame = new QFrame(&window);
    std::unique_ptr<Connection> connection;
    QList<platform::ProxySetting> applied;

    explicit ConnectionFixture(QSize screen = {1280, 720}) {
        state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
        state.Lingua = 1;
        window.resize(screen);
        frame->setObjectName(QStringLiteral("Frame_Select_Connection"));
        frame->hide();
        connection = std::make_unique<Connection>(state, dialogs, frame);
        QObject::connect(connection.get(), &Connection::proxyApplied,
                         [this](const platform::ProxySetting& s) { applied.append(s); });
        window.show();
    }
    QString dat() const { return connection->proxyFilePath(); }
    QString bak() const { return connection->proxyBackupPath(); }
    void fillProxy(const QString& address, const QString& password) {
        connection->Proxy_Address->setText(address);
        connection->Proxy_Port->setText(QStringLiteral("8080"));
        connection->Proxy_Username->setText(QStringLiteral("mario"));
        connection->Proxy_Password->setText(password);
    }
};

struct LanguageFixture {
    QTemporaryDir dir;
    RunState state;
    QWidget window;
    QWidget* SSTCfg = new QWidget(&window);
    QFrame* frame = new QFrame(&window);
    std::unique_ptr<LanguageChoice> language;
    int applied = 0;

    LanguageFixture() {
        state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
        state.appPath = QStringLiteral("/opt/skyglance");
        window.resize(1280, 720);
        platform::setGeometryTwips(SSTCfg, 3500, 2000, 6000, 6000);
        frame->setObjectName(QStringLiteral("Frame_Select_Language"));
        frame->hide();
        language = std::make_unique<LanguageChoice>(state, frame);
        language->SSTCfg = SSTCfg;
        QObject::connect(language.get(), &LanguageChoice::languageLoaded, [this] { ++applied; });
    }
    QString path() const { return language->languageFilePath(); }
};

} // namespace

class TestConnectionLanguage : public QObject {
    Q_OBJECT
private slots:
    void proxyFileFormatAndPasswordTransform();
    void firstStartWaitsForTheChoiceAndWritesPrivateFiles();
    void laterStartsReadTheFileOrOfferTheBackup();
    void unstorablePasswordIsRefused();
    void languageFirstStartAndLaterStarts();
    void emptyOrGarbageLanguageFileAsks();
    void settingsSaveStopsAtFirstFailedWrite();
};

void TestConnectionLanguage::proxyFileFormatAndPasswordTransform() {
    const QString abc = TransformPassword(QStringLiteral("abc"));
    QCOMPARE(abc, QString::fromLatin1("\x9e\x9d\x9c"));
    QCOMPARE(TransformPassword(abc), QStringLiteral("abc"));

    const platform::ProxySetting proxy{true, QStringLiteral("proxy.lan"), QStringLiteral("3128"),
                                       QStringLiteral("José"), QStringLiteral("abc")};
    const QByteArray file = "proxy.lan\r\n3128\r\nJos\xc3\xa9\r\n\x9e\x9d\x9c\r\n1\r\n";
    QCOMPARE(formatProxyFile(proxy), file);
    const platform::ProxySetting back = parseProxyFile(file);
    QVERIFY(back.enabled);
    QCOMPARE(back.address, proxy.address);
    QCOMPARE(back.userName, proxy.userName);
    QCOMPARE(back.password, proxy.password);

    // A direct connection keeps nothing of the proxy boxes.
    platform::ProxySetting direct = proxy;
    direct.enabled = false;
    QCOMPARE(formatProxyFile(direct), kDirectFile);

    // "ß" is stored as a blank and "ö" as a tab: the password line is not trimmed.
    platform::ProxySetting blanks = proxy;
    blanks.password = QStringLiteral("ßxö");
    QCOMPARE(parseProxyFile(formatProxyFile(blanks)).password, blanks.password);

    // Short files and lines other than exactly "1" read as a direct connection.
    QVERIFY(!parseProxyFile("host\r\n80\r\n").enabled);
    QVERIFY(!parseProxyFile("h\r\n80\r\nu\r\np\r\n 1x\r\n").enabled);
    QVERIFY(parseProxyFile("h\r\n80\r\nu\r\np\r\n 1 ").enabled);
}

void TestConnectionLanguage::firstStartWaitsForTheChoiceAndWritesPrivateFiles() {
    for (const QSize screen : {QSize(1280, 720), QSize(1920, 1080)}) {
        ConnectionFixture f(screen);
        Connection& c = *f.connection;
        QVERIFY(!c.Connection_Selected->isVisibleTo(f.frame));
        bool tidy = false;
        Answerer answer(f.frame, [&] {
            tidy = f.window.rect().contains(f.frame->geometry()) &&
                   qAbs(f.frame->geometry().center().x() - f.window.rect().center().x()) <= 1 &&
                   f.frame->layout()->minimumSize().height() <= f.frame->height() &&
                   f.frame->layout()->minimumSize().width() <= f.frame->width();
            click(c.Proxy);
            f.fillProxy(QStringLiteral("proxy.lan:3128"), QStringLiteral("abc"));
            click(c.Connection_Selected);
        });
        c.CheckConnectionSettings();
        QVERIFY(answer.shown);
        QVERIFY(tidy);
        QVERIFY(!f.frame->isVisible());
        QCOMPARE(c.Proxy_Enabled, kTrue);
        QCOMPARE(c.Wait_Type_Connection, kTrue);
        QCOMPARE(c.No_Proxy->text(),
                 QStringLiteral("Internet Connection: Adsl, Wi-Fi, Modem, Lan"));

        const QByteArray expected = "proxy.lan:3128\r\n8080\r\nmario\r\n\x9e\x9d\x9c\r\n1\r\n";
        QCOMPARE(readFile(f.dat()), expected);
        QCOMPARE(readFile(f.bak()), expected);
        QCOMPARE(modeBits(f.dat()), 0600U);
        QCOMPARE(modeBits(f.bak()), 0600U);
        QCOMPARE(f.applied.size(), 1);
        QCOMPARE(f.applied[0].address, QStringLiteral("proxy.lan:3128"));
        QCOMPARE(f.applied[0].port, QStringLiteral("8080"));
        QCOMPARE(f.applied[0].password, QStringLiteral("abc"));
        QVERIFY(f.dialogs.shown().isEmpty());
    }

    // Files left readable by others from an older run are rewritten private.
    ConnectionFixture f;
    writeFile(f.bak(), kDirectFile);
    QFile::setPermissions(f.bak(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ReadGroup | QFileDevice::ReadOther);
    Answerer answer(f.frame, [&] {
        click(f.connection->No_Proxy);
        click(f.connection->Connection_Selected);
    });
    f.connection->CheckConnectionSettings();
    QCOMPARE(readFile(f.dat()), kDirectFile);
    QCOMPARE(modeBits(f.bak()), 0600U);
    QVERIFY(!f.applied.last().enabled);
}

void TestConnectionLanguage::laterStartsReadTheFileOrOfferTheBackup() {
    // A direct-connection file: no frame, empty and disabled boxes.
    ConnectionFixture f;
    writeFile(f.dat(), kDirectFile);
    Answerer never(f.frame, [&] { click(f.connection->Connection_Selected); });
    f.connection->CheckConnectionSettings();
    QVERIFY(!never.shown);
    QVERIFY(f.connection->No_Proxy->isChecked());
    QVERIFY(f.connection->Proxy_Address->text().isEmpty());
    QVERIFY(!f.connection->Proxy_Password->isEnabled());
    QCOMPARE(f.applied.size(), 1);
    QVERIFY(!f.applied[0].enabled);
    QCOMPARE(readFile(f.bak()), kDirectFile);

    // After a cleanup only the backup is left: its values are offered.
    ConnectionFixture g;
    const QByteArray proxyFile = "10.0.0.1\r\n3128\r\nanna\r\n\x9e\x9d\x9c\r\n1\r\n";
    writeFile(g.bak(), proxyFile);
    bool offered = false;
    Answerer answer(g.frame, [&] {
        offered = g.connection->Proxy->isChecked() &&
                  g.connection->Proxy_Username->text() == QLatin1String("anna") &&
                  g.connection->Connection_Selected->isVisible();
        click(g.connection->Connection_Selected);
    });
    g.connection->CheckConnectionSettings();
    QVERIFY(answer.shown);
    QVERIFY(offered);
    QCOMPARE(readFile(g.dat()), proxyFile);
    QCOMPARE(g.applied.last().password, QStringLiteral("abc"));
}

void TestConnectionLanguage::unstorablePasswordIsRefused() {
    for (const QString& bad : {QStringLiteral("ò"), QStringLiteral("õ"), QStringLiteral("ÿ"),
                               QStringLiteral("€"), QString::fromUcs4(U"\U0001F600")}) {
        QCOMPARE(unstorablePasswordChar(QStringLiteral("ab") + bad + QStringLiteral("c")), bad);
    }
    QVERIFY(!unstorablePasswordChar(QStringLiteral("Pass wörd ßç!")));
    QCOMPARE(passwordRefusedText(QStringLiteral("€"), 999),
             passwordRefusedText(QStringLiteral("€"), 1));
    QVERIFY(
        passwordRefusedText(QStringLiteral("€"), 4).startsWith(QStringLiteral("La contraseña")));

    // "OK - GO!" keeps the frame until the password can be stored.
    ConnectionFixture f;
    f.state.Lingua = 2;
    Connection& c = *f.connection;
    QStringList messages;
    bool keptWaiting = false;
    Answerer answer(f.frame, [&] {
        click(c.Proxy);
        f.fillProxy(QStringLiteral("proxy.lan"), QStringLiteral("pa€"));
        click(c.Connection_Selected);
        messages = f.dialogs.shownTexts();
        keptWaiting = f.frame->isVisible() && c.Wait_Type_Connection == kFalse;
        c.Proxy_Password->setText(QStringLiteral("pass"));
        click(c.Connection_Selected);
    });
    c.CheckConnectionSettings();
    QVERIFY(keptWaiting);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0], QStringLiteral("La password del proxy contiene il carattere \"€\", che "
                                         "non può essere salvato.\nScegliere un'altra password."));
    QCOMPARE(f.dialogs.shown()[0].title, QStringLiteral("Attenzione!"));
    QCOMPARE(f.dialogs.shown()[0].icon, platform::Dialogs::Icon::Warning);
    const QByteArray good = readFile(f.dat());
    QVERIFY(good.endsWith("\x8f\x9e\x8c\x8c\r\n1\r\n"));

    // A password that slipped past the frame leaves the files as they were.
    f.dialogs.clear();
    c.Proxy_Password->setText(QStringLiteral("xò"));
    QVERIFY(!c.ApplyConnectionSettings());
    QCOMPARE(f.dialogs.shown().size(), 1);
    QCOMPARE(readFile(f.dat()), good);
    QCOMPARE(readFile(f.bak()), good);
    QCOMPARE(f.applied.last().password, QStringLiteral("xò"));
}

void TestConnectionLanguage::languageFirstStartAndLaterStarts() {
    QCOMPARE(formatLanguageFile(1), QByteArray(" 1"));
    QCOMPARE(parseLanguageFile(" \t 12abc"), std::optional<int16_t>(12));
    QCOMPARE(parseLanguageFile("99999"), std::nullopt);

    LanguageFixture f;
    QVERIFY(f.language->Default_Language->isChecked());
    QVERIFY(!f.language->Default_Language->isVisibleTo(f.frame));
    QRect placed;
    bool fits = false;
    int16_t linguaWhileAsking = 0;
    Answerer answer(f.frame, [&] {
        placed = platform::geometryTwips(f.frame);
        fits = f.frame->layout()->minimumSize().height() <= f.frame->height();
        linguaWhileAsking = f.state.Lingua;
        click(f.language->Italian_02);
    });
    f.language->LoadLanguage();
    QVERIFY(answer.shown);
    QCOMPARE(linguaWhileAsking, kNoLanguage);
    QCOMPARE(placed.topLeft(), QPoint(3250, 1750));
    QVERIFY(fits);
    QVERIFY(!f.frame->isVisible());
    QCOMPARE(readFile(f.path()), QByteArray(" 2"));
    QCOMPARE(f.state.Lingua, int16_t(2));
    QCOMPARE(f.applied, 1);
    QCOMPARE(f.state.helpFile, QStringLiteral("/opt/skyglance/Skyglance.html"));

    // The icon asks again; the language in use may be picked again.
    Answerer again(f.frame, [&] { click(f.language->Italian_02); });
    f.language->IcoSwapSST6_Click();
    QVERIFY(again.shown);
    QCOMPARE(f.state.Lingua, int16_t(2));
    QCOMPARE(f.applied, 2);

    // Stored numbers are taken as they stand, in or out of range.
    for (const auto& [bytes, lingua] :
         {std::pair<QByteArray, int16_t>{" 3", 3}, {"7", 7}, {"  4\r\n", 4}}) {
        LanguageFixture g;
        writeFile(g.path(), bytes);
        Answerer never(g.frame, [&] { click(g.language->English_01); });
        g.language->LoadLanguage();
        QVERIFY(!never.shown);
        QCOMPARE(g.state.Lingua, lingua);
        QCOMPARE(readFile(g.path()), bytes);
    }
}

void TestConnectionLanguage::emptyOrGarbageLanguageFileAsks() {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("   "), QByteArray("abc"), QByteArray("\n2"), QByteArray("-")}) {
        LanguageFixture f;
        writeFile(f.path(), bytes);
        Answerer answer(f.frame, [&] { click(f.language->Spanish_04); });
        f.language->LoadLanguage();
        QVERIFY2(answer.shown, bytes.constData());
        QCOMPARE(f.state.Lingua, int16_t(4));
        QCOMPARE(readFile(f.path()), QByteArray(" 4"));
    }
}

void TestConnectionLanguage::settingsSaveStopsAtFirstFailedWrite() {
    QTemporaryDir dir;
    RunState state;
    state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
    state.Lingua = 1;
    platform::ScriptedDialogs dialogs;
    QLineEdit download(QStringLiteral("abc")), slide(QStringLiteral("0")), display, display2;
    QLabel own;
    QListWidget table;
    new QListWidgetItem(QStringLiteral(" - a map"), &table); // a filled table is saved
    SettingsControls c;
    c.SSTCfg_timeDwLoad = &download;
    c.SSTCfg_timeRefresh = &slide;
    c.txtDisplay = &display;
    c.txtDisplay2 = &display2;
    c.SSTCfg_LblinserisciImg = &own;
    c.Tabella_Mappe_Selezionate = &table;
    SettingsFile settings(state, dialogs, c);
    // A folder where the selection file should be makes its write fail.
    QVERIFY(QDir().mkpath(settings.selectionFilePath()));

    QVERIFY(!settings.WriteSettings());
    QCOMPARE(dialogs.shownTexts(), QStringList{"ERROR WRITING CONFIGURATION FILES!"});
    QCOMPARE(download.text(), QStringLiteral("abc")); // the interval checks never ran
    QVERIFY(!QFile::exists(settings.settingsFilePath()));
}

QTEST_MAIN(TestConnectionLanguage)
#include "test_connection_language.moc"
