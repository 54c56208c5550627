// The language tables: texts letter for letter in each language, the message
// boxes, and applying captions to a panel that is only partly built.
#include "platform/Dialogs.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QtTest>

using namespace LanguageTables;
using Icon = platform::Dialogs::Icon;

class TestLanguageTables : public QObject {
    Q_OBJECT
private slots:
    void textsKeepTheirExactLetters();
    void messageBoxesFollowTheLanguage();
    void applyLanguageOnAPartlyBuiltPanel();
    void unknownLanguageOnlySetsTheUnselectLabel_data();
    void unknownLanguageOnlySetsTheUnselectLabel();
    void applicationTranslatorFollowsTheLanguage();
};

void TestLanguageTables::textsKeepTheirExactLetters() {
    // Trailing blanks, runs of blanks and misspellings are part of the texts.
    QCOMPARE(captionFor("SSTCfg_Download2", kSpanish), QString::fromUtf8("Temporiz. Conexión "));
    QCOMPARE(captionFor("SSTCfg_cmdConferma2", kFrench), QStringLiteral("Lancer diaporama "));
    QCOMPARE(captionFor("SSTCfg_Backupconf", kSpanish), QString::fromUtf8("Backup Colección ."));
    QCOMPARE(captionFor("TextMinuts", kEnglish), QStringLiteral("(minuts)"));
    QCOMPARE(captionFor("IcoSwapSST02", kSpanish), QStringLiteral("Timer Diapositive"));
    QCOMPARE(captionFor("TextTool4", kItalian), QStringLiteral("Tools"));
    QCOMPARE(tabCaption(2, kEnglish), QStringLiteral("Picture   Selection"));
    QCOMPARE(tabCaption(2, kSpanish), QString::fromUtf8("Selección Imaginas "));
    QCOMPARE(tabCaption(3, kFrench), QString::fromUtf8("Démarrer arrêter"));
    QCOMPARE(captionFor("IcoSwapSST12", kItalian), tabCaption(1, kItalian));
    QVERIFY(!tabCaption(1, kEnglish).isEmpty());

    QCOMPARE(toolTipFor("btWait", kEnglish), QStringLiteral("Wait...\""));
    QCOMPARE(toolTipFor("btWait", kItalian), QStringLiteral("Attendere...\""));
    QCOMPARE(toolTipFor("btWait", kFrench), QStringLiteral("Veuillez patienter...\""));
    QCOMPARE(toolTipFor("btWait", kSpanish), QStringLiteral("Esperar...\""));
    QCOMPARE(toolTipFor("ImageConnesso", kFrench), QString::fromUtf8("Connexion activê"));

    QCOMPARE(displayModeName("Normal", kFrench), QStringLiteral("Normal"));
    QCOMPARE(displayModeName("Full_Screen", kSpanish), QStringLiteral("Pleno_Video"));
    QCOMPARE(displayModeName("Normal", kSpanish), QString::fromUtf8("Dimensión Original"));
    QVERIFY(displayModeName("Full_Screen", kNoLanguage).isNull());

    // The Italian and Spanish run/exit help have no blank second line.
    QCOMPARE(helpText("Box_Help_Run_Exit", kItalian),
             QStringLiteral("ESEGUI ESCI:\r\n_Inizia Proiezione Immagini\r\n"
                            "_Salva tutte le Impostazioni\r\n_Esci dal programma.\r\n"
                            "_Visualizza informazioni barra"));
    QCOMPARE(helpText("Box_Help_Display_Timer", kEnglish),
             QStringLiteral("DISPLAY TIMERS\r\n \r\n_Download Images Timer\r\n_Slide Show "
                            "Timer\r\n_Display Mode"));
    QVERIFY(helpText("LeftTipText", kSpanish).contains(QStringLiteral("velocidad' y modo")));

    QCOMPARE(networkKindText("WAN", kItalian), QString::fromUtf8("Il sistema è connesso a una "
                                                                 "rete WAN !"));
    QCOMPARE(programEndedText(kEnglish),
             QStringLiteral("Program ended \r\n The sponsors page will open."));
    QCOMPARE(MsgProgramEnded(kNoLanguage), QString());
    QCOMPARE(slideTimeShortText(kItalian), QStringLiteral("Timer Slde Show troppo corto."));
}

void TestLanguageTables::messageBoxesFollowTheLanguage() {
    platform::ScriptedDialogs dialogs;
    MsgBadDownloadTime(dialogs, kSpanish);
    MsgNetworkKind(dialogs, QStringLiteral("LAN"), kFrench);
    MsgProgramEnded(dialogs, kItalian);
    MsgOwnPictures(dialogs, QStringLiteral("C:\\Slides"), kFrench);
    MsgOwnPictures(dialogs, QStringLiteral("C:\\Slides"), kNoLanguage);
    MsgOwnPictures(dialogs, QStringLiteral("C:\\Slides"), kItalian);
    // No language chosen: no box at all.
    MsgNoNetwork(dialogs, kNoLanguage);
    MsgWriteError(dialogs, 7);
    MsgSlideTimeShort(dialogs, 0);

    const QList<platform::Dialogs::Box>& shown = dialogs.shown();
    QCOMPARE(shown.size(), 6);
    QCOMPARE(shown[0].text, QStringLiteral("Intervalo Descargue no vadeo."));
    QCOMPARE(shown[0].title, QString::fromUtf8("Atención!"));
    QCOMPARE(shown[0].icon, Icon::Warning);
    QCOMPARE(shown[1].text, QString::fromUtf8("L'ordinateur est connecté à un LAN network!"));
    QCOMPARE(shown[1].title, programTitle());
    QCOMPARE(shown[1].icon, Icon::None);
    QCOMPARE(shown[2].text,
             QString::fromUtf8("Programma Terminato\r\nSi aprirà la pagina degli sponsor."));
    const QString english =
        QStringLiteral("You can add up 9 .jpg own pictures.\r\nPut files in folder C:\\Slides");
    QCOMPARE(shown[3].text, english);
    QCOMPARE(shown[4].text, english);
    QCOMPARE(shown[5].text, QStringLiteral("Puoi aggiungere fino a 9 altre immagini personali "
                                           ".jpg\r\nCopiale nella cartella C:\\Slides"));
}

namespace {

// A panel with only some of its elements; the rest do not exist yet.
struct SmallPanel {
    QWidget root;
    QTabWidget* tabs = new QTabWidget(&root);
    QLabel* download2 = new QLabel(QStringLiteral("before"), &root);
    QPushButton* conferma2 = new QPushButton(QStringLiteral("before"), tabs);
    QLabel* btWait = new QLabel(&root);
    QLabel* label11 = new QLabel(&root);
    QPlainTextEdit* runExitHelp = new QPlainTextEdit(QStringLiteral("before"), &root);
    QLabel* toolsHelp = new QLabel(QStringLiteral("before"), &root);
    QWidget* redDot = new QWidget(&root);

    SmallPanel() {
        tabs->setObjectName(QStringLiteral("SSTCfg"));
        for (int i = 0; i < 5; ++i) {
            tabs->addTab(new QWidget, QStringLiteral("before"));
        }
        download2->setObjectName(QStringLiteral("SSTCfg_Download2"));
        conferma2->setObjectName(QStringLiteral("SSTCfg_cmdConferma2"));
        btWait->setObjectName(QStringLiteral("btWait"));
        label11->setObjectName(QStringLiteral("Label11"));
        runExitHelp->setObjectName(QStringLiteral("Box_Help_Run_Exit"));
        toolsHelp->setObjectName(QStringLiteral("LeftTipText"));
        redDot->setObjectName(QStringLiteral("RedDot3"));
        root.show();
    }
};

} // namespace

void TestLanguageTables::applyLanguageOnAPartlyBuiltPanel() {
    SmallPanel panel;
    RunState state;
    state.Lingua = kSpanish;
    ApplyLanguage(&panel.root, state);

    QCOMPARE(panel.tabs->tabText(0), QStringLiteral("Temporizador Pictures"));
    QCOMPARE(panel.tabs->tabText(4), QStringLiteral("Utensilio Idioma"));
    QCOMPARE(panel.tabs->tabText(1), tabCaption(1, kSpanish));
    QCOMPARE(panel.download2->text(), QString::fromUtf8("Temporiz. Conexión "));
    QCOMPARE(panel.conferma2->text(), QString::fromUtf8("Inicia Proyección"));
    QCOMPARE(panel.btWait->toolTip(), QStringLiteral("Esperar...\""));
    QCOMPARE(panel.label11->text(), QStringLiteral("Unselect All Pictures"));
    QCOMPARE(panel.toolsHelp->text(), helpText("LeftTipText", kSpanish));
    QVERIFY(
        panel.toolsHelp->text().startsWith(QString::fromUtf8("Regulación Disponible:\r\n \r\n")));
    QCOMPARE(panel.runExitHelp->document()->blockCount(), 5);
    QCOMPARE(panel.runExitHelp->document()->firstBlock().text(), QStringLiteral("EJECUTAS SALES:"));
    QVERIFY(panel.redDot->isHidden());

    state.Lingua = kItalian;
    ApplyLanguage(&panel.root, state);
    QCOMPARE(panel.label11->text(), QStringLiteral("Deseleziona Tutte Immagini"));
    QCOMPARE(panel.tabs->tabText(2), QStringLiteral("Scelta   Immagini"));
}

void TestLanguageTables::unknownLanguageOnlySetsTheUnselectLabel_data() {
    QTest::addColumn<int>("lingua");
    QTest::newRow("not chosen") << int{kNoLanguage};
    QTest::newRow("out of range") << 7;
}

void TestLanguageTables::unknownLanguageOnlySetsTheUnselectLabel() {
    QFETCH(int, lingua);
    SmallPanel panel;
    RunState state;
    state.Lingua = static_cast<int16_t>(lingua);
    ApplyLanguage(&panel.root, state);

    for (int tab = 0; tab < 5; ++tab) {
        QCOMPARE(panel.tabs->tabText(tab), QStringLiteral("before"));
    }
    QCOMPARE(panel.download2->text(), QStringLiteral("before"));
    QCOMPARE(panel.conferma2->text(), QStringLiteral("before"));
    QVERIFY(panel.btWait->toolTip().isEmpty());
    QCOMPARE(panel.runExitHelp->toPlainText(), QStringLiteral("before"));
    QCOMPARE(panel.toolsHelp->text(), QStringLiteral("before"));
    QCOMPARE(panel.label11->text(), QStringLiteral("Unselect All Pictures"));
    QVERIFY(panel.redDot->isHidden());
}

// tr() and QCoreApplication::translate answer in the program's language once
// it is applied, and in English again when no language is chosen.
void TestLanguageTables::applicationTranslatorFollowsTheLanguage() {
    SmallPanel panel;
    RunState state;
    const auto warning = [] { return QCoreApplication::translate("Messages", "Warning!"); };
    for (const auto& [lingua, expected] :
         {std::pair{kItalian, "Attenzione!"}, std::pair{kSpanish, "Atención!"},
          std::pair{int{kNoLanguage}, "Warning!"}}) {
        state.Lingua = static_cast<int16_t>(lingua);
        ApplyLanguage(&panel.root, state);
        QCOMPARE(warning(), QString::fromUtf8(expected));
    }
}

QTEST_MAIN(TestLanguageTables)
#include "test_language_tables.moc"
