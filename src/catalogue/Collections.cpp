#include "catalogue/Collections.h"

#include "catalogue/SelectionTable.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "platform/Twips.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFormat.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QStringDecoder>
#include <QWidget>
#include <QXmlStreamReader>
#include <vector>

namespace {

constexpr auto kCrLf = "\r\n";

// Characters count from 1: the first blank at character `from` or later, and
// the text behind it up to the next blank.
QString wordBehindBlank(const QString& entryText, int from) {
    const qsizetype blank = entryText.indexOf(QLatin1Char(' '), from - 1);
    if (blank < 0) {
        return {};
    }
    const qsizetype end = entryText.indexOf(QLatin1Char(' '), blank + 1);
    return entryText.mid(blank + 1, end < 0 ? -1 : end - blank - 1);
}

// Blanks only, as the file format has always trimmed codes; tabs and line
// breaks inside an element stay part of it.
QString withoutOuterBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

// Characters that cannot stand in an XML document (line breaks would break
// the one-element-per-line layout, so they go too).
bool isForbiddenInXml(QChar c) {
    return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0xFFFE ||
           c.unicode() == 0xFFFF;
}

QString descriptionText(QString entryText) {
    for (QChar& c : entryText) {
        if (c == QLatin1Char('&') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
            isForbiddenInXml(c)) {
            c = QLatin1Char('_');
        }
    }
    return entryText;
}

// Codes are read back, so their markup characters are escaped, not replaced.
QString codeText(QString code) {
    for (QChar& c : code) {
        if (isForbiddenInXml(c)) {
            c = QLatin1Char('_');
        }
    }
    return code.toHtmlEscaped();
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

// A PicItem element in document order: whether it has a child element, and
// the codes of its CodePic children.
struct PicItemRecord {
    bool hasChildElement = false;
    QStringList codes;
};

// One open element while the document streams past.
struct OpenElement {
    qsizetype picItem = -1;       // its index when it is a PicItem
    qsizetype codeOfPicItem = -1; // the PicItem whose CodePic child it is
    QString text;
};

bool isPlainCodePic(const QXmlStreamReader& reader) {
    return reader.qualifiedName() == QLatin1String("CodePic") && reader.attributes().isEmpty() &&
           reader.namespaceDeclarations().isEmpty();
}

void openElement(const QXmlStreamReader& reader, std::vector<OpenElement>& open,
                 std::vector<PicItemRecord>& items) {
    OpenElement element;
    const qsizetype parentPicItem = open.empty() ? -1 : open.back().picItem;
    if (parentPicItem >= 0) {
        items[static_cast<std::size_t>(parentPicItem)].hasChildElement = true;
        if (isPlainCodePic(reader)) {
            element.codeOfPicItem = parentPicItem;
        }
    }
    if (reader.qualifiedName() == QLatin1String("PicItem")) {
        element.picItem = static_cast<qsizetype>(items.size());
        items.emplace_back();
    }
    open.push_back(element);
}

void closeElement(std::vector<OpenElement>& open, std::vector<PicItemRecord>& items) {
    const OpenElement element = open.back();
    open.pop_back();
    if (element.codeOfPicItem >= 0) {
        items[static_cast<std::size_t>(element.codeOfPicItem)].codes.append(
            withoutOuterBlanks(element.text));
    }
}

// The PicItem records of a whole document; nullopt when it is not
// well-formed or carries a DTD.
std::optional<std::vector<PicItemRecord>> readPicItems(QXmlStreamReader& reader) {
    std::vector<PicItemRecord> items;
    std::vector<OpenElement> open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            return std::nullopt;
        case QXmlStreamReader::StartElement:
            openElement(reader, open, items);
            break;
        case QXmlStreamReader::EndElement:
            closeElement(open, items);
            break;
        case QXmlStreamReader::Characters:
            // An element's text is all the text inside it, nested or not.
            for (OpenElement& element : open) {
                if (element.codeOfPicItem >= 0) {
                    element.text += reader.text();
                }
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        return std::nullopt;
    }
    return items;
}

std::optional<QStringList> codesOf(QXmlStreamReader& reader) {
    const auto items = readPicItems(reader);
    if (!items) {
        return std::nullopt;
    }
    QStringList codes;
    for (const PicItemRecord& item : *items) {
        if (!item.hasChildElement) {
            break;
        }
        codes.append(item.codes);
    }
    return codes;
}

} // namespace

QString EntryCodeForSave(const QString& entryText) {
    return wordBehindBlank(entryText, 6).remove(QLatin1Char('-'));
}

QString EntryCodeForLoad(const QString& entryText) {
    return wordBehindBlank(entryText, 5);
}

bool CollectionCodeMatchesEntry(const QString& code, const QString& entryText) {
    return !code.isEmpty() &&
           (code == EntryCodeForLoad(entryText) || code == EntryCodeForSave(entryText));
}

QString CollectionTimeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("MMddyyyy_HHmmss"));
}

QString CollectionFileName(const QString& stamp, const QString& extension) {
    return QLatin1String(kCollectionFilePrefix) + stamp + extension;
}

QByteArray FormatCollectionFile(const QDateTime& when, const QStringList& tickedEntryTexts) {
    QString text;
    const auto line = [&text](int tabs, const QString& content) {
        text += QString(tabs, QLatin1Char('\t')) + content + QLatin1String(kCrLf);
    };
    line(0, QStringLiteral("<?xml version=\"1.0\"?>"));
    line(0, QStringLiteral("<SkyglanceCollection>"));
    line(1, QStringLiteral("<SkyglanceVersion>5</SkyglanceVersion>"));
    line(1, QStringLiteral("<Description>Skyglance5 Pictures Collection</Description>"));
    line(1, QStringLiteral("<number>00001</number>"));
    line(1, QStringLiteral("<ThisFile>") +
                CollectionFileName(CollectionTimeStamp(when), QStringLiteral(".xml")) +
                QStringLiteral("</ThisFile>"));
    line(1, QStringLiteral("<Autor>Created by User</Autor>"));
    line(1, QStringLiteral("<date>") + when.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss")) +
                QStringLiteral("</date>"));
    line(1, QStringLiteral("<PicList>"));
    for (const QString& entry : tickedEntryTexts) {
        line(2, QStringLiteral("<PicItem>"));
        line(3, QStringLiteral("<CodePic>") + codeText(EntryCodeForSave(entry)) +
                    QStringLiteral("</CodePic>"));
        line(3, QStringLiteral("<Description>") + descriptionText(entry) +
                    QStringLiteral("</Description>"));
        line(2, QStringLiteral("</PicItem>"));
    }
    line(1, QStringLiteral("</PicList>"));
    line(0, QStringLiteral("</SkyglanceCollection>"));
    return text.toUtf8();
}

std::optional<QStringList> ReadCollectionCodes(const QByteArray& bytes) {
    if (bytes.size() > kMaxCollectionFileBytes) {
        return std::nullopt;
    }
    QXmlStreamReader reader(bytes);
    if (auto codes = codesOf(reader)) {
        return codes;
    }
    if (isValidUtf8(bytes)) {
        return std::nullopt;
    }
    // Older files were written in the single-byte code page without saying
    // so; read as Latin-1 text they keep their structure and ASCII codes.
    QXmlStreamReader latin1Reader(QString::fromLatin1(bytes));
    return codesOf(latin1Reader);
}

std::optional<QStringList> ReadCollectionFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxCollectionFileBytes + 1);
    if (bytes.size() > kMaxCollectionFileBytes || file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return ReadCollectionCodes(bytes);
}

QString CollectionTexts::saved(int lingua) {
    return Translations::in(lingua).translate("CollectionTexts",
                                              "Collection Saved with date and time info on:");
}

QString CollectionTexts::saveFailed(int lingua) {
    return Translations::in(lingua).translate(
        "CollectionTexts", "Collection NOT saved: this file could not be written:");
}

QString CollectionTexts::reloaded(int lingua) {
    return Translations::in(lingua).translate(
        "CollectionTexts",
        "Table reloaded, Please restart Skyglance to trim exact time for every picture");
}

QString CollectionTexts::invalidSelection(int /*lingua*/) {
    return QStringLiteral("INVALID FILE SELECTION - REPEAT PLEASE");
}

QString CollectionTexts::loadFailed(int /*lingua*/) {
    return QStringLiteral("Error: Failed to load xml data from file.");
}

QString CollectionTexts::reloadValidFile(int /*lingua*/) {
    return QStringLiteral("Error: reaload valid XML file");
}

QString CollectionTexts::openTitle() {
    return QStringLiteral("Restore or Load Configuration File");
}

QString CollectionTexts::openFilter() {
    return QStringLiteral("All Files (*.xml)");
}

void RunSaveBar(QWidget* BarSaveAllBG, QWidget* BarSaveAllFG) {
    if (BarSaveAllBG == nullptr || BarSaveAllFG == nullptr) {
        return;
    }
    constexpr int kBarWidth = 2000;
    constexpr int kStep = 25;
    const QRect bg = platform::geometryTwips(BarSaveAllBG);
    platform::setGeometryTwips(BarSaveAllBG, bg.left(), bg.top(), kBarWidth, bg.height());
    BarSaveAllBG->show();
    const int fgHeight = platform::geometryTwips(BarSaveAllFG).height();
    BarSaveAllFG->show();
    BarSaveAllFG->raise();
    for (int width = 1; width <= kBarWidth; width += kStep) {
        platform::setGeometryTwips(BarSaveAllFG, bg.left(), bg.top(), width, fgHeight);
        BarSaveAllFG->repaint();
    }
    BarSaveAllBG->hide();
    BarSaveAllFG->hide();
}

Collections::Collections(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                         SelectionTable& selection, QListWidget* Tabella_Mappe_Selezionate,
                         QObject* parent)
    : QObject(parent), now([] { return QDateTime::currentDateTime(); }), state_(state),
      dialogs_(dialogs), settings_(settings), selection_(selection),
      table_(Tabella_Mappe_Selezionate) {}

QStringList Collections::entryTexts() const {
    QStringList texts;
    for (int i = 0; table_ != nullptr && i < table_->count(); ++i) {
        texts.append(table_->item(i)->text());
    }
    return texts;
}

QStringList Collections::tickedEntryTexts() const {
    QStringList texts;
    for (int i = 0; table_ != nullptr && i < table_->count(); ++i) {
        if (table_->item(i)->checkState() == Qt::Checked) {
            texts.append(table_->item(i)->text());
        }
    }
    return texts;
}

bool Collections::refusedWithoutCatalogue() {
    if (selection_.catalogueAvailable()) {
        return false;
    }
    dialogs_.message(CatalogueUnavailableText(state_.Lingua), QString(),
                     platform::Dialogs::Icon::Warning);
    return true;
}

// The copy of the selection file first, then the collection; a collection
// whose copy failed is not left behind.
bool Collections::writeCollection(const QDateTime& when, const QString& xmlPath,
                                  const QString& datPath) {
    const std::optional<QByteArray> selection = readSmallFile(settings_.selectionFilePath());
    if (!selection || !writeFileAtomically(datPath, *selection)) {
        return false;
    }
    if (!writeFileAtomically(xmlPath, FormatCollectionFile(when, tickedEntryTexts()))) {
        QFile::remove(datPath);
        return false;
    }
    return true;
}

void Collections::SSTCfg_BackUpcnf_Click() {
    if (refusedWithoutCatalogue()) {
        return;
    }
    settings_.saveAll();
    emit selectionSaved();
    const QDateTime when = now();
    const QString stamp = CollectionTimeStamp(when);
    const QString base = state_.Skyglance_Collections_Dir + QDir::separator();
    const QString xmlPath = base + CollectionFileName(stamp, QStringLiteral(".xml"));
    const QString datPath = base + CollectionFileName(stamp, QStringLiteral(".dat"));
    if (!writeCollection(when, xmlPath, datPath)) {
        dialogs_.message(CollectionTexts::saveFailed(state_.Lingua) + QLatin1String(kCrLf) +
                             xmlPath,
                         QString(), platform::Dialogs::Icon::Critical);
        return;
    }
    lastSavedFile_ = xmlPath;
    dialogs_.message(CollectionTexts::saved(state_.Lingua) + QLatin1String(kCrLf) + xmlPath,
                     QString());
}

void Collections::SSTCfg_Loadcnf_Click() {
    emit loadClicked();
    LoadCollection();
}

void Collections::SSTCfg_Loadconf_Click() {
    SSTCfg_Loadcnf_Click();
}

QString Collections::AskOpenFile(const QString& title, const QString& filter,
                                 const QString& initialName) {
    const QString folder = initialName.isEmpty()
                               ? state_.Skyglance_Collections_Dir
                               : QDir(state_.Skyglance_Collections_Dir).filePath(initialName);
    return dialogs_.openFileName(title, folder, filter);
}

void Collections::tickEntriesNamed(const QStringList& entryTextsBefore, const QStringList& codes) {
    for (const QString& code : codes) {
        for (int i = 0; i < entryTextsBefore.size() && i < table_->count(); ++i) {
            if (CollectionCodeMatchesEntry(code, entryTextsBefore.at(i))) {
                table_->item(i)->setCheckState(Qt::Checked);
            }
        }
    }
}

void Collections::LoadCollection() {
    if (refusedWithoutCatalogue()) {
        return;
    }
    const QString path =
        AskOpenFile(CollectionTexts::openTitle(), CollectionTexts::openFilter(), QString());
    if (path.isEmpty() || path.startsWith(QLatin1Char(' '))) {
        dialogs_.message(CollectionTexts::invalidSelection(state_.Lingua), QString(),
                         platform::Dialogs::Icon::Critical);
        saveAndRefill();
        return;
    }
    const QStringList entries = entryTexts();
    emit readingCollection(true);
    platform::letEventsRun();
    const std::optional<QStringList> codes = ReadCollectionFile(path);
    if (!codes) {
        dialogs_.message(CollectionTexts::loadFailed(state_.Lingua), QString());
        emit readingCollection(false);
        return;
    }
    if (table_ != nullptr) {
        tickEntriesNamed(entries, *codes);
    }
    emit readingCollection(false);
    dialogs_.message(CollectionTexts::reloaded(state_.Lingua), QString());
    saveAndRefill();
}

void Collections::saveAndRefill() {
    emit refillStarted(kStartQuitTab);
    settings_.saveAll();
    emit selectionSaved();
    selection_.RefillSelectionTable();
    if (table_ == nullptr || table_->count() == 0) {
        dialogs_.message(CollectionTexts::reloadValidFile(state_.Lingua), QString());
    }
    settings_.markUnsaved();
    state_.GLOBAL_IMAGE_CURRENT_POINTER = 0;
}
