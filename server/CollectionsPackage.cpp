#include "CollectionsPackage.h"

#include "ZipWriter.h"

namespace skyglance::catalogue {
namespace {

constexpr const char* kCrLf = "\r\n";

std::string entryText(const CatalogueRow& row) {
    return " - " + row.comment;
}

std::string descriptionText(std::string text) {
    for (char& c : text) {
        if (c == '&' || c == '<' || c == '>') {
            c = '_';
        }
    }
    return text;
}

bool isPlainPicture(char code) {
    return code < '2' || code > '6';
}

CollectionPlan collectionOf(const Catalogue& catalogue, const std::string& fileName,
                            bool (*wanted)(char code, std::size_t position)) {
    CollectionPlan plan{fileName, {}};
    for (std::size_t position = 0; position < catalogue.rows.size(); ++position) {
        if (wanted(sourceCode(catalogue.rows[position].url), position)) {
            plan.positions.push_back(position);
        }
    }
    return plan;
}

} // namespace

std::string entryCodeForSave(std::string_view entry) {
    // Characters count from 1: the first blank at character 6 or later.
    const std::size_t blank = entry.size() > 5 ? entry.find(' ', 5) : std::string_view::npos;
    if (blank == std::string_view::npos) {
        return {};
    }
    const std::size_t end = entry.find(' ', blank + 1);
    std::string code;
    for (char c : entry.substr(blank + 1, end == std::string_view::npos ? end : end - blank - 1)) {
        if (c != '-') {
            code += c;
        }
    }
    return code;
}

std::string collectionXml(const Catalogue& catalogue, const CollectionPlan& plan,
                          const QDateTime& made) {
    std::string xml;
    auto line = [&xml](int tabs, const std::string& text) {
        xml.append(static_cast<std::size_t>(tabs), '\t');
        xml += text;
        xml += kCrLf;
    };
    line(0, "<?xml version=\"1.0\"?>");
    line(0, "<SkyglanceCollection>");
    line(1, "<SkyglanceVersion>5</SkyglanceVersion>");
    line(1, "<Description>Skyglance5 Pictures Collection</Description>");
    line(1, "<number>00001</number>");
    line(1, "<ThisFile>" + plan.fileName + "</ThisFile>");
    line(1, "<Autor>Created by User</Autor>");
    line(1, "<date>" + made.toString("MM-dd-yyyy hh:mm:ss").toStdString() + "</date>");
    line(1, "<PicList>");
    for (std::size_t position : plan.positions) {
        const std::string entry = entryText(catalogue.rows.at(position));
        line(2, "<PicItem>");
        line(3, "<CodePic>" + entryCodeForSave(entry) + "</CodePic>");
        line(3, "<Description>" + descriptionText(entry) + "</Description>");
        line(2, "</PicItem>");
    }
    line(1, "</PicList>");
    line(0, "</SkyglanceCollection>");
    return xml;
}

std::string selectionFileCopy(const Catalogue& catalogue, const CollectionPlan& plan) {
    std::string text;
    for (std::size_t position : plan.positions) {
        text += std::to_string(position) + kCrLf;
        text += std::to_string(catalogue.rows.at(position).pictureId) + kCrLf;
    }
    text += kCrLf;
    text += kCrLf;
    return text;
}

std::vector<CollectionPlan> sampleCollections(const Catalogue& catalogue) {
    std::vector<CollectionPlan> all = {
        collectionOf(catalogue, "Skyglance_Collection_Starter.xml",
                     [](char, std::size_t position) { return position < 8; }),
        collectionOf(catalogue, "Skyglance_Collection_Still_Maps.xml",
                     [](char code, std::size_t) { return isPlainPicture(code); }),
        collectionOf(catalogue, "Skyglance_Collection_Radar_Loops.xml",
                     [](char code, std::size_t) { return code == '4'; }),
        collectionOf(
            catalogue, "Skyglance_Collection_Forecast_Pages.xml",
            [](char code, std::size_t) { return code == '2' || code == '3' || code == '6'; }),
        collectionOf(catalogue, "Skyglance_Collection_Hourly_Series.xml",
                     [](char code, std::size_t) { return code == '5'; }),
    };
    std::vector<CollectionPlan> nonEmpty;
    for (auto& plan : all) {
        if (!plan.positions.empty()) {
            nonEmpty.push_back(std::move(plan));
        }
    }
    return nonEmpty;
}

std::string collectionsPackage(const Catalogue& catalogue, const std::string& setName,
                               const QDateTime& made) {
    ZipWriter zip;
    for (const CollectionPlan& plan : sampleCollections(catalogue)) {
        const std::string stem = plan.fileName.substr(0, plan.fileName.size() - 4);
        zip.add(plan.fileName, collectionXml(catalogue, plan, made), made);
        zip.add(stem + ".dat", selectionFileCopy(catalogue, plan), made);
    }
    zip.add("LocalCollection.dat", setName, made);
    return zip.finish();
}

} // namespace skyglance::catalogue
